// The frame loop: pacing, the clear grey, a tick that never wraps (no restart after 49.7 days), the data files.
#include <cstring>

#include <gtest/gtest.h>

#include "display/color_grid.h"
#include "display/display_config.h"
#include "driver/data_files.h"
#include "driver/demo.h"
#include "driver/frame_state.h"
#include "effects/image.h"
#include "effects/text.h"
#include "harness.h"
#include "platform/audio/audio.h"
#include "platform/system/clock.h"
#include "platform/terminal/memory_console.h"
#include "xm_fixture.h"

namespace {

using namespace harness;

TEST(FramePacing, SleepsWhatTheFrameLeftOfSixteenMilliseconds) {
    displayConfig.frameRate = 60;
    EXPECT_EQ(framePeriod(), 16);
    const std::vector<int32_t> sleeps = {sleepAfterFrame(1000, 1010), sleepAfterFrame(1000, 1000),
                                         std::max(sleepAfterFrame(1000, 1016), 0), std::max(sleepAfterFrame(1000, 1100), 0),
                                         sleepAfterFrame(0x100000000u + 1000, 0x100000000u + 1010)};  // past 32 bits
    EXPECT_EQ(sleeps, (std::vector<int32_t>{6, 16, 0, 0, 6}));
}

// On the real clock a frame's sleep lasts what it asked (too short and the show spins a core); a pause holds the count.
TEST(FramePacing, TheRealClockSleepsAsAskedAndStandsStillWhenHeld) {
    const uint64_t start = tickCount();
    sleepMilliseconds(30);
    EXPECT_GE(tickCount() - start, 30u);
    holdClock();
    const uint64_t held = tickCount();
    sleepMilliseconds(30);
    EXPECT_EQ(tickCount(), held);
    releaseClock();
}

// Pauses and Ctrl-Z in a row, as a viewer mixes them: after each the show's count goes on from where it stopped,
// a stop during a pause is not taken off twice, and the time between holds runs as usual.
TEST(FramePacing, PausesAndSuspensionsInARowEachGoOnFromWhereTheyStopped) {
    useVirtualClock(1000);
    uint64_t system = 1000;
    const auto pass = [&](uint64_t milliseconds) { setVirtualTicks(system += milliseconds); };
    const auto suspend = [&](uint64_t milliseconds) {  // what the Ctrl-Z handler does around the stop
        noteProgramStopping();
        pass(milliseconds);
        noteProgramContinued();
    };
    std::vector<uint64_t> seen;
    pass(500);
    holdClock();  // space
    pass(3000);
    seen.push_back(tickCount());
    releaseClock();  // space again
    seen.push_back(tickCount());
    pass(200);
    suspend(4000);  // Ctrl-Z, fg
    seen.push_back(tickCount());
    pass(100);
    holdClock();  // space, then Ctrl-Z and fg while paused, then space
    suspend(2500);
    pass(700);
    seen.push_back(tickCount());
    releaseClock();
    seen.push_back(tickCount());
    pass(50);
    suspend(900);
    suspend(60);
    seen.push_back(tickCount());
    EXPECT_EQ(seen, (std::vector<uint64_t>{1500, 1500, 1700, 1800, 1800, 1850}));
    useVirtualClock(0);
    EXPECT_EQ(tickCount(), 0u) << "a new virtual clock keeps an earlier run's holds";
}

// Runs tickFrame on the virtual clock and returns the grid's shown colour afterwards.
Rgb frameAt(uint32_t milliseconds) {
    setVirtualTicks(milliseconds);
    tickFrame();
    return colorGrid[10][10];
}

void startOnMemoryConsole() {
    memoryConsoleState = MemoryConsoleState{};
    selectConsole(memoryConsole());
    initDisplay(demoDisplayConfig());
    useVirtualClock(0);
    startTime = demoTime = 0.0f;
}

TEST(TickFrame, ClearsToHalfThePreviousFramesTimeAndCountsTimeInDouble) {
    startOnMemoryConsole();
    // The first frame clears to black; the demo time goes 1 s, 3 s, 3.5 s.
    const std::vector<float> seen = {frameAt(1000).r, demoTime, frameAt(3000).r, frameAt(3500).g, demoTime};
    EXPECT_EQ(seen, (std::vector<float>{0.0f, 1.0f, 0.5f, 1.5f, 3.5f}));
    EXPECT_EQ(memoryConsoleState.framesWritten, 3);
    EXPECT_EQ(memoryConsoleState.cells[0].attribute, 0xFF);  // the grey is bright white by now

    // Ticks in seconds minus the start, subtracted in double: in float the 789 would be lost.
    startTime = static_cast<float>(123456789 / 1000.0);
    frameAt(123456789 + 40000);
    EXPECT_EQ(demoTime, static_cast<float>(123496789 / 1000.0 - static_cast<double>(startTime)));
}

// A later start moves the music with the show: the bass is that of the tune so far in.
TEST(StartDemo, StartsTheMusicAsFarInAsTheShow) {
    const fs::path folder = makeScratch("start-music");
    writeFile(folder / "Data/QUABTUNE.xm", xm_fixture::makeModule());
    chooseDataFolder((folder / "Data").string());
    selectConsole(memoryConsole());
    setMusicMode(MusicMode::rendered);
    for (const double start : {0.0, xm_fixture::silentFromSeconds + 0.2}) {  // into the tune's notes, its silent end
        useVirtualClock(1000);
        ASSERT_TRUE(startDemo(false, start));
        setVirtualTicks(1100);
        tickFrame();
        EXPECT_EQ(bassLevel > 0.1f, start == 0.0) << start << ": " << bassLevel;
    }
}

TEST(TickFrame, TheScreenStaysWhitePastThirtyTwoBitsOfMilliseconds) {
    startOnMemoryConsole();
    const uint64_t day = uint64_t{24} * 3600 * 1000;
    for (const uint64_t ticks : {uint64_t{300000}, 49 * day, (uint64_t{1} << 32) + 5000, 400 * day}) {
        useVirtualClock(ticks);
        tickFrame();  // cleared to half the previous frame's time: the next frame is white
        setVirtualTicks(ticks + 16);
        tickFrame();
        EXPECT_GT(demoTime, 260.0f) << ticks;
        for (const auto& cell : memoryConsoleState.cells) ASSERT_EQ(cell.attribute, 0xFF) << ticks;
    }
}

TEST(DataFiles, ShortFilesLeaveTheRestZeroAndLongFilesAreCut) {
    const fs::path folder = makeScratch("data-files");
    writeFile(folder / "Data/intro3.raw", std::vector<uint8_t>(1000, 5));
    writeFile(folder / "Data/intro4.raw", std::vector<uint8_t>(30000, 6));
    std::memset(introPicture3, 0, sizeof introPicture3);
    chooseDataFolder((folder / "Data").string());  // kept: ctest runs each test in a program of its own
    ASSERT_TRUE(loadDataFiles());
    const std::vector<int> bytes = {introPicture1[0], introPicture3[999], introPicture3[1000], introPicture4[23999],
                                    fontSheet[(16 * ('A' / 16) + 2) * 256 + 16 * ('A' % 16)]};
    EXPECT_EQ(bytes, (std::vector<int>{200, 5, 0, 6, 255}));
}

}  // namespace
