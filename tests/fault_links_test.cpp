// The real program's output files against what others put in their way: links, a name in use, a second run,
// a name that reads as a URL, a second signal, a FIFO for the music.
#include <set>
#include <tuple>

#include <gtest/gtest.h>

#include "harness.h"

namespace {

using namespace harness;

const std::string data = " --data '" ZORBEL_SOURCE_DIR "/Data'";

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

int partialFiles(const fs::path& folder) {
    int count = 0;
    for (const auto& name : namesIn(folder)) count += name.find("partial") != std::string::npos;
    return count;
}

// Links planted under every name the program once wrote through leave their targets as they were.
TEST(FaultLinks, PlantedLinksAreNeverWrittenThrough) {
    const fs::path folder = freshFolder("links");
    fs::create_directories(folder / "outside");
    fs::create_directories(folder / "cf");
    std::ofstream(folder / "outside/precious") << "precious";
    for (const char* name : {"cf/frames.csv.partial", "cf/audio.wav.partial", "cf/frame-000060.png.partial", "v.mp4.partial"})
        fs::create_symlink(fs::absolute(folder / "outside/precious"), folder / name);
    const Result capture = runZorbel(folder, "--capture cf --from 1 --to 1.02 --scale 1" + data);
    const Result video = runZorbel(folder, "--video v.mp4 --from 1 --to 1.02 --scale 1" + data);
    EXPECT_EQ(std::tuple(capture.status, video.status, readText(folder / "outside/precious")), std::tuple(0, 0, "precious"))
        << capture.output << video.output;
    EXPECT_TRUE(fs::is_regular_file(folder / "cf/frames.csv") && fs::is_regular_file(folder / "cf/audio.wav") &&
                fs::is_regular_file(folder / "cf/frame-000060.png") && fs::is_regular_file(folder / "v.mp4"));
    // The planted names are the user's: nothing removes them, and no temporary file of the runs stays.
    EXPECT_EQ(partialFiles(folder / "cf"), 3);
    EXPECT_EQ(partialFiles(folder), 1);
}

// A video name is a file name, whatever FFmpeg would make of it; an existing file is replaced only when forced.
TEST(FaultLinks, AVideoNameIsAlwaysAFileAndAFileInItsWayIsKeptUnlessForced) {
    const fs::path folder = freshFolder("video-names");
    for (const char* name : {"pipe:1.mkv", "file:x.mp4", "take:2.mp4"}) {
        const Result run = runShell("cd " + quoted(folder) + " && '" + zorbel + "' --video '" + name +
                                    "' --from 1 --to 1.02 --scale 1" + data + " </dev/null 2>/dev/null | wc -c");
        EXPECT_EQ(run.output, "0\n") << name << ": written to standard output";
        EXPECT_GT(fs::file_size(folder / name), 1000u) << name;
    }
    EXPECT_EQ(namesIn(folder), (std::set<std::string>{"pipe:1.mkv", "file:x.mp4", "take:2.mp4"}));

    std::ofstream(folder / "mine.mp4") << "mine";
    Result run = runZorbel(folder, "--video mine.mp4 --from 1 --to 1.02 --scale 1" + data);
    EXPECT_EQ(std::tuple(run.status, run.output, readText(folder / "mine.mp4")),
              std::tuple(2, "zorbel: --video: mine.mp4 already exists; add --force to replace it\n", "mine"));
    run = runZorbel(folder, "--video mine.mp4 --from 1 --to 1.02 --scale 1 --force" + data);
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_GT(fs::file_size(folder / "mine.mp4"), 1000u);
    // A missing folder is made, as for --capture.
    run = runZorbel(folder, "--video new/deeper/v.webm --from 1 --to 1.02 --scale 1" + data);
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(fs::is_regular_file(folder / "new/deeper/v.webm"));
}

// Two runs onto one name each write a file of their own; the one left under the name is whole.
TEST(FaultLinks, TwoRunsOntoOneVideoNeverShareAFile) {
    const fs::path folder = freshFolder("video-twice");
    const std::string run = "'" + zorbel + "' --video same.mkv --force --from 1 --to 3 --scale 2" + data + " </dev/null";
    const Result both = runShell("cd " + quoted(folder) + " && { " + run + " & " + run + " & wait %1; a=$?; wait %2; echo $a $?; }");
    EXPECT_NE(both.output.find("0 0\n"), std::string::npos) << both.output;
    EXPECT_EQ(namesIn(folder), std::set<std::string>{"same.mkv"});
    const Result probe = runShell("ffprobe -v error -count_frames -select_streams v -show_entries stream=nb_read_frames -of csv=p=0 " +
                                  quoted(folder / "same.mkv"));
    EXPECT_EQ(probe.output, "121\n");  // 1 s to 3 s at 60 frames a second
}

// A second signal during the clean-up (timeout signals the program, then its whole group) still removes every
// temporary file; one a killed run left is taken for a capture, and --force removes it.
TEST(FaultLinks, ASecondSignalHurriesTheCleanUpAndAKilledRunsLeftoversAreKnown) {
    const fs::path folder = freshFolder("twice");
    std::ofstream(folder / "audio.wav.partial") << "the user's own";
    const std::string capture = "'" + zorbel + "' --capture " + quoted(folder) + " --from 10 --to 200 --scale 4 " + data + " </dev/null";
    for (const auto& [second, status] : {std::pair{"TERM", "143"}, std::pair{"INT", "130"}, std::pair{"HUP", "129"}}) {
        const Result run = runShell(capture + " & pid=$!; sleep 1.5; kill -INT $pid; kill -" + second + " $pid; wait $pid; echo status=$?", 60);
        // Either signal may be taken first (the writer threads take signals too): the program ends by that one.
        EXPECT_TRUE(run.output.find("status=130") != std::string::npos || run.output.find(std::string("status=") + status) != std::string::npos)
            << run.output;
        EXPECT_EQ(partialFiles(folder), 1) << second;  // only the user's own file
        EXPECT_EQ(readText(folder / "audio.wav.partial"), "the user's own");
        for (const auto& name : namesIn(folder))
            if (name.rfind("frame-", 0) == 0) fs::remove(folder / name);  // finished pictures stay; ready for the next
    }
    // A video stopped twice is abandoned and removed rather than finished.
    const fs::path videos = freshFolder("twice-video");
    const Result video = runShell("cd " + quoted(videos) + " && { '" + zorbel + "' --video v.mkv --scale 4" + data +
                                  " </dev/null & pid=$!; sleep 1.5; kill -INT $pid; kill -TERM $pid; wait $pid; echo status=$?; }", 60);
    EXPECT_TRUE(video.output.find("zorbel: interrupted: v.mkv not written\n") != std::string::npos &&
                video.output.find("status=1") != std::string::npos) << video.output;
    EXPECT_TRUE(namesIn(videos).empty());

    const Result killed = runShell(capture + " & pid=$!; while ! ls " + quoted(folder) + " | grep -q 'frames.csv.*partial'; do sleep 0.05; done;"
                                   " kill -KILL $pid; wait $pid; echo status=$?", 60);
    EXPECT_NE(killed.output.find("status=137"), std::string::npos) << killed.output;
    ASSERT_GE(partialFiles(folder), 2);
    Result again = runShell(capture, 60);
    EXPECT_EQ(again.status, 2);
    EXPECT_NE(again.output.find("already holds a capture"), std::string::npos) << again.output;
    again = runShell("'" + zorbel + "' --capture " + quoted(folder) + " --force --from 10 --to 10 --no-audio" + data + " </dev/null", 60);
    EXPECT_EQ(again.status, 0) << again.output;
    EXPECT_EQ(namesIn(folder), (std::set<std::string>{"audio.wav.partial", "frame-000600.png", "frames.csv"}));
}

// Music that is a FIFO is turned down at once, in one line, and the show goes on without it.
TEST(FaultFiles, AFifoForTheMusicIsTurnedDownAtOnce) {
    const fs::path folder = freshFolder("fifo");
    fs::create_directory(folder / "Data");
    for (const auto& entry : fs::directory_iterator(ZORBEL_SOURCE_DIR "/Data"))
        if (entry.path().filename() != "QUABTUNE.xm") fs::create_symlink(entry.path(), folder / "Data" / entry.path().filename());
    ASSERT_EQ(::mkfifo((folder / "Data/QUABTUNE.xm").c_str(), 0600), 0);
    const Result capture = runZorbel(folder, "--capture out --from 0 --to 0.1 --scale 1", 10);
    EXPECT_EQ(capture.status, 0);
    EXPECT_NE(capture.output.find("QUABTUNE.xm: not a regular file; the show runs silently\n"), std::string::npos) << capture.output;
    // Live: the prompt comes, and a signal ends the program.
    const Result live = runShell("cd " + quoted(folder) + " && LANG=C.UTF-8 '" + zorbel +
                                     "' --force </dev/null >shown.txt 2>&1 & sleep 1.5; kill $!; wait $!; cat " + quoted(folder / "shown.txt"), 10);
    EXPECT_NE(live.output.find("not a regular file"), std::string::npos) << live.output;
    EXPECT_NE(live.output.find("Press any key"), std::string::npos) << live.output;
}

}  // namespace
