// The program on a terminal the test plays itself (a pty): the start-up questions cost
// at most their time bound when nothing answers, answers never count as keys, the
// palette a terminal reports is put back, and frames wait for the viewer's answers.
#include <pty.h>

#include <gtest/gtest.h>

#include "harness.h"

namespace {

using namespace harness;

const std::string askAttributes = "\x1b[c";
const std::string syncStart = "\x1b[?2026h";

// zorbel on a pty of 80 x 50 cells, as a terminal without COLORTERM runs it.
class PtyTerminal : public ::testing::Test {
protected:
    void start(const std::string& options) {
        winsize size{50, 80, 0, 0};
        child = forkpty(&master, nullptr, nullptr, &size);
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (const char* name : {"COLORTERM", "TMUX", "STY", "ZORBEL_COLORS"}) unsetenv(name);
            setenv("TERM", "xterm-256color", 1);
            setenv("LANG", "C.UTF-8", 1);
            const std::string command = "exec " + zorbel + " --no-audio --data " ZORBEL_SOURCE_DIR "/Data " + options;
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    void TearDown() override {
        if (child > 0 && ::waitpid(child, nullptr, WNOHANG) == 0) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
        }
        if (master >= 0) ::close(master);
    }
    // Reads what the program wrote for up to `seconds`, or until `part` shows after `from`.
    bool waitFor(const std::string& part, double seconds, size_t from = 0) {
        const auto end = deadlineIn(seconds);
        while (output.find(part, from) == std::string::npos) {
            if (Clock::now() >= end) return false;
            read(10);
        }
        return true;
    }
    void read(int milliseconds) {
        pollfd reader{master, POLLIN, 0};
        if (::poll(&reader, 1, milliseconds) <= 0) return;
        char bytes[65536];
        const ssize_t count = ::read(master, bytes, sizeof bytes);
        if (count > 0) output.append(bytes, static_cast<size_t>(count));
    }
    void readFor(int milliseconds) {
        const auto end = deadlineIn(milliseconds / 1000.0);
        while (Clock::now() < end) read(10);
    }
    void type(const std::string& bytes) { ASSERT_EQ(::write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size())); }
    int count(const std::string& part, size_t from = 0) const {
        int n = 0;
        for (size_t at = output.find(part, from); at != std::string::npos; at = output.find(part, at + 1)) ++n;
        return n;
    }
    bool running() { return ::waitpid(child, &status, WNOHANG) == 0; }

    pid_t child = -1;
    int master = -1;
    int status = 0;
    std::string output;
};

TEST_F(PtyTerminal, ATerminalThatAnswersNothingCostsTheTimeBoundOnce) {
    start("--start 24");
    ASSERT_TRUE(waitFor(askAttributes, 10)) << "no questions asked";
    const auto asked = Clock::now();
    ASSERT_TRUE(waitFor("Press any key to continue", 5)) << output;
    const double waited = std::chrono::duration<double>(Clock::now() - asked).count();
    EXPECT_GE(waited, 0.15) << "the answers were not waited for";
    EXPECT_LT(waited, 1.5) << "the questions held the prompt up";
    // No answer, no COLORTERM, 256 colours in TERM: the cube's colours.
    EXPECT_TRUE(waitFor("Colours: nearest of 256", 5)) << testing::PrintToString(output);
    type("x");
    ASSERT_TRUE(waitFor(syncStart, 5)) << "the key did not start the show";
    const size_t shown = output.size();
    readFor(1000);
    EXPECT_EQ(count(askAttributes, shown), 0) << "frames ask although the terminal never answers";
    EXPECT_NE(output.find("48;5;", shown), std::string::npos) << "not in the cube's colours";
    type("\x1b");  // Esc alone quits, once nothing followed it
    ASSERT_TRUE(eventually(5, [&] { return !running(); }));
    EXPECT_EQ(statusOf(status), 0);
}

