// The picture converter: every PNG colour type, scaling, the planar layout, the refusals. The dither: data_test.
#include "file_io.h"
#include "picture_convert.h"
#include "png_io.h"
#include "tool_test_util.h"

#include <gtest/gtest.h>

#include <filesystem>

static std::vector<int> rgbAt(const std::vector<uint8_t>& pic, int x, int y) {
    const size_t at = static_cast<size_t>(y * pictureW + x);
    return {pic[at], pic[picturePlane + at], pic[2 * picturePlane + at]};
}

TEST(PictureConvert, PlanarLayoutScalingAndEveryColourTypeAndDepth) {
    const std::string dir = scratchDir("layout");
    // Red, green / blue, white: a quarter of the 80 x 100 picture each, in its planes; the quarters meet at 40, 50.
    ASSERT_TRUE(writeTestPng(dir + "/q.png", 2, 2, PNG_COLOR_TYPE_RGB, 8, {{255, 0, 0, 0, 255, 0}, {0, 0, 255, 255, 255, 255}}));
    const std::vector<uint8_t> pic = convertPng(dir + "/q.png", false);
    ASSERT_EQ(pic.size(), 24000u);
    const struct { int x, y; std::vector<int> rgb; } points[] = {{0, 0, {255, 0, 0}}, {79, 0, {0, 255, 0}},
        {0, 99, {0, 0, 255}}, {39, 49, {255, 0, 0}}, {39, 50, {0, 0, 255}}, {79, 99, {255, 255, 255}}};
    for (const auto& p : points) EXPECT_EQ(rgbAt(pic, p.x, p.y), p.rgb) << p.x << "," << p.y;

    // 160 x 200 grey: columns alternate 0 and 200, so every 2 x 2 block averages to 100.
    std::vector<uint8_t> row(160);
    for (size_t x = 1; x < row.size(); x += 2) row[x] = 200;
    ASSERT_TRUE(writeTestPng(dir + "/g.png", 160, 200, PNG_COLOR_TYPE_GRAY, 8, std::vector(200, row)));
    const std::vector<uint8_t> grey = convertPng(dir + "/g.png", false);
    for (int i : {0, 4321, 7999, 16000}) EXPECT_EQ(grey[static_cast<size_t>(i)], 100) << i;

    // One pixel of each type: orange-ish (255, 128, 0) in colour, 128 in grey.
    const struct { const char* name; int type, depth; std::vector<uint8_t> row; std::vector<int> rgb;
                   std::vector<png_color> palette = {}; std::vector<uint8_t> trns = {}; } cases[] = {
        {"rgb8", PNG_COLOR_TYPE_RGB, 8, {255, 128, 0}, {255, 128, 0}},
        {"rgb16", PNG_COLOR_TYPE_RGB, 16, {0xFF, 0xFF, 0x80, 0x80, 0, 0}, {255, 128, 0}},
        {"rgba8", PNG_COLOR_TYPE_RGB_ALPHA, 8, {255, 128, 0, 255}, {255, 128, 0}},
        {"gray8", PNG_COLOR_TYPE_GRAY, 8, {128}, {128, 128, 128}},
        {"gray1", PNG_COLOR_TYPE_GRAY, 1, {0x80}, {255, 255, 255}},
        {"grayalpha16", PNG_COLOR_TYPE_GRAY_ALPHA, 16, {0x80, 0x80, 0xFF, 0xFF}, {128, 128, 128}},
        // Palette entry 1 is half-transparent white, composited over black.
        {"palette", PNG_COLOR_TYPE_PALETTE, 8, {1}, {128, 128, 128}, {{0, 0, 255}, {255, 255, 255}}, {255, 128}},
    };
    for (const auto& c : cases) {
        const std::string path = dir + "/" + c.name + ".png";
        ASSERT_TRUE(writeTestPng(path, 1, 1, c.type, c.depth, {c.row}, c.palette, c.trns)) << c.name;
        EXPECT_EQ(rgbAt(convertPng(path, false), 10, 10), c.rgb) << c.name;
    }
}

TEST(PictureConvert, RefusesMissingNonPngAndTruncatedFiles) {
    const std::string dir = scratchDir("broken");
    writeFileAtomic(dir + "/text.png", {'h', 'e', 'l', 'l', 'o', '\n', 0, 0, 0, 0});
    std::vector<std::vector<uint8_t>> rows(64, std::vector<uint8_t>(64 * 3));
    for (size_t i = 0; i < 64 * 64 * 3; ++i) rows[i / 192][i % 192] = static_cast<uint8_t>(i % 192 * 7 + i / 192 * 13);
    ASSERT_TRUE(writeTestPng(dir + "/full.png", 64, 64, PNG_COLOR_TYPE_RGB, 8, rows));  // cut in half below
    const std::vector<uint8_t> bytes = readFile(dir + "/full.png");
    writeFileAtomic(dir + "/cut.png", {bytes.begin(), bytes.begin() + static_cast<long>(bytes.size() / 2)});
    const struct { const char* file; const char* says; } cases[] = {
        {"missing", "cannot open"}, {"text", "not a PNG"}, {"cut", "cannot decode"}};
    for (const auto& c : cases)
        EXPECT_NE(errorOf([&] { convertPng(dir + "/" + c.file + ".png", false); }).find(c.says), std::string::npos) << c.file;
}

TEST(FileIo, AtomicWriteLeavesNothingBehindOnFailure) {
    const std::string dir = scratchDir("atomic");
    EXPECT_THROW(writeFileAtomic(dir + "/no/such/folder/x.raw", {1, 2, 3}), ToolError);
    std::filesystem::create_directory(dir + "/taken");  // rename onto a folder fails
    EXPECT_THROW(writeFileAtomic(dir + "/taken", {1, 2, 3}), ToolError);
    writeFileAtomic(dir + "/ok.raw", {1, 2, 3});
    writeFileAtomic(dir + "/ok.raw", {4, 5});  // replaces
    EXPECT_EQ(readFile(dir + "/ok.raw"), (std::vector<uint8_t>{4, 5}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 2)
        << "taken and ok.raw, no temporary file";
}
