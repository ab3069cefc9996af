// The README's report pictures: contact sheets and bass plots.
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "contact_sheet.h"
#include "file_io.h"

namespace {

RgbaImage solid(int width, int height, uint8_t r) {
    RgbaImage image{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 4, 255)};
    for (size_t i = 0; i < image.pixels.size(); i += 4) image.pixels[i + 1] = image.pixels[i + 2] = 0, image.pixels[i] = r;
    return image;
}

TEST(ContactSheet, TilesInRowsWithGapsAndFitsEveryPictureToTheFirstsSize) {
    const RgbaImage sheet = tilePictures({solid(4, 3, 10), solid(4, 3, 20), solid(9, 9, 30)}, 2, 1);
    EXPECT_EQ(sheet.width, 2 * 4 + 3);
    EXPECT_EQ(sheet.height, 2 * 3 + 3);
    auto red = [&](int x, int y) { return sheet.pixels[(static_cast<size_t>(y) * sheet.width + x) * 4]; };
    EXPECT_EQ(red(0, 0), 0);   // the gap
    EXPECT_EQ(red(1, 1), 10);
    EXPECT_EQ(red(6, 3), 20);
    EXPECT_EQ(red(4, 5), 30);  // third picture, second row, cut to 4 x 3
    EXPECT_EQ(red(9, 6), 0);   // nothing in the empty fourth place
    EXPECT_THROW(tilePictures({}, 2, 1), ToolError);
}

TEST(BassPlot, ReadsTheCaptureTableWithinTheWindowAndRefusesOtherFiles) {
    const auto path = std::filesystem::temp_directory_path() / "zorbel-plot-test.csv";
    std::ofstream(path) << "frame,tick_ms,demo_time,bass_level\n0,0,0,0\n1,500,0.5,1.5\n2,1000,1,3\n";
    const std::vector<PlotPoint> points = readBassLevels(path.string(), 0.25, 2);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[1].value, 3);
    const RgbaImage plot = plotPoints(points, 32, 16);
    EXPECT_EQ(plot.width, 32);
    std::ofstream(path) << "something,else\n";
    EXPECT_THROW(readBassLevels(path.string(), 0, 1), ToolError);
    EXPECT_THROW(plotPoints({}, 32, 16), ToolError);
    std::filesystem::remove(path);
}

}  // namespace
