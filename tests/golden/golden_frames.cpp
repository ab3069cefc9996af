// Golden frames: the show captured for two data sets at two frame rates, some frames of each checked against frames.txt;
// the checksum of every frame of one capture is kept in frame-sums.txt for the web build's test.
// `capture` runs the fixture, `record` rewrites frames.txt, no argument checks; decoded pixels are summed: any zlib agrees.
#include <algorithm>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <thread>

#include <gtest/gtest.h>

#include "../harness.h"

namespace {

using namespace harness;

const fs::path captureRoot = ZORBEL_BINARY_DIR "/golden-capture";
const fs::path goldenFile = ZORBEL_SOURCE_DIR "/tests/golden/frames.txt";

const char* const dataSets[] = {"shipped", "synthetic"};
const int frameRates[] = {60, 24};

const std::string soundSet = "shipped";  // the capture whose audio.wav is checked whole
const int soundRate = 60;

// The scenes, each owning demo times from `from` up to the next one's. The first picture waits until after
// 7 s; the cubes of the ripple (after 66 s) and the star field (after 180 s) are checked at their bounds.
const struct SceneSpan { const char* name; double from; } scenes[] = {
    {"fade", 0},      {"picture1", 7},  {"picture2", 15}, {"picture3", 22}, {"picture4", 30},
    {"wavy", 37},     {"ripple", 63},   {"plasma", 96},   {"stars", 154},   {"closing", 210}, {"end", 260},
};

std::string sceneAt(double demoTime) {
    std::string name = scenes[0].name;
    for (const SceneSpan& scene : scenes)
        if (demoTime > scene.from || (demoTime == scene.from && scene.from != 7)) name = scene.name;
    return name;
}

// Moments inside the scenes, and the bounds, where the frame before, at and after are kept.
const double insideMoments[] = {0,   0.5, 3.5, 11,  18.5, 26,  33.5, 45,  55,    70, 85,
                                110, 125, 140, 160, 190,  200, 220,  240, 259.5, 260};
const double bounds[] = {7, 15, 22, 30, 37, 63, 66, 96, 154, 180, 210};

uint64_t fnv1a(const void* bytes, size_t size, uint64_t hash = 0xcbf29ce484222325ull) {
    for (size_t i = 0; i < size; ++i) hash = (hash ^ static_cast<const uint8_t*>(bytes)[i]) * 0x100000001b3ull;
    return hash;
}

template <typename... Values> std::string format(const char* pattern, Values... values) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

std::string hex(uint64_t value) { return format("%016llx", static_cast<unsigned long long>(value)); }

std::string fileChecksum(const std::string& bytes) { return hex(fnv1a(bytes.data(), bytes.size())); }

// The decoded picture's size and pixels; "missing" when it cannot be read.
std::string pictureChecksum(const fs::path& path) {
    const Image image = readPng(path);
    if (image.rgb.empty()) return "missing";
    const int32_t size[2] = {image.width, image.height};
    return hex(fnv1a(image.rgb.data(), image.rgb.size(), fnv1a(size, sizeof size)));
}

fs::path captureFolder(const std::string& dataSet, int fps) { return captureRoot / dataSet / std::to_string(fps); }

std::string frameName(long frame) { return format("frame-%06ld.png", frame); }

// ---- Synthetic data: pictures whose neighbouring bytes all differ, glyphs 32-255 each with its own ink.

std::vector<uint8_t> syntheticPicture(int index) {
    std::vector<uint8_t> bytes(24000);
    for (int i = 0; i < 24000; ++i) {
        const int plane = i / 8000, y = i % 8000 / 80, x = i % 80;
        bytes[i] = static_cast<uint8_t>(x * 29 + y * 7 + plane * 85 + index * 53 + (x * y) % 11 * 17);
    }
    return bytes;
}

std::vector<uint8_t> syntheticFont() {
    constexpr int width = 256, height = 250;
    std::vector<uint8_t> bytes(3 * width * height);
    for (int code = 32; code < 256; ++code)
        for (int row = 0; row < 16; ++row)
            for (int column = 0; column < 16; ++column) {
                const int y = 16 * (code / 16) + row, x = 16 * (code % 16) + column;
                if ((column * 5 + row * 3 + code) % 7 >= 3 || y >= height) continue;
                const int plane = (column + 2 * row + code) % 3;
                bytes[plane * width * height + y * width + x] = static_cast<uint8_t>(1 + (code + column * row) % 255);
            }
    return bytes;
}

void writeDataSet(const std::string& name, const fs::path& data) {
    fs::create_directories(data);
    const char* files[] = {"intro.raw", "intro2.raw", "intro3.raw", "intro4.raw", "font.raw", "QUABTUNE.xm"};
    for (int i = 0; i < 6; ++i)
        if (name == "shipped")
            fs::copy_file(fs::path(ZORBEL_SOURCE_DIR "/Data") / files[i], data / files[i], fs::copy_options::overwrite_existing);
        else if (i < 5)  // no music
            writeFile(data / files[i], i < 4 ? syntheticPicture(i) : syntheticFont());
}

// Scene, data set, frames per second, frame (or "-" for a whole file), checksum, frames.csv row (or the size).
std::string goldenLine(const std::string& scene, const std::string& dataSet, int fps, const std::string& frame,
                       const std::string& checksum, const std::string& detail) {
    return scene + " " + dataSet + " " + std::to_string(fps) + " " + frame + " " + checksum + " " + detail;
}

std::string sceneOf(const std::string& line) { return line.substr(0, line.find(' ')); }

// The lines of a file after the first `skip`, but for blank lines and comments.
std::vector<std::string> readLines(const fs::path& path, size_t skip = 0) {
    std::vector<std::string> lines;
    std::ifstream stream(path);
    for (std::string text; std::getline(stream, text);)
        if (!text.empty() && text[0] != '#') lines.push_back(text);
    lines.erase(lines.begin(), lines.begin() + std::min(skip, lines.size()));
    return lines;
}


// The third field of a frames.csv row.
double demoTimeOf(const std::string& row) { return std::atof(row.c_str() + row.find(',', row.find(',') + 1) + 1); }

// The frames kept: the first at or after each inside moment (or the last), and those around each bound.
std::set<long> chosenFrames(const std::vector<std::string>& rows) {
    std::set<long> frames;
    const long count = static_cast<long>(rows.size());
    auto firstAtOrAfter = [&](double seconds) {
        long frame = 0;
        while (frame < count && demoTimeOf(rows[frame]) < seconds) ++frame;
        return std::min(frame, count - 1);
    };
    for (double moment : insideMoments) frames.insert(firstAtOrAfter(moment));
    for (double bound : bounds)
        for (long frame : {firstAtOrAfter(bound) - 1, firstAtOrAfter(bound), firstAtOrAfter(bound) + 1})
            if (frame >= 0 && frame < count) frames.insert(frame);
    return frames;
}

// What the captures hold now, as golden lines.
std::vector<std::string> currentLines() {
    std::vector<std::string> lines;
    for (const char* dataSet : dataSets)
        for (int fps : frameRates) {
            const fs::path folder = captureFolder(dataSet, fps);
            const std::vector<std::string> rows = readLines(folder / "frames.csv", 1);  // by frame number
            if (rows.empty()) continue;  // no capture: every line of it is missing
            for (long frame : chosenFrames(rows))
                lines.push_back(goldenLine(sceneAt(demoTimeOf(rows[frame])), dataSet, fps, std::to_string(frame),
                                           pictureChecksum(folder / frameName(frame)), rows[frame]));
            lines.push_back(goldenLine("table", dataSet, fps, "-", fileChecksum(readText(folder / "frames.csv")),
                                       std::to_string(rows.size()) + "-rows"));
        }
    const std::string sound = readText(captureFolder(soundSet, soundRate) / "sound.wav");
    lines.push_back(
        goldenLine("audio", soundSet, soundRate, "-", fileChecksum(sound), std::to_string(sound.size()) + "-bytes"));
    return lines;
}

// ---- capture: the fixture.

// Captures one data set at one frame rate; returns what went wrong, or "".
std::string captureOne(const std::string& dataSet, int fps) {
    const fs::path folder = captureFolder(dataSet, fps);
    fs::remove_all(folder);
    writeDataSet(dataSet, folder / "Data");
    const std::string arguments = "--capture out --from 0 --to 260 --scale 1 --fps " + std::to_string(fps);
    const Result result = runZorbel(folder, arguments + (dataSet == soundSet ? "" : " --no-audio"), 900);
    if (result.status != 0)
        return dataSet + " at " + std::to_string(fps) + " fps: status " + std::to_string(result.status) + "\n" + result.output;
    // The checksum of every frame of the shipped show at 60 fps, which the web build's frames must match.
    if (dataSet == soundSet && fps == soundRate) {
        std::ofstream sums(folder / "frame-sums.txt");
        const long frames = static_cast<long>(readLines(folder / "out/frames.csv", 1).size());
        for (long frame = 0; frame < frames; ++frame)
            sums << frame << " " << pictureChecksum(folder / "out" / frameName(frame)) << "\n";
        if (!sums) return "cannot write " + (folder / "frame-sums.txt").string();
    }
    // Keep frames.csv, the chosen frames and, only where it is checked, the sound (50 MB) as sound.wav.
    std::set<std::string> keepNames{"frames.csv"};
    for (long frame : chosenFrames(readLines(folder / "out/frames.csv", 1))) keepNames.insert(frameName(frame));
    std::error_code missing;  // a chosen frame that was not written shows as "missing" in the checks
    for (const std::string& name : keepNames) fs::rename(folder / "out" / name, folder / name, missing);
    if (dataSet == soundSet && fps == soundRate) fs::rename(folder / "out/audio.wav", folder / "sound.wav");
    fs::remove_all(folder / "out");
    return "";
}

int captureAll() {
    int status = 0;
    // Both data sets at once, one frame rate at a time: each capture keeps one core busy.
    for (int fps : frameRates) {
        std::string failures[2];
        std::thread second([&] { failures[1] = captureOne(dataSets[1], fps); });
        failures[0] = captureOne(dataSets[0], fps);
        second.join();
        for (const std::string& failure : failures)
            if (!failure.empty()) std::cerr << "capture failed: " << failure << "\n", status = 1;
    }
    return status;
}

// ---- record: rewrite the golden file, saying how many lines are new or different per scene.

int record() {
    const std::vector<std::string> before = readLines(goldenFile), after = currentLines();
    std::map<std::string, int> changed;  // per scene: lines new or different
    for (const std::string& line : after)
        changed[sceneOf(line)] += std::find(before.begin(), before.end(), line) == before.end();

    std::ofstream stream(goldenFile);
    stream << "# Golden frames: scene, data set, frames per second, frame, checksum of the decoded pixels\n"
              "# (or of the whole file for table and audio), and the frame's frames.csv row (or the size).\n"
              "# Rewritten by ./dev goldens; review the diff.\n";
    for (const std::string& line : after) stream << line << "\n";
    if (!stream) return std::cerr << "cannot write " << goldenFile << "\n", 1;
    for (const auto& [scene, count] : changed) std::printf("%-10s %d lines changed\n", scene.c_str(), count);
    return 0;
}

class GoldenScene : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenScene, MatchesTheRecordedFrames) {
    static const std::vector<std::string> current = currentLines();  // the captures, read once for all scenes
    std::vector<std::string> golden, captured;
    for (const std::string& line : readLines(goldenFile))
        if (sceneOf(line) == GetParam()) golden.push_back(line);
    for (const std::string& line : current)
        if (sceneOf(line) == GetParam()) captured.push_back(line);
    ASSERT_FALSE(golden.empty()) << "no golden lines for " << GetParam() << "; run ./dev goldens";
    EXPECT_EQ(captured, golden) << "lines: scene, data set, fps, frame, checksum, frames.csv row";
}

std::vector<std::string> checkedScenes() {
    std::vector<std::string> names{"table", "audio"};
    for (const SceneSpan& scene : scenes) names.push_back(scene.name);
    return names;
}

INSTANTIATE_TEST_SUITE_P(Show, GoldenScene, ::testing::ValuesIn(checkedScenes()),
                         [](const auto& info) { return info.param; });

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "capture") == 0) return captureAll();
    if (argc == 2 && std::strcmp(argv[1], "record") == 0) return record();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
