// The frame loop's pieces: pacing, the clear grey and the data files.
#include <cstring>
#include <filesystem>
#include <vector>

#include <gtest/gtest.h>

#include "harness.h"
#include "display/color_grid.h"
#include "display/display_config.h"
#include "driver/data_files.h"
#include "driver/demo.h"
#include "driver/frame_state.h"
#include "effects/image.h"
#include "effects/text.h"
#include "platform/system/clock.h"
#include "platform/terminal/memory_console.h"

namespace fs = std::filesystem;

namespace {

TEST(FramePacing, SleepsWhatTheFrameLeftOfSixteenMilliseconds) {
    displayConfig.frameRate = 60;
    EXPECT_EQ(framePeriod(), 16);
    EXPECT_EQ(sleepAfterFrame(1000, 1010), 6);
    EXPECT_EQ(sleepAfterFrame(1000, 1000), 16);
    EXPECT_LE(sleepAfterFrame(1000, 1016), 0);
    EXPECT_LE(sleepAfterFrame(1000, 1100), 0);
    EXPECT_EQ(sleepAfterFrame(0x100000000u + 1000, 0x100000000u + 1010), 6);  // past 32 bits
}

// Runs tickFrame on the virtual clock and returns the grid's shown colour afterwards.
Rgb frameAt(uint32_t milliseconds) {
    setVirtualTicks(milliseconds);
    tickFrame();
    return colorGrid[10][10];
}

TEST(TickFrame, ClearsToHalfThePreviousFramesTimeAndCountsTimeInDouble) {
    memoryConsoleState = MemoryConsoleState{};
    selectConsole(memoryConsole());
    initDisplay(demoDisplayConfig());
    useVirtualClock(0);
    startTime = 0.0f;
    demoTime = 0.0f;
    EXPECT_EQ(frameAt(1000).r, 0.0f);  // the first frame clears to black
    EXPECT_EQ(demoTime, 1.0f);
    EXPECT_EQ(frameAt(3000).r, 0.5f);
    EXPECT_EQ(frameAt(3500).g, 1.5f);
    EXPECT_EQ(demoTime, 3.5f);
    EXPECT_EQ(memoryConsoleState.framesWritten, 3);
    EXPECT_EQ(memoryConsoleState.cells[0].attribute, 0xFF);  // the grey is bright white by now

    // Ticks in seconds minus the start, subtracted in double: in float the 789 would be lost.
    startTime = static_cast<float>(123456789 / 1000.0);
    frameAt(123456789 + 40000);
    EXPECT_EQ(demoTime, static_cast<float>(123496789 / 1000.0 - static_cast<double>(startTime)));
}

TEST(DataFiles, ShortFilesLeaveTheRestZeroAndLongFilesAreCut) {
    const fs::path previous = fs::current_path(), folder = harness::makeScratch("data-files");
    harness::writeFile(folder / "Data/intro3.raw", std::vector<uint8_t>(1000, 5));
    harness::writeFile(folder / "Data/intro4.raw", std::vector<uint8_t>(30000, 6));
    std::memset(introPicture3, 0, sizeof introPicture3);
    fs::current_path(folder);
    const bool loaded = loadDataFiles();
    fs::current_path(previous);
    fs::remove_all(folder);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(introPicture1[0], 200);
    EXPECT_EQ(introPicture3[999], 5);
    EXPECT_EQ(introPicture3[1000], 0);
    EXPECT_EQ(introPicture4[23999], 6);
    EXPECT_EQ(fontSheet[(16 * ('A' / 16) + 2) * 256 + 16 * ('A' % 16)], 255);
}

}  // namespace
