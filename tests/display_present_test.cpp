// The 16-colour thresholds, the attribute encoding and the frame that reaches the console.
#include <cmath>
#include <cstring>
#include <limits>
#include <tuple>

#include <gtest/gtest.h>

#include "display/color_grid.h"
#include "display/display_config.h"
#include "display/present.h"
#include "platform/terminal/memory_console.h"
#include "render3d/primitives.h"

namespace {

const float threshold = 0.3f;
const float justAbove = std::nextafter(threshold, 1.0f);
const float nan = std::numeric_limits<float>::quiet_NaN();

void useMemoryDisplay() {
    memoryConsoleState = MemoryConsoleState{};
    selectConsole(memoryConsole());
    initDisplay(DisplayConfig{60, 80, 50, "QVO_4::Zorbel", 0, 45.0f});
    std::memset(colorGrid, 0, sizeof colorGrid);
}

// A channel counts only strictly above the float nearest 0.3; brightness is the sum in double
// reaching the float nearest 1.8. NaN never counts. Bits: blue 1, green 2, red 4, bright 8.
TEST(ColorBits, ChannelThresholdsAndBrightnessAtTheirExactFloatBounds) {
    const float infinity = std::numeric_limits<float>::infinity();
    const struct { Rgb cell; int32_t bits; } cases[] = {
        {{threshold, threshold, threshold}, 0}, {{justAbove, 0, 0}, 4}, {{0, justAbove, 0}, 2},
        {{0, 0, justAbove}, 1}, {{nan, nan, nan}, 0}, {{-1.0f, 0.5f, 0.0f}, 2},
        {{0.6f, 0.6f, 0.6f}, 15},  // sums to 1.8000000715
        {{0.59f, 0.6f, 0.6f}, 7}, {{2.0f, 0, 0}, 12}, {{1.8f, 0, 0}, 12},  // equal to the bound counts
        {{std::nextafter(1.8f, 0.0f), 0, 0}, 4}, {{3.0f, nan, 0}, 4}, {{0.9f, 0.9f, 0}, 14},
        {{infinity, 0, 0}, 12}, {{infinity, -infinity, 0}, 4}, {{-3.0f, 2.0f, 2.9f}, 11},
    };
    for (const auto& c : cases) EXPECT_EQ(colorBits(c.cell), c.bits) << c.cell.r << " " << c.cell.g << " " << c.cell.b;
}

TEST(PresentFrame, LowerGridCellIsForegroundUpperIsBackgroundAndTheQueueIsEmptied) {
    useMemoryDisplay();
    colorGrid[3][0] = {1, 1, 1};  // upper cell of console cell (3, 0)
    colorGrid[5][9] = {1, 1, 1};  // lower cell of console cell (5, 4)
    colorGrid[79][98] = {0.0f, 0.0f, 2.0f};
    colorGrid[79][99] = {0.5f, 0.0f, 0.0f};
    primitiveList.count = 3;
    primitiveList.vertexCursor = 2;
    presentFrame();
    for (int i = 0; i < 80 * 50; ++i) {  // every other cell a half block black on black
        const CharInfo& cell = memoryConsoleState.cells[i];
        ASSERT_EQ(cell.character, 220) << i;  // the lower half block of code page 437
        ASSERT_EQ(cell.attribute, i == 3 ? 0xF0 : i == 4 * 80 + 5 ? 0x0F : i == 49 * 80 + 79 ? 0x94 : 0) << i;
    }
    EXPECT_EQ(std::tuple(memoryConsoleState.framesWritten, primitiveList.count, primitiveList.vertexCursor),
              std::tuple(1, 0, 0));
}

TEST(InitDisplay, AppliesEverySettingAndClampsASizeTheBuffersCannotHold) {
    useMemoryDisplay();
    const MemoryConsoleState& console = memoryConsoleState;
    EXPECT_EQ(std::tuple(console.hideCursorCalls, std::string(console.title), console.rawOutputCalls, console.columns,
                         console.rows, console.filledCells),
              std::tuple(1, "QVO_4::Zorbel", 1, 80, 50, 4000));  // 80 x 80 cells asked, the buffer holds 4000
    const struct { int width, height, clampedWidth, clampedHeight; } sizes[] = {
        {200, 0, 80, 1}, {30, 50, 30, 30}, {0, 7, 1, 1}, {80, 99, 80, 50}, {64, 40, 64, 40},
    };
    for (const auto& size : sizes) {
        initDisplay(DisplayConfig{60, size.width, size.height, "", 0, 45.0f});
        EXPECT_EQ(std::tuple(displayConfig.width, displayConfig.height, console.filledCells),
                  std::tuple(size.clampedWidth, size.clampedHeight, size.clampedWidth * size.clampedHeight))
            << size.width << " x " << size.height;
        EXPECT_TRUE(std::isfinite(projScaleX) && std::isfinite(projScaleY));
    }
}

}  // namespace
