// The whole show through the capture path: the scene windows and texts at known seconds,
// the capture options, and the errors that stop the program before it shows anything.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "capture_run.h"

namespace {

using namespace capture_run;

constexpr uint32_t black = 0x000000, blue = 0x000080, brightBlue = 0x0000FF, white = 0xFFFFFF;
constexpr uint32_t red = 0x800000, green = 0x008000, magenta = 0x800080;

// One capture of the whole show at 4 frames a second: every window bound falls on a frame.
class WholeShow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = makeScratch("show");
        result_ = runZorbel(folder_, "--capture out --fps 4 --to 261 --no-audio");
    }
    static void TearDownTestSuite() { fs::remove_all(folder_); }

    static Image frameAt(double seconds) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06d.png", static_cast<int>(seconds * 4));
        const Image image = readPng(folder_ / "out" / name);
        EXPECT_TRUE(image.width == 80 && image.height == 100) << name << " is missing or not 80 x 100";
        return image;
    }

    static std::set<uint32_t> colours(const Image& image, int x0 = 0, int y0 = 0, int x1 = 80, int y1 = 100) {
        std::set<uint32_t> found;
        for (int y = y0; y < std::min(y1, image.height); ++y)  // a missing frame has no colours
            for (int x = x0; x < std::min(x1, image.width); ++x) found.insert(image.pixel(x, y));
        return found;
    }

    static bool only(const Image& image, std::set<uint32_t> allowed) {
        const std::set<uint32_t> found = colours(image);
        return !found.empty() && std::includes(allowed.begin(), allowed.end(), found.begin(), found.end());
    }

    static bool hasRed(const std::set<uint32_t>& found) {
        return std::any_of(found.begin(), found.end(), [](uint32_t c) { return c != white && (c & 0xFF0000); });
    }

    static fs::path folder_;
    static Result result_;
};

fs::path WholeShow::folder_;
Result WholeShow::result_;

TEST_F(WholeShow, RunsToTheEndAndTablesEveryComputedFrame) {
    ASSERT_EQ(result_.status, 0) << result_.output;
    std::ifstream table(folder_ / "out/frames.csv");
    std::string line;
    std::getline(table, line);
    EXPECT_EQ(line, "frame,tick_ms,demo_time,bass_level");
    int rows = 0;
    for (; std::getline(table, line); ++rows) {
        std::ostringstream expected;
        expected << rows << ',' << rows * 250 << ',' << rows / 4.0 << ",0";
        ASSERT_EQ(line, expected.str());
    }
    EXPECT_EQ(rows, 261 * 4 + 1);
    EXPECT_FALSE(fs::exists(folder_ / "out/frame-001045.png"));
}

// Each scene shows only its colours, on both sides of every bound that falls on a frame.
TEST_F(WholeShow, ScenesChangeExactlyAtTheirBounds) {
    const std::set<uint32_t> ripple{black, blue, brightBlue}, stars{black, white};
    const struct { double seconds; std::set<uint32_t> colours; bool onlyThese; } frames[] = {
        {0, {blue}, true}, {0.25, {black}, true},  // cleared to half of the previous 0.0
        {1.0, {0xC0C0C0}, true}, {7.0, {white}, true},  // half of 0.75; exactly 7.0 draws no picture yet
        {7.25, {red}, true}, {14.75, {red}, true}, {15.0, {green}, true}, {22.0, {blue}, true},
        {30.0, {magenta}, true}, {36.75, {magenta}, true},
        {63.0, ripple, true}, {66.0, ripple, true}, {66.25, ripple, false},  // the cube joins the ripple
        {154.0, stars, true}, {180.0, stars, true}, {180.25, stars, false},  // and the star field
        {210.0, {white}, true}, {252.5, {white}, true}, {261.0, {white}, true},  // the closing text is off the grid
    };
    for (const auto& frame : frames)
        EXPECT_EQ(only(frameAt(frame.seconds), frame.colours), frame.onlyThese) << frame.seconds << " s";
}

