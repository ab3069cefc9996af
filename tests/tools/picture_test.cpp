// The picture converter: PNG decoding of every colour type, scaling, the planar layout,
// the dither's palette, and the refusals (missing, not a PNG, truncated).
#include "file_io.h"
#include "picture_convert.h"
#include "png_io.h"
#include "tool_test_util.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace {

uint8_t plane(const std::vector<uint8_t>& pic, int channel, int x, int y) {
    return pic[static_cast<size_t>(channel * picturePlane + y * pictureW + x)];
}

}  // namespace

TEST(PictureConvert, PlanarLayoutAndScalingOfTwoByTwoRgb) {
    const std::string dir = scratchDir("layout");
    // Red, green / blue, white: each quarter of the 80 x 100 picture gets one colour.
    const std::vector<std::vector<uint8_t>> rows = {{255, 0, 0, 0, 255, 0}, {0, 0, 255, 255, 255, 255}};
    ASSERT_TRUE(writeTestPng(dir + "/q.png", 2, 2, PNG_COLOR_TYPE_RGB, 8, rows));
    const std::vector<uint8_t> pic = convertPng(dir + "/q.png", false);
    ASSERT_EQ(pic.size(), 24000u);
    EXPECT_EQ(plane(pic, 0, 0, 0), 255);   // top left red, in the first plane
    EXPECT_EQ(plane(pic, 1, 0, 0), 0);
    EXPECT_EQ(plane(pic, 1, 79, 0), 255);  // top right green, second plane
    EXPECT_EQ(plane(pic, 0, 79, 0), 0);
    EXPECT_EQ(plane(pic, 2, 0, 99), 255);  // bottom left blue, third plane
    EXPECT_EQ(plane(pic, 2, 39, 49), 0);   // the quarters meet at 40, 50
    EXPECT_EQ(plane(pic, 2, 39, 50), 255);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(plane(pic, c, 79, 99), 255);
}

TEST(PictureConvert, AreaAverageWhenShrinking) {
    const std::string dir = scratchDir("shrink");
    // 160 x 200 grey: columns alternate 0 and 200, so every 2 x 2 block averages to 100.
    std::vector<std::vector<uint8_t>> rows(200, std::vector<uint8_t>(160));
    for (auto& r : rows)
        for (size_t x = 0; x < r.size(); ++x) r[x] = (x % 2) ? 200 : 0;
    ASSERT_TRUE(writeTestPng(dir + "/g.png", 160, 200, PNG_COLOR_TYPE_GRAY, 8, rows));
    const std::vector<uint8_t> pic = convertPng(dir + "/g.png", false);
    for (int i : {0, 4321, 7999}) EXPECT_EQ(pic[static_cast<size_t>(i)], 100) << i;
    EXPECT_EQ(pic[16000], 100);
}

TEST(PictureConvert, EveryColourTypeAndDepthDecodesToTheSameColour) {
    const std::string dir = scratchDir("types");
    // One orange-ish pixel (255, 128, 0) written six ways; grey ones use 128.
    struct Case {
        const char* name;
        int type, depth;
        std::vector<uint8_t> row;
        uint8_t r, g, b;
    };
    const std::vector<Case> cases = {
        {"rgb8", PNG_COLOR_TYPE_RGB, 8, {255, 128, 0}, 255, 128, 0},
        {"rgb16", PNG_COLOR_TYPE_RGB, 16, {0xFF, 0xFF, 0x80, 0x80, 0, 0}, 255, 128, 0},
        {"rgba8", PNG_COLOR_TYPE_RGB_ALPHA, 8, {255, 128, 0, 255}, 255, 128, 0},
        {"gray8", PNG_COLOR_TYPE_GRAY, 8, {128}, 128, 128, 128},
        {"gray1", PNG_COLOR_TYPE_GRAY, 1, {0x80}, 255, 255, 255},
        {"grayalpha16", PNG_COLOR_TYPE_GRAY_ALPHA, 16, {0x80, 0x80, 0xFF, 0xFF}, 128, 128, 128},
    };
    for (const Case& c : cases) {
        const std::string path = dir + "/" + c.name + ".png";
        ASSERT_TRUE(writeTestPng(path, 1, 1, c.type, c.depth, {c.row})) << c.name;
        const std::vector<uint8_t> pic = convertPng(path, false);
        EXPECT_EQ(plane(pic, 0, 10, 10), c.r) << c.name;
        EXPECT_EQ(plane(pic, 1, 10, 10), c.g) << c.name;
        EXPECT_EQ(plane(pic, 2, 10, 10), c.b) << c.name;
    }
    // Palette with transparency: entry 1 is half-transparent white, composited over black.
    ASSERT_TRUE(writeTestPng(dir + "/pal.png", 2, 1, PNG_COLOR_TYPE_PALETTE, 8, {{0, 1}},
                             {{0, 0, 255}, {255, 255, 255}}, {255, 128}));
    const std::vector<uint8_t> pal = convertPng(dir + "/pal.png", false);
    EXPECT_EQ(plane(pal, 2, 0, 0), 255);
    EXPECT_EQ(plane(pal, 0, 0, 0), 0);
    EXPECT_EQ(plane(pal, 0, 79, 0), 128);
}

