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

// Ink columns of code c: first and last, or -1, -1 when empty.
std::pair<int, int> inkColumns(const std::vector<uint8_t>& sheet, int c) {
    int first = -1, last = -1;
    for (int i = 0; i < 16; ++i)
        for (int j = 0; j < 16; ++j)
            if (ink(sheet, 16 * (c % 16) + i, 16 * (c / 16) + j)) {
                if (first < 0) first = i;
                last = i;
            }
    return {first, last};
}

}  // namespace

class FontSheet : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!std::filesystem::exists(defaultFontPath))
            GTEST_SKIP() << "DejaVu Sans Mono Bold is not installed (package fonts-dejavu-core)";
    }
};

TEST_F(FontSheet, LayoutAndInk) {
    const std::vector<uint8_t> sheet = makeFontSheet(defaultFontPath);
    ASSERT_EQ(sheet.size(), 192000u);
    bool aHasInk = false;
    for (int v = 64; v < 80; ++v)
        for (int u = 16; u < 32; ++u) aHasInk = aHasInk || ink(sheet, u, v);
    EXPECT_TRUE(aHasInk) << "'A' lives at columns 16..31, rows 64..79";
    EXPECT_EQ(inkColumns(sheet, ' ').first, -1) << "the space has no ink";
    for (int c = 33; c <= 126; ++c) {
        const auto [first, last] = inkColumns(sheet, c);
        EXPECT_GE(first, 0) << "no ink for code " << c;
        EXPECT_LE(last - first + 1, 10) << "code " << c << " is wider than 10 pixels";
    }
    for (int c : {0, 10, 31, 127}) EXPECT_EQ(inkColumns(sheet, c).first, -1) << c;
    // Ink is all-or-nothing: 0 or 255 in all three planes; rows 128..249 stay empty.
    for (size_t o = 0; o < static_cast<size_t>(sheetPlaneBytes); ++o) {
        ASSERT_EQ(sheet[o], sheet[sheetPlaneBytes + o]);
        ASSERT_EQ(sheet[o], sheet[2 * sheetPlaneBytes + o]);
        ASSERT_TRUE(sheet[o] == 0 || sheet[o] == 255);
        if (o >= 128u * sheetWidth) {
            ASSERT_EQ(sheet[o], 0);
        }
    }
    // 'g' and 'y' keep their descenders, 'A' its apex: something in the bottom and top rows.
    bool bottom = false, top = false;
    for (int i = 0; i < 16; ++i) {
        bottom = bottom || ink(sheet, 16 * ('g' % 16) + i, 16 * ('g' / 16) + 14);
        top = top || ink(sheet, 16 * ('A' % 16) + i, 16 * ('A' / 16) + 2);
    }
    EXPECT_TRUE(bottom);
    EXPECT_TRUE(top);
}

TEST_F(FontSheet, RefusesWhatIsNotAUsableFont) {
    const std::string dir = scratchDir("font");
    EXPECT_THROW(makeFontSheet(dir + "/missing.ttf"), ToolError);
    writeFileAtomic(dir + "/fake.ttf", std::vector<uint8_t>(2000, 0x41));
    try {
        makeFontSheet(dir + "/fake.ttf");
        FAIL() << "a file of 'A's was taken for a font";
    } catch (const ToolError& e) {
        EXPECT_NE(std::string(e.what()).find("not a font"), std::string::npos) << e.what();
    }
    EXPECT_THROW(makeFontSheet(defaultFontPath, 2), ToolError);
    EXPECT_THROW(makeFontSheet(defaultFontPath, 200), ToolError);
}