TEST_F(PtyTerminal, AnswersAreNeverKeysAndTheReportedPaletteIsPutBack) {
    start("--start 64");  // the ripples: every frame differs
    ASSERT_TRUE(waitFor(askAttributes, 10));
    // A terminal that reports its palette (in one answer for entries 0 and 1, one each for the rest).
    std::string answers = "\x1b]4;0;rgb:0101/0202/0303;1;rgb:cdcd/0000/0000\x07";
    for (int entry = 2; entry < 16; ++entry) answers += "\x1b]4;" + std::to_string(entry) + ";rgb:12/34/56\x1b\\";
    type(answers + "\x1b[?62;22c");
    ASSERT_TRUE(waitFor("Press any key to continue", 5));
    EXPECT_TRUE(waitFor("the terminal's palette set for the show", 5)) << testing::PrintToString(output);
    EXPECT_NE(output.find("\x1b]4;9;rgb:ff/00/00\x07"), std::string::npos) << "the show's palette was not set";

    // Late and stray answers, full of q and spaces, at the prompt: no key.
    const std::string stray = "\x1bP>|q q\x1b\\\x1b]4;1;rgb:q/q/q\x07\x1b[?1;2c\x1b[0n\x1b[200~q \x1b[201~";
    type(stray);
    readFor(500);
    EXPECT_EQ(count(syncStart), 0) << "an answer started the show";
    type(" ");
    ASSERT_TRUE(waitFor(syncStart, 5));

    // During the show: each frame asks; with no answer, no frame follows the first.
    readFor(500);
    const int unanswered = count(syncStart);
    EXPECT_EQ(unanswered, 1) << "frames went on without the viewer's answers";
    EXPECT_EQ(count(askAttributes, output.find(syncStart)), unanswered);
    // Answers let the frames go on; stray answers with q in them do not quit or pause.
    for (int i = 0; i < 30; ++i) {
        type("\x1b[?62;22c" + (i == 10 ? stray : std::string()));
        readFor(30);
    }
    EXPECT_GE(count(syncStart), unanswered + 10) << "answered frames did not go on";
    EXPECT_TRUE(running()) << "an answer quit the show";

    // A viewer that answers at once gets every frame, 60 a second.
    const size_t fastFrom = output.size();
    type("\x1b[?62c");  // for the frame that may be waiting
    const auto fastEnd = deadlineIn(1.0);
    for (size_t answered = fastFrom; Clock::now() < fastEnd;) {
        read(5);
        for (size_t at; (at = output.find(askAttributes, answered)) != std::string::npos; answered = at + 1) type("\x1b[?62c");
    }
    EXPECT_GE(count(syncStart, fastFrom), 50) << "frames were dropped on a fast link";

    const size_t beforeQuit = output.size();
    type("q");
    ASSERT_TRUE(eventually(5, [&] { read(10); return !running(); }));
    readFor(100);
    EXPECT_EQ(statusOf(status), 0);
    const std::string ending = output.substr(beforeQuit);
    const size_t restored = ending.find("\x1b]4;1;rgb:cdcd/0000/0000\x07");
    EXPECT_NE(ending.find("\x1b]4;0;rgb:0101/0202/0303\x07"), std::string::npos) << "entry 0 not put back";
    EXPECT_NE(ending.find("\x1b]4;15;rgb:12/34/56\x07"), std::string::npos) << "entry 15 not put back";
    EXPECT_LT(restored, ending.find("\x1b[?1049l")) << "the palette was not put back before leaving";
}

}  // namespace

namespace {

// Input that never runs dry (/dev/zero) is read a bounded amount a frame: the picture keeps its time.
TEST(EndlessInput, DoesNotHoldTheFramesUp) {
    const fs::path folder = freshFolder("endless-input");
    const Result run = runShell("timeout -s INT 2 " + zorbel + " --force --no-audio --start 64 --data " ZORBEL_SOURCE_DIR
                                "/Data < /dev/zero > " + quoted(folder / "out") + " 2>/dev/null; echo done", 20);
    ASSERT_NE(run.output.find("done"), std::string::npos);
    const std::string output = readText(folder / "out");
    int frames = 0;
    for (size_t at = output.find(syncStart); at != std::string::npos; at = output.find(syncStart, at + 1)) ++frames;
    EXPECT_GE(frames, 60) << "frames in 2 seconds of the ripples";
}

}  // namespace
