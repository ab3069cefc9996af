// The frame loop's pieces: random sequence, pacing, the clear grey and the data files.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "display/color_grid.h"
#include "display/display_config.h"
#include "driver/data_files.h"
#include "driver/demo.h"
#include "driver/random.h"
#include "platform/clock.h"
#include "platform/memory_console.h"

namespace fs = std::filesystem;

namespace {

TEST(NextRandom, IsTheFixedLinearCongruentialSequence) {
    randomState = 1;
    EXPECT_EQ(nextRandom(), 41);
    EXPECT_EQ(nextRandom(), 18467);
    EXPECT_EQ(nextRandom(), 6334);
    for (int i = 0; i < 100000; ++i) {
        const int32_t value = nextRandom();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 32767);
    }
    randomState = 1;
}

TEST(FramePacing, SleepsWhatTheFrameLeftOfSixteenMilliseconds) {
    displayConfig.frameRate = 60;
    EXPECT_EQ(framePeriod(), 16);
    EXPECT_EQ(sleepAfterFrame(1000, 1010), 6);
    EXPECT_EQ(sleepAfterFrame(1000, 1000), 16);
    EXPECT_LE(sleepAfterFrame(1000, 1016), 0);
    EXPECT_LE(sleepAfterFrame(1000, 1100), 0);
    EXPECT_EQ(sleepAfterFrame(0xFFFFFFF0u, 2), 16 - 18);  // the counter wraps
}

// Runs tickFrame on the virtual clock and returns the grid's shown colour afterwards.
Rgb frameAt(uint32_t milliseconds) {
    setVirtualTicks(milliseconds);
    tickFrame();
    return colorGrid[10][10];
}

TEST(TickFrame, ClearsToHalfThePreviousFramesTimeThenAdvancesTheClock) {
    resetMemoryConsole();
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
    // The shown console cells follow the grey: black, then light grey, then bright white.
    EXPECT_EQ(memoryConsoleState.cells[0].attribute, 0xFF);
}

TEST(TickFrame, DemoTimeIsTicksInSecondsMinusTheStartInDouble) {
    resetMemoryConsole();
    selectConsole(memoryConsole());
    initDisplay(demoDisplayConfig());
    useVirtualClock(0);
    startTime = static_cast<float>(123456789 / 1000.0);
    setVirtualTicks(123456789 + 40000);
    tickFrame();
    EXPECT_EQ(demoTime, static_cast<float>(123496789 / 1000.0 - static_cast<double>(startTime)));
}

class DataFolder : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = fs::current_path();
        folder_ = fs::temp_directory_path() / ("zorbel-data-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "Data");
        fs::current_path(folder_);
        for (const char* name : {"intro.raw", "intro2.raw", "intro3.raw", "intro4.raw"}) write(name, 24000, 7);
        write("font.raw", 192000, 9);
    }
    void TearDown() override {
        fs::current_path(previous_);
        fs::remove_all(folder_);
    }
    void write(const std::string& name, size_t size, uint8_t value) {
        std::ofstream(folder_ / "Data" / name, std::ios::binary).write(std::string(size, char(value)).data(), size);
    }
    fs::path previous_, folder_;
};

TEST_F(DataFolder, ShortFilesLeaveTheRestZeroAndLongFilesAreCut) {
    write("intro3.raw", 1000, 5);
    write("intro4.raw", 30000, 6);
    std::memset(introPicture3, 0, sizeof introPicture3);
    std::memset(fontSheet, 0, sizeof fontSheet);
    ASSERT_TRUE(loadDataFiles());
    EXPECT_EQ(introPicture1[23999], 7);
    EXPECT_EQ(introPicture3[999], 5);
    EXPECT_EQ(introPicture3[1000], 0);
    EXPECT_EQ(introPicture3[23999], 0);
    EXPECT_EQ(introPicture4[23999], 6);
    EXPECT_EQ(fontSheet[191999], 9);
    EXPECT_EQ(fontSheet[192000], 0);
    EXPECT_EQ(fontSheet[196607], 0);
}

TEST_F(DataFolder, AMissingFileIsNamedWithTheFolderThatWasSearched) {
    fs::remove(folder_ / "Data" / "intro2.raw");
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(loadDataFiles());
    const std::string output = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(output.rfind("Error Failed To Load Data/intro2.raw\n", 0), 0u) << output;
    EXPECT_NE(output.find(folder_.string()), std::string::npos) << output;
}

}  // namespace