TEST_F(WholeShow, TextsEnterFromTheRightOverTheirScenes) {
    const Image wavyStart = frameAt(37.0);
    EXPECT_TRUE(only(wavyStart, {white, magenta}));  // the text starts at column 127
    EXPECT_TRUE(colours(wavyStart).count(white));
    const Image wavy = frameAt(40.0);  // the text's left edge is at column 40
    EXPECT_TRUE(only(wavy, {white, magenta, red, 0x808000, 0xFFFF00}));
    auto hasText = [](const std::set<uint32_t>& found) {
        return found.count(red) || found.count(0x808000) || found.count(0xFFFF00);
    };
    EXPECT_FALSE(hasText(colours(wavy, 0, 0, 40, 100)));
    EXPECT_TRUE(hasText(colours(wavy, 40, 44, 48, 52)));

    const Image plasma = frameAt(96.0);
    EXPECT_TRUE(only(plasma, {black, 0x008080, 0x00FFFF, white}));
    EXPECT_TRUE(colours(plasma).count(white));  // the white model
    EXPECT_FALSE(hasRed(colours(plasma)));       // the text starts at column 280
    EXPECT_TRUE(hasRed(colours(frameAt(110.0), 0, 60, 9, 100)));  // now at column 0
    EXPECT_TRUE(hasRed(colours(frameAt(220.0))));  // the closing text, started at column 100 at 210 s
}

TEST(CaptureOptions, WindowAndScaleChooseWhichFramesAndHowLarge) {
    const fs::path folder = makeScratch("window");
    const Result result = runZorbel(folder, "--capture out --fps 10 --from 8 --to 8.5 --scale 3 --no-audio");
    ASSERT_EQ(result.status, 0) << result.output;
    int pictures = 0;
    for (const auto& entry : fs::directory_iterator(folder / "out")) pictures += entry.path().extension() == ".png";
    EXPECT_EQ(pictures, 6);
    EXPECT_TRUE(fs::exists(folder / "out/frame-000085.png"));
    const Image image = readPng(folder / "out/frame-000080.png");
    EXPECT_EQ(image.width, 240);
    EXPECT_EQ(image.height, 300);
    EXPECT_EQ(image.pixel(239, 299), red);
    fs::remove_all(folder);
}

TEST(CaptureOptions, BadValuesGiveOneLineNamingTheOptionAndStatusTwo) {
    const fs::path folder = makeScratch("badoptions");
    std::ofstream(folder / "file") << "x";
    const std::pair<const char*, const char*> cases[] = {
        {"--bogus", "--bogus"},
        {"--capture out --fps abc", "--fps"},
        {"--capture out --fps 0", "--fps"},
        {"--capture out --fps -5", "--fps"},
        {"--capture out --from 10 --to 5", "--to"},
        {"--capture out --scale 0", "--scale"},
        {"--capture out --scale 17", "--scale"},
        {"--capture file/sub", "--capture"},
        {"--start -1", "--start"},
    };
    for (const auto& [arguments, option] : cases) {
        const Result result = runZorbel(folder, arguments);
        EXPECT_EQ(result.status, 2) << arguments;
        EXPECT_EQ(std::count(result.output.begin(), result.output.end(), '\n'), 1) << arguments << ": " << result.output;
        EXPECT_NE(result.output.find(option), std::string::npos) << arguments << ": " << result.output;
        EXPECT_EQ(result.output.find('\x1b'), std::string::npos) << arguments;  // the terminal is untouched
    }
    EXPECT_FALSE(fs::exists(folder / "out/frames.csv"));
    const Result help = runZorbel(folder, "--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("--capture"), std::string::npos);
    EXPECT_EQ(runZorbel(folder, "--version").status, 0);
    fs::remove_all(folder);
}

TEST(CaptureOptions, AMissingDataFileStopsBeforeAnythingIsShown) {
    const fs::path folder = makeScratch("missing");
    fs::remove(folder / "Data/font.raw");
    const Result result = runZorbel(folder, "--capture out --no-audio");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output.rfind("Error Failed To Load Data/font.raw\n", 0), 0u) << result.output;
    EXPECT_NE(result.output.find(folder.string()), std::string::npos) << "names the folder searched";
    fs::remove_all(folder);
}

}  // namespace
