// The clock over very long runs: the tick never wraps, so the show does not start again
// after 49.7 days, and clock-driven music goes on after a suspension of weeks.
#include <gtest/gtest.h>

#include "display/display_config.h"
#include "driver/demo.h"
#include "driver/frame_state.h"
#include "platform/audio.h"
#include "platform/audio_device.h"
#include "platform/clock.h"
#include "platform/memory_console.h"
#include "xm_fixture.h"

namespace {

constexpr uint64_t day = uint64_t{24} * 3600 * 1000;

TEST(FaultClock, TheScreenStaysWhitePastThirtyTwoBitsOfMilliseconds) {
    memoryConsoleState = MemoryConsoleState{};
    selectConsole(memoryConsole());
    initDisplay(demoDisplayConfig());
    startTime = 0.0f;
    for (const uint64_t ticks : {uint64_t{300000}, 49 * day, (uint64_t{1} << 32) + 5000, 400 * day}) {
        useVirtualClock(ticks);
        tickFrame();  // cleared to half the previous frame's time: the next frame is white
        setVirtualTicks(ticks + 16);
        tickFrame();
        EXPECT_GT(demoTime, 260.0f) << ticks;
        for (const auto& cell : memoryConsoleState.cells) {
            ASSERT_EQ(cell.attribute, 0xFF) << ticks;
        }
    }
}

TEST(FaultClock, ClockDrivenMusicGoesOnAfterASuspensionOfWeeks) {
    setAudioDeviceAllowed(false);
    setMusicMode(MusicMode::rendered);
    useVirtualClock(1000);
    const std::string path = xm_fixture::writeTempFile("zorbel_fault_clock.xm", xm_fixture::makeModule());
    std::string reason;
    ASSERT_TRUE(loadMusic(path.c_str(), reason)) << reason;
    startMusic();
    float values[512];
    auto bassAt = [&](uint64_t tick) {
        setVirtualTicks(tick);
        readSpectrum(values, 512);
        float bass = 0.0f;
        for (int k = 0; k < 50; ++k) bass += values[k];
        return bass;
    };
    EXPECT_GT(bassAt(1300), 0.1f);
    for (const uint64_t gap : {25 * day, 60 * day}) {
        const uint64_t resumed = 1300 + gap;
        bassAt(resumed);
        // Only fresh rendering can follow a seek into the tune's silent tail.
        seekMusic(xm_fixture::silentFromSeconds + 0.1);
        EXPECT_LT(bassAt(resumed + 100), 1e-3f) << gap / day << " days";
        seekMusic(0.3);
        EXPECT_GT(bassAt(resumed + 150), 0.1f) << gap / day << " days";
    }
    setMusicMode(MusicMode::live);
}

}  // namespace