TEST(PictureConvert, DitherUsesOnlyShownColoursAndFollowsARamp) {
    FloatImage ramp(pictureW, pictureH);
    for (int y = 0; y < pictureH; ++y)
        for (int x = 0; x < pictureW; ++x) ramp.at(x, y)[0] = ramp.at(x, y)[2] = x / 79.0f;
    const std::vector<uint8_t> pic = toPicture(ramp, true);
    std::set<uint8_t> bytes(pic.begin(), pic.end());
    for (uint8_t b : bytes) EXPECT_TRUE(b == 0 || b == 128 || b == 255) << int(b);
    // Black on the left, bright magenta on the right, magenta patterns between.
    auto shown = [&](int x, int y) { return paletteIndex(plane(pic, 0, x, y), plane(pic, 1, x, y), plane(pic, 2, x, y)); };
    std::set<int> left, middle;
    for (int y = 0; y < pictureH; ++y) {
        left.insert(shown(0, y));
        middle.insert(shown(39, y));
    }
    EXPECT_EQ(left, std::set<int>{0});
    EXPECT_TRUE(middle.count(5)) << "the middle of the ramp is dark magenta";
    EXPECT_EQ(paletteIndex(plane(pic, 0, 79, 5), plane(pic, 1, 79, 5), plane(pic, 2, 79, 5)), 13);
}

TEST(PictureConvert, PaletteIndexThresholds) {
    EXPECT_EQ(paletteIndex(0, 0, 0), 0);
    EXPECT_EQ(paletteIndex(76, 76, 76), 0);  // 76/256 = 0.297: not above 0.3
    EXPECT_EQ(paletteIndex(77, 0, 0), 4);    // 0.3008
    EXPECT_EQ(paletteIndex(255, 0, 0), 4);   // one channel never reaches brightness
    EXPECT_EQ(paletteIndex(154, 153, 153), 7);   // 460 / 256 = 1.7969
    EXPECT_EQ(paletteIndex(153, 154, 153), 7);
    EXPECT_EQ(paletteIndex(154, 154, 153), 15);  // 461 / 256 = 1.8008
    EXPECT_EQ(paletteIndex(231, 230, 0), 14);    // 1.8008
    EXPECT_EQ(paletteIndex(230, 230, 0), 6);
}

TEST(PictureConvert, RefusesMissingNonPngAndTruncatedFiles) {
    const std::string dir = scratchDir("broken");
    auto message = [](const std::string& path) {
        try {
            convertPng(path, false);
        } catch (const ToolError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_NE(message(dir + "/missing.png").find("cannot open"), std::string::npos);
    writeFileAtomic(dir + "/text.png", {'h', 'e', 'l', 'l', 'o', '\n', 0, 0, 0, 0});
    EXPECT_NE(message(dir + "/text.png").find("not a PNG"), std::string::npos);
    std::vector<std::vector<uint8_t>> rows(64, std::vector<uint8_t>(64 * 3));
    for (size_t y = 0; y < rows.size(); ++y)
        for (size_t x = 0; x < rows[y].size(); ++x) rows[y][x] = static_cast<uint8_t>(x * 7 + y * 13);
    ASSERT_TRUE(writeTestPng(dir + "/full.png", 64, 64, PNG_COLOR_TYPE_RGB, 8, rows));
    std::vector<uint8_t> bytes = readFile(dir + "/full.png");
    bytes.resize(bytes.size() / 2);
    writeFileAtomic(dir + "/cut.png", bytes);
    EXPECT_NE(message(dir + "/cut.png").find("cannot decode"), std::string::npos);
}

TEST(FileIo, AtomicWriteLeavesNothingBehindOnFailure) {
    const std::string dir = scratchDir("atomic");
    EXPECT_THROW(writeFileAtomic(dir + "/no/such/folder/x.raw", {1, 2, 3}), ToolError);
    std::filesystem::create_directory(dir + "/taken");  // rename onto a folder fails
    EXPECT_THROW(writeFileAtomic(dir + "/taken", {1, 2, 3}), ToolError);
    EXPECT_FALSE(std::filesystem::exists(dir + "/taken.tmp-zorbel"));
    writeFileAtomic(dir + "/ok.raw", {1, 2, 3});
    writeFileAtomic(dir + "/ok.raw", {4, 5});  // replaces
    EXPECT_EQ(readFile(dir + "/ok.raw"), (std::vector<uint8_t>{4, 5}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 2);
}
