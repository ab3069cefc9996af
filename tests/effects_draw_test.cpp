#include <string>

#include <gtest/gtest.h>

#include "render3d_test_state.h"

namespace {

const Rgb textColor{2, 1, 3};

void setInk(int code, int i, int j, int plane = 0) {
    fontSheet[plane * fontPlaneBytes + (code / 16 * 16 + j) * fontSheetWidth + code % 16 * 16 + i] = 1;
}

void drawPlain(int32_t x, int32_t y, const char* text) {
    drawText(1, 0, 5, fontSheet, textColor.r, textColor.g, textColor.b, x, y, "%s", text);
}

}  // namespace

// The edges of the grid and the length limit; the golden frames hold the planes and the advance.
TEST(EffectsText, GlyphLookupClippingAndLengthLimit) {
    resetDrawingState();
    std::memset(fontSheet, 0, sizeof fontSheet);
    // 'A' is the block at sheet columns 16..31, rows 64..79; any plane makes ink.
    setInk('A', 0, 0, 0), setInk('A', 15, 15, 1), setInk('A', 3, 7, 2);
    drawPlain(0, 0, "A");
    EXPECT_EQ(cellsNot(Rgb{}), (Cells{{0, 0}, {3, 7}, {15, 15}}));

    // The second glyph at -11..4, rows 95..110, shows only in columns 0..4, rows 95..99.
    for (int i = 0; i < 16; ++i)
        for (int j = 0; j < 16; ++j) setInk('B', i, j);
    fillGrid(Rgb{});
    drawPlain(-20, 95, "BB");
    EXPECT_EQ(cellsNot(Rgb{}).size(), 25u);
    drawPlain(0, 0, ""), drawText(1, 0, 5, fontSheet, 1, 1, 1, 0, 0, nullptr);
    EXPECT_EQ(cellsNot(Rgb{}).size(), 25u);

    // Cut to 255 characters: k = 254 lands on column 0 (k = 253 has its (15, 15) at 6), 255 would on 9.
    fillGrid(Rgb{});
    drawPlain(-9 * 254, 0, std::string(400, 'A').c_str());
    EXPECT_EQ(cellsNot(Rgb{}), (Cells{{0, 0}, {3, 7}, {6, 15}, {15, 15}}));
}
