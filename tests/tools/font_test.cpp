// The font sheet: layout, ink of every printable character, the empty space, and the refusals.
#include "file_io.h"
#include "font_sheet.h"
#include "tool_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>

// The ink of code c's 16 x 16 block as first and last column, first and last row; -1s when empty.
static std::array<int, 4> inkBox(const std::vector<uint8_t>& sheet, int c) {
    std::array<int, 4> box{-1, -1, -1, -1};
    for (int j = 0; j < 16; ++j)
        for (int i = 0; i < 16; ++i)
            if (sheet[static_cast<size_t>((16 * (c / 16) + j) * sheetWidth + 16 * (c % 16) + i)] != 0)
                box = {box[0] < 0 ? i : std::min(box[0], i), std::max(box[1], i), box[2] < 0 ? j : box[2], j};
    return box;
}

TEST(FontSheet, LayoutInkAndRefusals) {
    if (!std::filesystem::exists(defaultFontPath)) GTEST_SKIP() << "no " << defaultFontPath;
    const std::vector<uint8_t> sheet = makeFontSheet(defaultFontPath);
    ASSERT_EQ(sheet.size(), 192000u);
    // Code c lives at columns 16 (c % 16) and rows 16 (c / 16) on: printable ones have ink at most 10 pixels wide.
    for (int c = 0; c < 128; ++c) {
        const auto [first, last, top, bottom] = inkBox(sheet, c);
        EXPECT_TRUE(c > 32 && c < 127 ? first >= 0 && last - first < 10 : first == -1) << c << ": " << first << ".." << last;
    }
    // Ink is all-or-nothing: 0 or 255 in all three planes; rows 128..249 stay empty.
    for (size_t o = 0; o < static_cast<size_t>(sheetPlaneBytes); ++o) {
        ASSERT_TRUE(sheet[o] == sheet[sheetPlaneBytes + o] && sheet[o] == sheet[2 * sheetPlaneBytes + o]) << o;
        ASSERT_EQ(sheet[o], o >= 128u * sheetWidth ? 0 : sheet[o] ? 255 : 0) << o;
    }
    EXPECT_GE(inkBox(sheet, 'g')[3], 14) << "'g' keeps its descender";
    EXPECT_LE(inkBox(sheet, 'A')[2], 2) << "'A' keeps its apex";

    const std::string dir = scratchDir("font");
    EXPECT_THROW(makeFontSheet(dir + "/missing.ttf"), ToolError);
    writeFileAtomic(dir + "/fake.ttf", std::vector<uint8_t>(2000, 0x41));
    const std::string error = errorOf([&] { makeFontSheet(dir + "/fake.ttf"); });
    EXPECT_NE(error.find("not a font"), std::string::npos) << "a file of 'A's: " << error;
    for (int pixelSize : {2, 200}) EXPECT_THROW(makeFontSheet(defaultFontPath, pixelSize), ToolError) << pixelSize;
}
