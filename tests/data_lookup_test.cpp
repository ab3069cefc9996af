// Finding the data: the folders tried in order, past a Data/ that lacks the files, and a data
// file that is no regular file reported like a missing one, not hung on or read as zeros.
#include <fstream>
#include <tuple>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "driver/data_files.h"
#include "harness.h"
#include "platform/system/files.h"

namespace {

using namespace harness;

TEST(DataLookup, AnExplicitChoiceIsTheOnlyFolderTriedOtherwiseTheThreeDefaults) {
    using List = std::vector<std::string>;
    EXPECT_EQ(dataFolderCandidates("/d", "/env", "/work", "/usr/bin"), List{"/d"});
    EXPECT_EQ(dataFolderCandidates("", "/env", "/work", "/usr/bin"), List{"/env"});
    EXPECT_EQ(dataFolderCandidates("", "", "/work", "/usr/bin"),
              (List{"/work/Data", "/usr/bin/Data", "/usr/bin/../share/zorbel/Data"}));
    EXPECT_EQ(dataFolderCandidates("", nullptr, "/work", ""), List{"/work/Data"});
}

// Runs a one-frame capture from `folder` with `environment` before the command.
Result captureFrom(const fs::path& folder, const std::string& environment, const std::string& arguments = "",
                   const fs::path& program = zorbel) {
    return runShell("cd " + quoted(folder) + " && env -u ZORBEL_DATA " + environment + " timeout 20 " + quoted(program) +
                    " --capture out --to 0 --no-audio " + arguments + " </dev/null");
}

TEST(DataLookup, DataDirAndZorbelDataChooseTheFolderAndADecoyDoesNotHideIt) {
    const fs::path folder = makeScratch("lookup");
    fs::rename(folder / "Data", folder / "pictures");
    fs::create_directories(folder / "Data");  // a decoy with none of the files
    harness::writeFile(folder / "Data/font.raw", blockFont());

    Result result = captureFrom(folder, "");
    EXPECT_EQ(result.status, 1);
    // The fixed line on standard output first, then every folder tried, each with what it lacks.
    EXPECT_EQ(result.output.rfind("Error Failed To Load Data/intro.raw\n", 0), 0u) << result.output;
    for (const std::string& tried : {"  " + (folder / "Data").string() + " (no usable intro.raw)\n",
                                     std::string(ZORBEL_BINARY_DIR "/Data (no such folder)\n"),
                                     std::string(ZORBEL_BINARY_DIR "/../share/zorbel/Data (no such folder)\n")})
        EXPECT_NE(result.output.find(tried), std::string::npos) << result.output;

    result = captureFrom(folder, "", "--data pictures");
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(readPng(folder / "out/frame-000000.png").width, 80);
    fs::remove_all(folder / "out");
    result = captureFrom(folder, "ZORBEL_DATA=pictures");
    EXPECT_EQ(result.status, 0) << result.output;
    fs::remove_all(folder);
}

// An installed copy: the program in prefix/bin, its data in prefix/share/zorbel/Data, run
// from a folder whose own Data/ holds something else.
TEST(DataLookup, AnUnrelatedDataFolderDoesNotHideTheInstalledData) {
    const fs::path folder = makeScratch("installed");
    for (const char* made : {"prefix/bin", "prefix/share/zorbel", "work/Data"}) fs::create_directories(folder / made);
    fs::rename(folder / "Data", folder / "prefix/share/zorbel/Data");
    fs::copy_file(zorbel, folder / "prefix/bin/zorbel");
    std::ofstream(folder / "work/Data/notes.txt") << "not the demo's";
    const Result result = captureFrom(folder / "work", "", "", folder / "prefix/bin/zorbel");
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(readPng(folder / "work/out/frame-000000.png").width, 80);
    fs::remove_all(folder);
}

// The read itself refuses what is no regular file: the file may change after the lookup.
TEST(DataLookup, TheReadRefusesWhatIsNoRegularFile) {
    uint8_t buffer[16];
    size_t bytesRead = 0;
    for (const char* path : {"/dev/zero", "/tmp"}) {
        std::string reason;
        EXPECT_FALSE(readRegularFile(path, buffer, sizeof buffer, bytesRead, reason)) << path;
        EXPECT_EQ(reason, "not a regular file") << path;
    }
}

TEST(DataLookup, ADataFileThatIsNoRegularFileIsReportedLikeAMissingOne) {
    const fs::path folder = makeScratch("irregular");
    fs::create_directories(folder / "Data/folder");
    ASSERT_EQ(::mkfifo((folder / "Data/fifo").c_str(), 0600), 0);
    for (const char* target : {"folder", "fifo", "/dev/null", "/dev/zero"}) {
        fs::remove(folder / "Data/intro2.raw");
        fs::create_symlink(target, folder / "Data/intro2.raw");
        const Result result = captureFrom(folder, "");
        EXPECT_EQ(std::tuple(result.status, result.output.rfind("Error Failed To Load Data/intro2.raw\n", 0)),
                  std::tuple(1, 0u)) << target << ": " << result.output;
    }
    fs::remove_all(folder);
}

}  // namespace
