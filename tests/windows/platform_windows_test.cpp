// The Windows platform files under Wine or Windows: output path, Unicode paths, the program's folder, frame pacing.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/system/clock.h"
#include "platform/system/files.h"
#include "platform/terminal/windows_console.h"

namespace {

namespace fs = std::filesystem;

TEST(ConsoleOutputPath, VariableWinsOtherwiseWhatTheConsoleAccepts) {
    const struct { const char* variable; bool accepted; ConsoleOutputPath expected; } cases[] = {
        {nullptr, true, ConsoleOutputPath::virtualTerminal}, {nullptr, false, ConsoleOutputPath::cells},
        {"cells", true, ConsoleOutputPath::cells},           {"vt", false, ConsoleOutputPath::virtualTerminal},
        {"", true, ConsoleOutputPath::virtualTerminal},      {"VT", false, ConsoleOutputPath::cells},
    };
    for (const auto& c : cases)
        EXPECT_EQ(chooseOutputPath(c.variable, c.accepted), c.expected)
            << (c.variable ? c.variable : "(unset)") << " accepted=" << c.accepted;
}

// Folder names from several scripts: fopen, as the data loader and capture writer use it, reaches the same files
// with these UTF-8 strings; a folder lists bare names, as the capture-folder check compares them.
TEST(UnicodePaths, FoldersMadeFoundAndFilesOpenedByTheirUtf8Names) {
    const std::string base = (fs::temp_directory_path() / "zorbel-unicode").u8string();
    const char* names[] = {"plain", u8"\u00fcml\u00e4ut", u8"\u65e5\u672c\u8a9e", u8"\u0394\u03b5\u03bb\u03c4\u03b1 \U0001F3B5"};
    for (const char* name : names) {
        const std::string folder = base + "/" + name + "/Data";
        std::string reason;
        ASSERT_TRUE(makeDirectories(folder, reason)) << name << ": " << reason;
        EXPECT_TRUE(directoryExists(folder)) << name;
        EXPECT_FALSE(directoryExists(folder + "/missing")) << name;
        EXPECT_EQ(folderEntries(base + "/" + name), std::vector<std::string>{"Data"}) << name;

        const std::string file = folder + "/probe.raw";
        std::FILE* out = std::fopen(file.c_str(), "wb");
        ASSERT_NE(out, nullptr) << name;
        std::fputs(name, out);
        std::fclose(out);
        std::ifstream in(fs::u8path(file));  // by the UTF-16 name, so a file written under a mangled name fails
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), name);
    }
    fs::remove_all(fs::u8path(base));
}

TEST(UnicodePaths, MakingAFolderWhereAFileIsFailsWithAReason) {
    const fs::path file = fs::temp_directory_path() / "zorbel-not-a-folder";
    ASSERT_TRUE(std::ofstream(file).good());
    std::string reason;
    EXPECT_TRUE(!makeDirectories(file.u8string(), reason) && !reason.empty()) << reason;
    fs::remove(file);
}

// ctest runs the tests in the folder that holds them.
TEST(ExecutableDirectory, IsTheFolderHoldingTheTestProgram) {
    const std::string folder = executableDirectory();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(fs::exists(fs::u8path(folder) / "zorbel_tests.exe")) << folder;
    EXPECT_TRUE(fs::equivalent(fs::u8path(folder), fs::u8path(workingDirectory()))) << folder;
}

// Thirty frames of 16 ms must take about half a second; at the default 15.6 ms timer
// granularity each sleep lasts two timer periods and the run takes almost a second.
TEST(FrameClock, SixteenMillisecondSleepsHoldSixtyFramesASecond) {
    const uint32_t start = tickCount();
    for (int frame = 0; frame < 30; ++frame) sleepMilliseconds(16);
    const uint32_t elapsed = tickCount() - start;
    EXPECT_GE(elapsed, 30u * 16u - 2u);
    EXPECT_LT(elapsed, 800u);
}

}  // namespace
