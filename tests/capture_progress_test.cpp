// The capture's progress line as a viewer reads it: the bar's filled share, a line that fits the window, and figures
// shown only once measured.
#include <gtest/gtest.h>

#include "platform/capture/progress.h"

namespace {

// The bar's inside: the characters between '[' and ']'.
std::string barOf(const std::string& line) {
    const size_t open = line.find('['), close = line.find(']');
    return open == 0 && close != std::string::npos ? line.substr(1, close - 1) : "";
}

TEST(ProgressLine, TheBarFillsItsShareOfTheFramesExactly) {
    const struct { long done, total; int filled; } cases[] = {
        {0, 15601, 0}, {1, 15601, 0}, {7800, 15600, 5}, {5200, 15600, 3}, {15600, 15601, 10}, {15601, 15601, 11},
    };
    for (const auto& c : cases) {
        // 80 columns, whole show: the widest figures leave the bar 11 of its 30 characters.
        const std::string bar = barOf(progressLine(c.done, c.total, 100, 60, 80));
        ASSERT_EQ(bar.size(), 11u) << c.done;
        EXPECT_EQ(bar, std::string(c.filled, '#') + std::string(11 - c.filled, '.')) << c.done << "/" << c.total;
    }
    // A wide window gives the bar its full 30: a third and two thirds of it.
    EXPECT_EQ(barOf(progressLine(801, 2403, 1, 60, 200)), std::string(10, '#') + std::string(20, '.'));
    EXPECT_EQ(barOf(progressLine(1602, 2403, 1, 60, 200)), std::string(20, '#') + std::string(10, '.'));
}

TEST(ProgressLine, StaysWithinTheWindowAndKeepsTheBarsWidthTheWholeRun) {
    for (int columns : {200, 80, 60, 40, 24, 12, 1}) {
        size_t barWidth = std::string::npos;
        for (long done : {0L, 5L, 30L, 900L, 15000L, 15601L}) {
            const std::string line = progressLine(done, 15601, done / 900.0, 60, columns);
            EXPECT_LE(static_cast<int>(line.size()), std::max(columns - 1, 1)) << columns << ": " << line;
            EXPECT_EQ(line.find('\n'), std::string::npos);
            if (done == 0) barWidth = barOf(line).size();
            EXPECT_EQ(barOf(line).size(), barWidth) << columns << ": " << line;
        }
    }
    // At 80 columns the figures all fit; at 60 the speed gives way to the time left; at 24 the counts alone.
    const std::string at80 = progressLine(9000, 15601, 10, 60, 80), at60 = progressLine(9000, 15601, 10, 60, 60);
    EXPECT_EQ(at80.substr(at80.find(']')), "]  9000/15601 frames,   900 frames/s,  15.0x real time,   0:07 left");
    EXPECT_EQ(at60.substr(at60.find(']')), "]  9000/15601 frames,   0:07 left");
    EXPECT_EQ(progressLine(9000, 15601, 10, 60, 24), " 9000/15601 frames");
}

// The first updates say nothing of speed: a few frames in a few milliseconds are no measure of it.
TEST(ProgressLine, SpeedAndTimeLeftOnlyOnceMeasured) {
    for (const auto& [done, seconds] : {std::pair{30L, 0.0021}, std::pair{9L, 2.0}, std::pair{300L, 0.49}}) {
        const std::string line = progressLine(done, 15601, seconds, 60, 80);
        EXPECT_EQ(line.find("frames/s"), std::string::npos) << line;
        EXPECT_EQ(line.find("left"), std::string::npos) << line;
        EXPECT_EQ(line.back(), 's') << "trailing blanks: " << line;
    }
    EXPECT_NE(progressLine(30, 15601, 0.5, 60, 80).find("    60 frames/s,   1.0x real time,   4:20 left"), std::string::npos);
}

}  // namespace
