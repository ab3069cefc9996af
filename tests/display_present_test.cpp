// The 16-colour thresholds, the attribute encoding and the frame that reaches the console.
#include <cmath>
#include <cstring>
#include <limits>

#include <gtest/gtest.h>

#include "display/color_grid.h"
#include "display/display_config.h"
#include "display/present.h"
#include "platform/memory_console.h"
#include "render3d/primitives.h"

namespace {

const float threshold = 0.3f;
const float justAbove = std::nextafter(threshold, 1.0f);
const float nan = std::numeric_limits<float>::quiet_NaN();

void useMemoryDisplay(int width = 80, int height = 50) {
    resetMemoryConsole();
    selectConsole(memoryConsole());
    DisplayConfig config{60, width, height, "QVO_4::Zorbel", 0, 45.0f, 1.0f, -100.0f};
    initDisplay(config);
    std::memset(colorGrid, 0, sizeof colorGrid);
    primitiveList.count = 0;
    primitiveList.vertexCursor = 0;
}

TEST(ColorCode, EachChannelCountsOnlyStrictlyAboveTheFloatNearestPointThree) {
    for (int channel = 0; channel < 3; ++channel) {
        const int prime = channel == 0 ? 3 : channel == 1 ? 7 : 11;
        Rgb cell{0, 0, 0};
        float* value = channel == 0 ? &cell.r : channel == 1 ? &cell.g : &cell.b;
        *value = threshold;
        EXPECT_EQ(colorCode(cell), 1) << "channel " << channel;
        *value = justAbove;
        EXPECT_EQ(colorCode(cell), prime) << "channel " << channel;
        *value = nan;
        EXPECT_EQ(colorCode(cell), 1) << "channel " << channel;
        *value = -1.0f;
        EXPECT_EQ(colorCode(cell), 1) << "channel " << channel;
    }
}

TEST(ColorCode, BrightnessIsTheDoubleSumReachingTheFloatNearestOnePointEight) {
    EXPECT_EQ(colorCode({0.6f, 0.6f, 0.6f}), 3003);  // sums to 1.8000000715
    EXPECT_EQ(colorCode({0.59f, 0.6f, 0.6f}), 231);
    EXPECT_EQ(colorCode({2.0f, 0.0f, 0.0f}), 39);
    EXPECT_EQ(colorCode({-1.0f, 0.5f, 0.0f}), 7);
    EXPECT_EQ(colorCode({1.8f, 0.0f, 0.0f}), 39);  // equal to the bound counts
    EXPECT_EQ(colorCode({std::nextafter(1.8f, 0.0f), 0.0f, 0.0f}), 3);
    EXPECT_EQ(colorCode({3.0f, nan, 0.0f}), 3);  // a NaN sum is never bright
    EXPECT_EQ(colorCode({0.9f, 0.9f, 0.0f}), 21 * 13);
}

TEST(CellAttribute, EveryCodePairGivesForegroundBitsAndTheSameBitsShiftedForBackground) {
    // Bits of a code in console order: blue 1, green 2, red 4, intensity 8.
    const int32_t codes[] = {1, 3, 7, 11, 21, 33, 77, 231, 39, 91, 143, 273, 429, 1001, 3003};
    auto bitsOf = [](int32_t code) {
        return (code % 3 == 0 ? 4 : 0) | (code % 7 == 0 ? 2 : 0) | (code % 11 == 0 ? 1 : 0) |
               (code % 13 == 0 ? 8 : 0);
    };
    for (int32_t foreground : codes) {
        for (int32_t background : codes) {
            const int32_t pair[2] = {foreground, background};
            EXPECT_EQ(cellAttribute(pair), bitsOf(foreground) | bitsOf(background) << 4)
                << foreground << " over " << background;
        }
    }
}

TEST(ColorBits, AgreesWithThePrimeCodesAcrossEveryThresholdAndSpecialValue) {
    const float values[] = {-1.0f, 0.0f, threshold, justAbove, 0.59f, 0.6f, 0.9f, 1.0f, 1.8f, 3.0f, nan,
                            std::numeric_limits<float>::infinity()};
    for (float r : values) {
        for (float g : values) {
            for (float b : values) {
                const Rgb cell{r, g, b};
                const int32_t foreground[2] = {colorCode(cell), 1};
                const int32_t background[2] = {1, colorCode(cell)};
                ASSERT_EQ(colorBits(cell), cellAttribute(foreground)) << r << " " << g << " " << b;
                ASSERT_EQ(colorBits(cell) << 4, cellAttribute(background)) << r << " " << g << " " << b;
            }
        }
    }
}

TEST(PresentFrame, LowerGridCellIsForegroundUpperIsBackground) {
    useMemoryDisplay();
    colorGrid[3][0] = {1, 1, 1};  // upper cell of console cell (3, 0)
    colorGrid[5][9] = {1, 1, 1};  // lower cell of console cell (5, 4)
    colorGrid[79][98] = {0.0f, 0.0f, 2.0f};
    colorGrid[79][99] = {0.5f, 0.0f, 0.0f};
    presentFrame();
    const CharInfo* cells = memoryConsoleState.cells;
    EXPECT_EQ(cells[3].attribute, 0xF0);
    EXPECT_EQ(cells[4 * 80 + 5].attribute, 0x0F);
    EXPECT_EQ(cells[49 * 80 + 79].attribute, 0x94);
    EXPECT_EQ(memoryConsoleState.framesWritten, 1);
}

TEST(PresentFrame, AllZeroGridIsHalfBlocksBlackOnBlackAndTheQueueIsEmptied) {
    useMemoryDisplay();
    primitiveList.vertexCursor = 2;
    presentFrame();
    for (const CharInfo& cell : memoryConsoleState.cells) {
        ASSERT_EQ(cell.character, 220);
        ASSERT_EQ(cell.attribute, 0);
    }
    EXPECT_EQ(primitiveList.count, 0);
    EXPECT_EQ(primitiveList.vertexCursor, 0);
}

TEST(ClearGrid, FillsTheShownAreaOnly) {
    useMemoryDisplay();
    colorGrid[80][0] = {0.25f, 0.5f, 0.75f};
    clearColor = {1.0f, 0.0f, 0.5f};
    clearGrid();
    EXPECT_EQ(colorGrid[0][0].r, 1.0f);
    EXPECT_EQ(colorGrid[79][99].b, 0.5f);
    EXPECT_EQ(colorGrid[80][0].g, 0.5f);  // columns 80..99 keep their colours
    EXPECT_EQ(colorGrid[99][99].r, 0.0f);
}

TEST(InitDisplay, ProjectionFactorsTakeTheAngleAsRadiansAndTheAspectAsWholeNumber) {
    useMemoryDisplay(80, 50);
    EXPECT_EQ(projScaleX, 111.70364379882812f);
    EXPECT_EQ(projScaleY, 139.62954711914062f);
    useMemoryDisplay(80, 40);
    EXPECT_FLOAT_EQ(projScaleX, 75.85182f);
    EXPECT_FLOAT_EQ(projScaleY, 111.70364f);
}

TEST(InitDisplay, AppliesEverySettingAndRepeatsIdentically) {
    useMemoryDisplay();
    EXPECT_EQ(memoryConsoleState.hideCursorCalls, 1);
    EXPECT_STREQ(memoryConsoleState.title, "QVO_4::Zorbel");
    EXPECT_EQ(memoryConsoleState.rawOutputCalls, 1);
    EXPECT_EQ(memoryConsoleState.columns, 80);
    EXPECT_EQ(memoryConsoleState.rows, 50);
    EXPECT_EQ(memoryConsoleState.filledCells, 4000);  // 80 x 80 asked, the buffer holds 4000
    EXPECT_EQ(consoleOutput, memoryConsole());

    const float scaleX = projScaleX;
    DisplayConfig visibleCursor = displayConfig;
    visibleCursor.showCursor = 1;
    initDisplay(visibleCursor);
    EXPECT_EQ(memoryConsoleState.hideCursorCalls, 1);  // no cursor call at all
    EXPECT_EQ(projScaleX, scaleX);
}

TEST(InitDisplay, ClampsASizeTheBuffersCannotHold) {
    resetMemoryConsole();
    selectConsole(memoryConsole());
    initDisplay(DisplayConfig{60, 200, 0, "", 0, 45.0f, 1.0f, -100.0f});
    EXPECT_EQ(displayConfig.width, 80);
    EXPECT_EQ(displayConfig.height, 1);
    EXPECT_TRUE(std::isfinite(projScaleX));
}

}  // namespace
