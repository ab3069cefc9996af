// Runs the real zorbel binary in a scratch folder with made-up data, and reads its captures.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <png.h>

namespace capture_run {

namespace fs = std::filesystem;

struct Image {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    uint32_t pixel(int x, int y) const {
        const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
        return (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
    }
};

inline Image readPng(const fs::path& path) {
    Image image;
    png_image reader{};
    reader.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&reader, path.c_str())) return image;
    reader.format = PNG_FORMAT_RGB;
    image.width = static_cast<int>(reader.width);
    image.height = static_cast<int>(reader.height);
    image.rgb.resize(PNG_IMAGE_SIZE(reader));
    if (!png_image_finish_read(&reader, nullptr, image.rgb.data(), 0, nullptr)) image = Image{};
    return image;
}

inline void writeFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// A picture of one colour.
inline std::vector<uint8_t> flatPicture(uint8_t r, uint8_t g, uint8_t b) {
    std::vector<uint8_t> bytes(24000);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = i < 8000 ? r : i < 16000 ? g : b;
    return bytes;
}

// A font whose printable glyphs are solid 8 x 12 blocks, so every letter is easy to find.
inline std::vector<uint8_t> blockFont() {
    std::vector<uint8_t> bytes(192000);
    for (int code = 33; code < 127; ++code)
        for (int row = 2; row < 14; ++row)
            for (int column = 0; column < 8; ++column)
                bytes[(16 * (code / 16) + row) * 256 + 16 * (code % 16) + column] = 255;
    return bytes;
}

// A scratch folder holding Data/ with four flat pictures (red, green, blue, magenta) and the block font.
inline fs::path makeScratch(const std::string& name) {
    const fs::path folder = fs::temp_directory_path() / ("zorbel-" + name + "-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder / "Data");
    writeFile(folder / "Data/intro.raw", flatPicture(200, 0, 0));
    writeFile(folder / "Data/intro2.raw", flatPicture(0, 200, 0));
    writeFile(folder / "Data/intro3.raw", flatPicture(0, 0, 200));
    writeFile(folder / "Data/intro4.raw", flatPicture(200, 0, 200));
    writeFile(folder / "Data/font.raw", blockFont());
    return folder;
}

struct Result {
    int status;
    std::string output;
};

// Runs a shell command; standard output and standard error together, and the exit status.
inline Result runShell(const std::string& command) {
    Result result{-1, ""};
    std::FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.output.append(buffer, n);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

inline Result runZorbel(const fs::path& folder, const std::string& arguments) {
    return runShell("cd '" + folder.string() + "' && '" ZORBEL_BINARY_DIR "/zorbel' " + arguments + " </dev/null");
}

}  // namespace capture_run
