// Every failing file call reported: the real program with its Nth open, write, close, fsync, rename or unlink of
// an output file failed (tests/shim/fail_nth.cpp), for every N a short run makes.
#include <map>
#include <set>

#include <gtest/gtest.h>

#include "harness.h"

namespace {

using namespace harness;

std::map<std::string, std::string> filesIn(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder)) files[entry.path().filename().string()] = readText(entry.path());
    return files;
}

// Runs zorbel with `arguments` (where OUT stands for the folder `out`), failing call `failAt` (0: none); the calls
// counted.
long runFailing(const fs::path& out, std::string arguments, long failAt, Result& result) {
    arguments.replace(arguments.find("OUT"), 3, quoted(out));
    fs::remove_all(out);
    fs::create_directories(out);
    const fs::path tally = out.parent_path() / "tally.txt";
    // In the sanitized build the shim comes before the sanitizer's runtime, which it then has to allow.
    result = runShell("cd '" ZORBEL_SOURCE_DIR "' && ASAN_OPTIONS=detect_leaks=0:verify_asan_link_order=0 LD_PRELOAD='"
                      ZORBEL_FAIL_SHIM "' ZORBEL_FAIL_UNDER=" + quoted(out) +
                          " ZORBEL_FAIL_AT=" + std::to_string(failAt) + " ZORBEL_FAIL_TALLY=" + quoted(tally) + " '" + zorbel +
                          "' " + arguments + " </dev/null",
                      30);
    return std::atol(readText(tally).c_str());
}

// Each failed run ends with status 1 and a message naming a file of `out`, and every file it leaves under a final
// name is the same as a clean run's; no temporary file stays.
void sweep(const std::string& name, const std::string& arguments) {
    const fs::path out = freshFolder("sweep-" + name) / "out";
    Result clean;
    const long calls = runFailing(out, arguments, 0, clean);
    ASSERT_EQ(clean.status, 0) << clean.output;
    ASSERT_GT(calls, 3) << "the shim counted nothing";
    const std::map<std::string, std::string> whole = filesIn(out);
    for (long failAt = 1; failAt <= calls; ++failAt) {
        SCOPED_TRACE(name + ", failing call " + std::to_string(failAt) + " of " + std::to_string(calls));
        Result failed;
        runFailing(out, arguments, failAt, failed);
        EXPECT_EQ(failed.status, 1) << failed.output;
        EXPECT_NE(failed.output.find("zorbel: cannot write " + out.string() + "/"), std::string::npos) << failed.output;
        for (const auto& [file, bytes] : filesIn(out)) {
            const auto kept = whole.find(file);
            EXPECT_TRUE(kept != whole.end() && kept->second == bytes) << file << " is not a clean run's file";
        }
    }
}

TEST(FaultSweep, EveryFailingFileCallOfACaptureIsReported) {
    sweep("pictures", "--capture OUT --no-audio --from 1 --to 1.05 --scale 1");
}

TEST(FaultSweep, EveryFailingFileCallOfACaptureWithSoundIsReported) {
    sweep("sound", "--capture OUT --from 1 --to 1.05 --scale 1");
}

TEST(FaultSweep, EveryFailingFileCallOfAVideoIsReported) {
    sweep("video", "--video OUT/v.mp4 --from 1 --to 1.05 --scale 1");
}

}  // namespace
