// The font sheet: layout, ink of 'A' and of every printable character, the empty space,
// glyph sizes, and the refusals (missing file, not a font, bad size).
#include "file_io.h"
#include "font_sheet.h"
#include "tool_test_util.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

bool ink(const std::vector<uint8_t>& sheet, int u, int v) {
    const size_t o = static_cast<size_t>(v * sheetWidth + u);
    return sheet[o] || sheet[sheetPlaneBytes + o] || sheet[2 * sheetPlaneBytes + o];
}

// Whether code c has ink in row j of its block.
bool inkInRow(const std::vector<uint8_t>& sheet, int c, int j) {
    for (int i = 0; i < 16; ++i)
        if (ink(sheet, 16 * (c % 16) + i, 16 * (c / 16) + j)) return true;
    return false;
}

// Ink columns of code c: first and last, or -1, -1 when empty.
std::pair<int, int> inkColumns(const std::vector<uint8_t>& sheet, int c) {
    int first = -1, last = -1;
    for (int i = 0; i < 16; ++i)
        for (int j = 0; j < 16; ++j)
            if (ink(sheet, 16 * (c % 16) + i, 16 * (c / 16) + j)) last = i, first = first < 0 ? i : first;
    return {first, last};
}

}  // namespace

#define SKIP_WITHOUT_FONT() \
    if (!std::filesystem::exists(defaultFontPath)) GTEST_SKIP() << defaultFontPath << " is missing (package fonts-dejavu-core)"

TEST(FontSheet, LayoutAndInk) {
    SKIP_WITHOUT_FONT();
    const std::vector<uint8_t> sheet = makeFontSheet(defaultFontPath);
    ASSERT_EQ(sheet.size(), 192000u);
    // Code c lives at columns 16 (c % 16) and rows 16 (c / 16) on: printable ones have ink at most 10 pixels wide.
    for (int c = 0; c < 128; ++c) {
        const auto [first, last] = inkColumns(sheet, c);
        EXPECT_TRUE(c > 32 && c < 127 ? first >= 0 && last - first < 10 : first == -1) << c << ": " << first << ".." << last;
    }
    // Ink is all-or-nothing: 0 or 255 in all three planes; rows 128..249 stay empty.
    for (size_t o = 0; o < static_cast<size_t>(sheetPlaneBytes); ++o) {
        ASSERT_TRUE(sheet[o] == sheet[sheetPlaneBytes + o] && sheet[o] == sheet[2 * sheetPlaneBytes + o]) << o;
        ASSERT_EQ(sheet[o], o >= 128u * sheetWidth ? 0 : sheet[o] ? 255 : 0) << o;
    }
    EXPECT_TRUE(inkInRow(sheet, 'g', 14)) << "'g' keeps its descender";
    EXPECT_TRUE(inkInRow(sheet, 'A', 2)) << "'A' keeps its apex";
}

TEST(FontSheet, RefusesWhatIsNotAUsableFont) {
    SKIP_WITHOUT_FONT();
    const std::string dir = scratchDir("font");
    EXPECT_THROW(makeFontSheet(dir + "/missing.ttf"), ToolError);
    writeFileAtomic(dir + "/fake.ttf", std::vector<uint8_t>(2000, 0x41));
    const std::string error = errorOf([&] { makeFontSheet(dir + "/fake.ttf"); });
    EXPECT_NE(error.find("not a font"), std::string::npos) << "a file of 'A's: " << error;
    for (int pixelSize : {2, 200}) EXPECT_THROW(makeFontSheet(defaultFontPath, pixelSize), ToolError) << pixelSize;
}
