// The clock over very long runs: the tick never wraps, so the show does not start again
// after 49.7 days. (Music after a jump past 32 bits: audio_playback_test.cpp.)
#include <gtest/gtest.h>

#include "display/display_config.h"
#include "driver/demo.h"
#include "driver/frame_state.h"
#include "platform/system/clock.h"
#include "platform/terminal/memory_console.h"

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

}  // namespace
