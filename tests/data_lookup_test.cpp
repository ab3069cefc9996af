// Finding the data: the folders tried in order, past a Data/ that lacks the files, and data that is no regular file.
#include <tuple>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "driver/data_files.h"
#include "harness.h"
#include "platform/system/files.h"

namespace {

using namespace harness;

Result captureFrom(const fs::path& folder, const std::string& environment, const std::string& arguments = "",
                   const fs::path& program = zorbel) {
    return runShell("cd " + quoted(folder) + " && env -u ZORBEL_DATA " + environment + " timeout 20 " + quoted(program) +
                    " --capture out --force --to 0 --no-audio " + arguments + " </dev/null");
}

// --data or ZORBEL_DATA alone, else three defaults: past a decoy Data/ (all tried reported) to prefix/share/zorbel/Data,
// or to the build's copy beside its program.
TEST(DataLookup, AChosenFolderAloneOtherwiseTheDefaultsPastADecoyToTheInstalledData) {
    using List = std::vector<std::string>;
    EXPECT_EQ(dataFolderCandidates("/d", "/env", "/work", "/usr/bin"), List{"/d"});
    EXPECT_EQ(dataFolderCandidates("", "/env", "/work", "/usr/bin"), List{"/env"});
    EXPECT_EQ(dataFolderCandidates("", "", "/work", "/usr/bin"),
              (List{"/work/Data", "/usr/bin/Data", "/usr/bin/../share/zorbel/Data"}));
    EXPECT_EQ(dataFolderCandidates("", nullptr, "/work", ""), List{"/work/Data"});

    const fs::path folder = makeScratch("lookup"), work = folder / "work", bare = folder / "bare";
    for (const char* made : {"prefix/bin", "prefix/share/zorbel", "work/Data", "bare/bin"}) fs::create_directories(folder / made);
    fs::rename(folder / "Data", folder / "prefix/share/zorbel/Data");
    fs::copy_file(zorbel, folder / "prefix/bin/zorbel");
    fs::copy_file(zorbel, bare / "bin/zorbel");  // a program with no data beside it
    harness::writeFile(work / "Data/font.raw", blockFont());  // a decoy with only the font

    // The fixed line on standard output first, then each folder and what it lacks.
    Result result = captureFrom(work, "", "", bare / "bin/zorbel");
    EXPECT_EQ(std::tuple(result.status, result.output.rfind("Error Failed To Load Data/intro.raw\n", 0)), std::tuple(1, 0u))
        << result.output;
    const std::string tried = "  " + (work / "Data").string() + " (no usable intro.raw)\n  " + (bare / "bin").string() +
                              "/Data (no such folder)\n  " + (bare / "bin").string() +
                              "/../share/zorbel/Data (no such folder)\n";
    EXPECT_NE(result.output.find(tried), std::string::npos) << result.output;

    // The build's own program finds the copy of Data/ the build puts beside it, from any folder.
    const struct { std::string environment, arguments; fs::path program; } runs[] = {
        {"", "--data ../prefix/share/zorbel/Data", zorbel}, {"ZORBEL_DATA=../prefix/share/zorbel/Data", "", zorbel},
        {"", "", folder / "prefix/bin/zorbel"}, {"", "", zorbel},
    };
    for (const auto& run : runs) {
        result = captureFrom(work, run.environment, run.arguments, run.program);
        EXPECT_EQ(result.status, 0) << run.program << " " << run.environment << run.arguments << ": " << result.output;
        EXPECT_EQ(readPng(work / "out/frame-000000.png").width, 80) << run.program;
    }
}

// Reported like a missing file, not hung on or read as zeros; the read refuses it too (it may change after the lookup).
TEST(DataLookup, ADataFileThatIsNoRegularFileIsReportedLikeAMissingOne) {
    const fs::path folder = makeScratch("irregular"), link = folder / "Data/intro2.raw";
    fs::create_directories(folder / "Data/folder");
    ASSERT_EQ(::mkfifo((folder / "Data/fifo").c_str(), 0600), 0);
    uint8_t buffer[16];
    size_t bytesRead = 0;
    for (const char* target : {"folder", "fifo", "/dev/null", "/dev/zero"}) {
        fs::remove(link);
        fs::create_symlink(target, link);
        std::string reason;
        const bool read = readRegularFile(link.string(), buffer, sizeof buffer, bytesRead, reason);
        const Result result = captureFrom(folder, "", "--data Data");  // not the build's copy beside the program
        const size_t missingAt = result.output.rfind("Error Failed To Load Data/intro2.raw\n", 0);
        EXPECT_EQ(std::tuple(result.status, missingAt, read, reason), std::tuple(1, 0u, false, "not a regular file"))
            << target << ": " << result.output;
    }
}

}  // namespace
