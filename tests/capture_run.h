// Runs the real zorbel binary in a scratch folder with made-up data, and reads its captures.
#pragma once

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <png.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace capture_run {

namespace fs = std::filesystem;

// Returned for a pixel outside the picture: no RGB colour has this value.
constexpr uint32_t noPixel = 0xFF000000;

struct Image {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    // A missing or short picture fails the test and reads as noPixel, instead of reading
    // past the buffer.
    uint32_t pixel(int x, int y) const {
        const size_t offset = (static_cast<size_t>(y) * width + x) * 3;
        if (x < 0 || y < 0 || x >= width || y >= height || offset + 3 > rgb.size()) {
            ADD_FAILURE() << "pixel (" << x << ", " << y << ") is outside the " << width << " x " << height
                          << " picture";
            return noPixel;
        }
        const uint8_t* p = &rgb[offset];
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
    bool timedOut = false;
};

// Runs a shell command in a process group of its own; standard output and standard error
// together, and the exit status. A command still running after `seconds` is killed with
// its whole group, fails the calling test and reports status -1.
inline Result runShell(const std::string& command, double seconds = 120) {
    Result result{-1, ""};
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return result;
    const pid_t child = ::fork();
    if (child < 0) return result;
    if (child == 0) {
        ::setpgid(0, 0);
        ::dup2(pipeEnds[1], STDOUT_FILENO);
        ::dup2(pipeEnds[1], STDERR_FILENO);
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::setpgid(child, child);  // also here, so the group exists before a kill
    ::close(pipeEnds[1]);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    char buffer[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.timedOut = true;
            break;
        }
        pollfd reader{pipeEnds[0], POLLIN, 0};
        const int ready = ::poll(&reader, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) continue;  // the deadline is checked above
        const ssize_t n = ::read(pipeEnds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // every writer has closed: the command is done
        result.output.append(buffer, static_cast<size_t>(n));
    }
    ::close(pipeEnds[0]);
    if (result.timedOut) ::kill(-child, SIGKILL);
    int status = 0;
    // The output is closed; the command itself may still be running (a detached writer
    // aside), so the deadline holds for the wait too.
    while (!result.timedOut) {
        const pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child) break;
        if (std::chrono::steady_clock::now() >= deadline) {
            result.timedOut = true;
            ::kill(-child, SIGKILL);
            break;
        }
        ::usleep(10000);
    }
    if (result.timedOut) {
        ::waitpid(child, &status, 0);
        ADD_FAILURE() << "killed after " << seconds << " s: " << command;
        return result;
    }
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

inline Result runZorbel(const fs::path& folder, const std::string& arguments, double seconds = 120) {
    return runShell("cd '" + folder.string() + "' && exec '" ZORBEL_BINARY_DIR "/zorbel' " + arguments + " </dev/null",
                    seconds);
}

}  // namespace capture_run
