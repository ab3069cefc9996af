// A tiny XM module for the audio tests and benchmark: two channels, a 16-row pattern at speed 6, 125 BPM (1.92 s a pass),
// a looping 32-frame 16-bit sine at half scale. Row 0: C-3, C-2 (lowest bins); row 8: G-3 on channel 0; row 12: both off.
#pragma once

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace xm_fixture {

constexpr double passSeconds = 16 * 6 * 2.5 / 125;
constexpr double silentFromSeconds = 12 * 6 * 2.5 / 125;

// `panning`: the sample's, 0 on the left only, 255 on the right only. `silentIntro`: an empty pattern first, unlooped.
inline std::vector<uint8_t> makeModule(uint8_t panning = 128, bool silentIntro = false) {
    std::vector<uint8_t> out;
    auto text = [&](const std::string& value, size_t width) {
        for (size_t i = 0; i < width; ++i) out.push_back(i < value.size() ? value[i] : ' ');
    };
    auto bytes = [&](std::initializer_list<int> values) { out.insert(out.end(), values.begin(), values.end()); };
    auto word = [&](uint32_t value) { bytes({int(value & 0xFF), int(value >> 8 & 0xFF)}); };
    auto dword = [&](uint32_t value) { word(value & 0xFFFF), word(value >> 16); };

    text("Extended Module: ", 17), text("zorbel test", 20), bytes({0x1A}), text("FastTracker v2.00", 20);
    word(0x0104), dword(276);
    const int orders = silentIntro ? 2 : 1;  // length, restart, channels, patterns,
    for (int value : {orders, orders - 1, 2, orders, 1, 1, 6, 125}) word(value);  // instruments,
    out.resize(out.size() + 256);  // linear table, speed, BPM; order table
    if (silentIntro) out[out.size() - 256] = 1;

    std::vector<uint8_t> cells;
    for (int row = 0; row < 16; ++row)
        for (int channel = 0; channel < 2; ++channel) {
            int note = row == 0 ? (channel == 0 ? 37 : 25) : row == 8 && channel == 0 ? 44 : row == 12 ? 97 : 0;
            if (note == 0) cells.push_back(0x80);                      // empty
            else if (note == 97) cells.insert(cells.end(), {0x81, 97});  // key off
            else cells.insert(cells.end(), {0x83, uint8_t(note), 1});    // note, instrument 1
        }
    dword(9), bytes({0}), word(16), word(uint32_t(cells.size()));
    out.insert(out.end(), cells.begin(), cells.end());
    if (silentIntro) dword(9), bytes({0}), word(16), word(0);  // pattern 1: 16 empty rows

    const int frames = 32;  // one cycle: C-4 sounds at concert pitch
    dword(263), text("sine", 22), bytes({0}), word(1), dword(40);
    out.resize(out.size() + 96 + 48 + 48 + 16 + 22);  // note map, envelopes, settings, reserved
    dword(2 * frames), dword(0), dword(2 * frames);   // length, loop start, loop length (bytes)
    bytes({64, 0, 0x11, panning, 0, 0}), text("sine", 22);  // forward loop, 16-bit
    int16_t previous = 0;
    for (int n = 0; n < frames; ++n) {  // stored as deltas
        auto value = int16_t(std::lround(16384.0 * std::sin(2.0 * M_PI * n / frames)));
        word(uint16_t(int16_t(value - previous)));
        previous = value;
    }
    return out;
}

// Eight channels playing one full-scale square wave: the mix goes well beyond full scale, both ways.
inline std::vector<uint8_t> makeLoudModule() {
    const std::vector<uint8_t> quiet = makeModule();
    constexpr size_t channelsAt = 68, patternAt = 336, cellsAt = patternAt + 9;  // in the file header; the pattern's
    const int channels = 8;
    std::vector<uint8_t> out(quiet.begin(), quiet.begin() + cellsAt - 2);  // up to the pattern's packed size
    out[channelsAt] = channels;
    std::vector<uint8_t> cells;
    for (int row = 0; row < 16; ++row)
        for (int channel = 0; channel < channels; ++channel) {
            if (row == 0) cells.insert(cells.end(), {0x83, 37, 1});  // C-3, instrument 1
            else cells.push_back(0x80);
        }
    out.insert(out.end(), {uint8_t(cells.size() & 0xFF), uint8_t(cells.size() >> 8)});
    out.insert(out.end(), cells.begin(), cells.end());
    const size_t quietCells = quiet[cellsAt - 2] | quiet[cellsAt - 1] << 8;
    out.insert(out.end(), quiet.begin() + cellsAt + quietCells, quiet.end() - 64);  // the instrument, without its sine
    int16_t previous = 0;
    for (int n = 0; n < 32; ++n) {  // stored as deltas
        const int16_t value = n < 16 ? 32767 : -32767;
        const uint16_t delta = uint16_t(int16_t(value - previous));
        out.insert(out.end(), {uint8_t(delta & 0xFF), uint8_t(delta >> 8)});
        previous = value;
    }
    return out;
}

inline std::string writeTempFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::string path = (std::filesystem::temp_directory_path() / name).string();
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}

}  // namespace xm_fixture
