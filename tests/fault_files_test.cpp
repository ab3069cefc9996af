// The real program's files: a frame on the window's edge, a full disk, interruptions, a huge module, closed descriptors.
#include <cstdio>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "harness.h"
#include "platform/audio/music_engine.h"

namespace {

using namespace harness;

// A capture from the repository folder, so the real pictures and music are found.
std::string capture(const fs::path& out, const std::string& arguments) {
    return "cd '" ZORBEL_SOURCE_DIR "' && exec " + zorbel + " --capture " + quoted(out) + " " + arguments + " </dev/null";
}

std::set<std::string> filesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

TEST(FaultCapture, AFrameExactlyOnTheWindowIsWritten) {
    const struct { const char* fps; const char* time; const char* picture; } cases[] = {
        {"10", "0.1", "frame-000001.png"}, {"10", "0.3", "frame-000003.png"}, {"10", "1.7", "frame-000017.png"},
        {"10", "8.1", "frame-000081.png"}, {"10", "8.3", "frame-000083.png"}, {"20", "5.55", "frame-000111.png"},
        {"20", "100.05", "frame-002001.png"},
    };
    const fs::path folder = freshFolder("fault-window");
    for (const auto& c : cases) {
        const fs::path out = folder / (std::string(c.fps) + "-" + c.time);
        const auto run = runShell(capture(out, std::string("--no-audio --fps ") + c.fps + " --from " + c.time +
                                                     " --to " + c.time), 60);
        ASSERT_EQ(run.status, 0) << c.time << ": " << run.output;
        EXPECT_EQ(filesIn(out), (std::set<std::string>{c.picture, "frames.csv"})) << c.fps << " fps at " << c.time;
    }
}

// On a terminal the capture shows its progress in place, within an 80-column window: its speed against the show's,
// the time left, and at the end every frame of the window counted. A message after it starts a line of its own.
TEST(FaultCapture, ProgressOnATerminalAddsUpInPlaceAndEndsBeforeAMessage) {
    const fs::path out = freshFolder("progress");
    const auto run = runShell("script -qec \"stty cols 80; " +
                              capture(out, "--no-audio --from 0 --to 40 --fps 60 --scale 1") + "\" /dev/null", 60);
    EXPECT_NE(run.output.find("##] 2401/2401 frames, "), std::string::npos) << run.output;
    std::istringstream lines(run.output);
    int checked = 0;
    for (std::string line; std::getline(lines, line, '\r');) {
        if (line.rfind("[", 0) != 0) continue;
        EXPECT_LE(line.size(), 79u) << line;
        long done = 0, minutes = 0, seconds = 0;
        double rate = 0, realTime = 0;  // the rate is shown rounded to a whole frame a second
        if (std::sscanf(line.c_str(), "[%*[#.]] %ld/2401 frames, %lf frames/s, %lfx real time, %ld:%ld left", &done,
                        &rate, &realTime, &minutes, &seconds) != 5)
            continue;
        ++checked;
        EXPECT_GE(rate, 1) << line;
        EXPECT_NEAR(realTime, rate / 60, 0.06) << line;
        const long shown = minutes * 60 + seconds;
        EXPECT_TRUE(seconds < 60 && shown >= (2401 - done) / (rate + 0.5) - 0.5 && shown <= (2401 - done) / (rate - 0.5) + 0.5)
            << line;
    }
    EXPECT_GT(checked, 0) << run.output;

    // frames.csv outgrows a file size limit while the progress line is shown.
    const fs::path full = freshFolder("progress-full");
    const auto failed = runShell("script -qec \"ulimit -f 100; " + capture(full, "--fps 60 --from 259 --to 260 --no-audio") +
                                 "\" /dev/null", 60);
    const size_t message = failed.output.find("zorbel: cannot write");
    ASSERT_NE(message, std::string::npos) << failed.output;
    EXPECT_NE(failed.output.rfind("frames", message), std::string::npos) << "no progress before the message";
    EXPECT_EQ(failed.output[message - 1], '\n') << "the message continues the progress line: " << failed.output;
}

// A full disk (a file size limit; the program ignores SIGXFSZ): it names the file, fails, and leaves no cut file.
TEST(FaultCapture, AWriteThatFailsNamesTheFileAndLeavesNoCutFile) {
    const struct { const char* arguments; const char* blocks; const char* file; } cases[] = {  // blocks of 512 bytes
        {"--fps 10 --from 0 --to 2", "100", "audio.wav"},                  // 2 s of sound is 384 kB
        {"--fps 60 --from 259 --to 260 --no-audio", "100", "frames.csv"},  // 15,600 rows
        {"--from 0 --to 0 --scale 16 --no-audio", "2", "frame-000000.png"},
    };
    const fs::path folder = freshFolder("fault-full");
    for (const auto& c : cases) {
        const fs::path out = folder / c.file;
        const auto run = runShell(std::string("ulimit -f ") + c.blocks + "; " + capture(out, c.arguments), 60);
        EXPECT_GT(run.status, 0) << c.file;  // -1 when it hung
        EXPECT_NE(run.output.find((out / c.file).string()), std::string::npos) << c.file << ": " << run.output;
        for (const auto& name : filesIn(out))
            EXPECT_TRUE(name != c.file && name.find(".partial") == std::string::npos) << name;
    }
}

// A finished file that cannot take its name (a folder was made there meanwhile) fails the run.
TEST(FaultCapture, AFileThatCannotTakeItsNameFailsTheRun) {
    const fs::path out = freshFolder("fault-rename");
    const auto run = runShell(capture(out, "--no-audio --to 20 --scale 1") + " & pid=$!; while ! ls " +
                                  quoted(out) + " | grep -q '^frames.csv.*partial$'; do sleep 0.05; done; mkdir -p " +
                                  quoted(out / "frames.csv/x") + "; wait $pid; echo status=$?", 60);
    EXPECT_NE(run.output.find("cannot write " + (out / "frames.csv").string()), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("status=1"), std::string::npos) << run.output;
}

// An interrupted capture keeps only finished pictures, leaves no temporary file and ends of the signal.
TEST(FaultCapture, AnInterruptedCaptureStopsCleanly) {
    const std::string trailer("IEND\xae\x42\x60\x82", 8);
    const fs::path folder = freshFolder("fault-interrupt");
    for (const auto& [signal, status] : {std::pair{"INT", 130}, std::pair{"TERM", 143}, std::pair{"HUP", 129}}) {
        const fs::path out = folder / signal;
        const auto run = runShell(capture(out, "--scale 4") + " & pid=$!; sleep 1.5; kill -" + signal +
                                    " $pid; wait $pid; echo status=$?", 60);
        EXPECT_NE(run.output.find("status=" + std::to_string(status)), std::string::npos) << run.output;
        const std::set<std::string> names = filesIn(out);
        EXPECT_FALSE(names.empty()) << signal;
        for (const auto& name : names) {
            const std::string bytes = readText(out / name);
            EXPECT_TRUE(name.rfind("frame-", 0) == 0 && name.find(".partial") == std::string::npos &&
                        bytes.size() > trailer.size() && bytes.compare(bytes.size() - trailer.size(), 8, trailer) == 0)
                << name;
        }
    }
}

// The peak resident memory of this process so far, in kB.
long peakKilobytes() {
    const std::string status = readText("/proc/self/status");
    return std::stol(status.substr(status.find("VmHWM:") + 6));
}

TEST(FaultFiles, AnOversizedModuleIsTurnedDownWithoutBeingRead) {
    static const fs::path path = freshFolder("fault-huge") / "huge.xm";
    std::ofstream(path) << "Extended Module: ";
    fs::resize_file(path, 200L * 1024 * 1024);  // sparse: costs no disk
    int status = 0;
    runChild([] {  // in a child, so the peak is its own
        const long before = peakKilobytes();
        std::string reason;
        const bool loaded = loadModuleFile(path.c_str(), reason);
        const long grown = peakKilobytes() - before;
        _exit(!loaded && reason.find("too large") != std::string::npos && grown < 16 * 1024 ? 0 : 1);
    }, status);
    EXPECT_EQ(statusOf(status), 0) << "the module was read, or not turned down";
}

// Started with standard descriptors closed, the program opens them to /dev/null before its files take their numbers.
TEST(FaultFiles, ClosedStandardDescriptorsAreOpenedToDevNull) {
    const fs::path out = freshFolder("fault-closed") / "out";
    const auto run = runShell("cd '" ZORBEL_SOURCE_DIR "' && { " + zorbel + " --capture " + quoted(out) +
                              " --no-audio <&- >&- 2>&- & pid=$!;"
                              // Until the program has opened /dev/null (before, descriptor 2 is still the pipe).
                              " for i in $(seq 100); do [ /proc/$pid/fd/2 -ef /dev/null ] && break; sleep 0.1; done;"
                              " readlink /proc/$pid/fd/0 /proc/$pid/fd/1 /proc/$pid/fd/2; kill $pid; }", 60);
    EXPECT_EQ(run.output, "/dev/null\n/dev/null\n/dev/null\n");
}

}  // namespace
