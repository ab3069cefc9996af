// Shell commands, forked children and tmux servers under a deadline (a hang fails the test); made-up data, PNGs.
#pragma once

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <png.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace harness {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

inline const std::string zorbel = ZORBEL_BINARY_DIR "/zorbel";
inline std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }
inline int statusOf(int raw) { return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw); }
inline Clock::time_point deadlineIn(double seconds) {
    return Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

// Polls `check` for up to `seconds`; true as soon as it holds.
template <typename Check>
bool eventually(double seconds, Check check) {
    const auto end = deadlineIn(seconds);
    while (!check()) {
        if (Clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

// waitpid (`options` e.g. WUNTRACED) with a deadline, after which the child is killed and the test fails.
inline bool waitFor(pid_t child, int& status, int options = 0, double seconds = 30) {
    if (eventually(seconds, [&] { return ::waitpid(child, &status, options | WNOHANG) != 0; })) return true;
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
    ADD_FAILURE() << "child " << child << " killed after " << seconds << " s";
    return false;
}

// Reads `fd` until every writer has closed it or the deadline passes (then false).
inline bool readUntilClosed(int fd, Clock::time_point deadline, std::string& output) {
    char buffer[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return false;
        pollfd reader{fd, POLLIN, 0};
        if (::poll(&reader, 1, static_cast<int>(left)) <= 0) continue;
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return true;
        output.append(buffer, static_cast<size_t>(n));
    }
}

struct Result {
    int status = -1;     // exit status, or 128 + the signal that ended it; -1 when killed
    std::string output;  // standard output and standard error together
};

// Forks a child running `body`, standard output (a shell: also error, own group) on the pipe `reader` reads.
inline pid_t forkPiped(const std::function<void()>& body, bool shell, int& reader) {
    int pipeEnds[2];
    EXPECT_EQ(::pipe(pipeEnds), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        if (shell) ::setpgid(0, 0);
        ::dup2(pipeEnds[1], STDOUT_FILENO);
        if (shell) ::dup2(pipeEnds[1], STDERR_FILENO);
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        body();
        ::_exit(shell ? 127 : 0);
    }
    if (shell) ::setpgid(child, child);  // also here, so the group exists before a kill
    ::close(pipeEnds[1]);
    reader = pipeEnds[0];
    return child;
}

// Runs a shell command; a hang fails the test, and whatever is left running in its group is killed.
inline Result runShell(const std::string& command, double seconds = 120) {
    Result result;
    int reader = -1;
    const pid_t child = forkPiped(
        [&] { ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr)); }, true, reader);
    const auto deadline = deadlineIn(seconds);
    const bool closed = readUntilClosed(reader, deadline, result.output);
    ::close(reader);
    if (!closed) {
        ::kill(-child, SIGKILL);
        ADD_FAILURE() << "killed after " << seconds << " s: " << command;
    }
    int raw = 0;
    const double left = std::chrono::duration<double>(deadline - Clock::now()).count();
    const bool ended = waitFor(child, raw, 0, std::max(left, 1.0));
    ::kill(-child, SIGKILL);
    if (closed && ended) result.status = statusOf(raw);
    return result;
}

inline Result runZorbel(const fs::path& folder, const std::string& arguments, double seconds = 120) {
    return runShell("cd " + quoted(folder) + " && exec '" + zorbel + "' " + arguments + " </dev/null", seconds);
}

// Runs `body` in a forked child; returns what it wrote and sets its raw wait status.
inline std::string runChild(void (*body)(), int& status, double seconds = 30) {
    int reader = -1;
    const pid_t child = forkPiped(body, false, reader);
    std::string output;
    if (!readUntilClosed(reader, deadlineIn(seconds), output)) ::kill(child, SIGKILL);
    ::close(reader);
    waitFor(child, status, 0, seconds);
    return output;
}

// A tmux server of its own (also inside tmux) running a plain shell, without status line.
struct Tmux {
    explicit Tmux(const std::string& name)
        : prefix("env -u TMUX tmux -L zorbel-" + name + "-" + std::to_string(::getpid()) + " -f /dev/null ") {}
    ~Tmux() { run("kill-server"); }
    bool start(int columns = 80, int rows = 50) {
        const std::string size = "-x " + std::to_string(columns) + " -y " + std::to_string(rows);
        return runShell(prefix + "new-session -d -s z " + size + " 'PS1=\"$ \" sh'", 10).status == 0 &&
               run("set -g status off").empty();
    }
    std::string run(const std::string& arguments) const { return runShell(prefix + arguments, 10).output; }
    void keys(const std::string& arguments) const { run("send-keys -t z " + arguments); }
    std::string text() const { return run("capture-pane -p -J -t z"); }
    std::string pane() const { return run("capture-pane -p -e -t z"); }  // with colours
    bool shows(const std::string& part) const { return text().find(part) != std::string::npos; }
    std::string format(const std::string& variables) const { return run("display -p -t z '" + variables + "'"); }
    std::string modes() const { return format("#{cursor_flag} #{alternate_on}"); }  // "1 0\n": the shell has it

    const std::string prefix;  // the tmux command line for this server
};

// ---- Made-up data and PNG pictures.

struct Image {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;  // empty when the picture cannot be read
};

inline Image readPng(const fs::path& path) {
    png_image reader{};
    reader.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&reader, path.c_str())) return {};
    reader.format = PNG_FORMAT_RGB;
    Image image{static_cast<int>(reader.width), static_cast<int>(reader.height), std::vector<uint8_t>(PNG_IMAGE_SIZE(reader))};
    return png_image_finish_read(&reader, nullptr, image.rgb.data(), 0, nullptr) ? image : Image{};
}

inline void writeFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

inline std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
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

// The folders freshFolder made, removed when the test program ends (ctest runs each test in a program of its own).
inline struct MadeFolders {
    std::vector<fs::path> paths;
    ~MadeFolders() { for (const fs::path& path : paths) fs::remove_all(path, ignoredError); }
    std::error_code ignoredError;
} madeFolders;

// An empty folder of this name in the temp directory, made afresh.
inline fs::path freshFolder(const std::string& name) {
    const fs::path folder = fs::temp_directory_path() / ("zorbel-" + name + "-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    madeFolders.paths.push_back(folder);
    return folder;
}

// A scratch folder whose Data/ holds four flat pictures (red, green, blue, magenta) and the block font.
inline fs::path makeScratch(const std::string& name) {
    const fs::path folder = freshFolder(name);
    fs::create_directories(folder / "Data");
    const uint8_t colors[4][3] = {{200, 0, 0}, {0, 200, 0}, {0, 0, 200}, {200, 0, 200}};
    for (int picture = 0; picture < 4; ++picture) {
        std::vector<uint8_t> bytes(24000);
        for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = colors[picture][i / 8000];
        writeFile(folder / "Data" / ("intro" + (picture > 0 ? std::to_string(picture + 1) : "") + ".raw"), bytes);
    }
    writeFile(folder / "Data/font.raw", blockFont());
    return folder;
}

}  // namespace harness
