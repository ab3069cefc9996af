// The real program in tmux, used as a viewer would, job control and signals included; no tmux fails, never skips.
#include <gtest/gtest.h>

#include "harness.h"
#include "vterm_screen.h"

namespace {

using namespace harness;

constexpr int red = 0x44, green = 0x22;  // the looks of the first two flat pictures

bool showsPrompt(const Tmux& tmux) { return tmux.shows("Maximize Window And Press any key to continue . . . "); }

// Whether the pane, fed to an emulator, shows the picture in one look where the layout puts it.
bool showsPicture(const Tmux& tmux, int rows, int columns, int look) {
    std::string lines;
    for (char c : tmux.run("capture-pane -e -p -N -t z")) lines += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EmulatedTerminal terminal(rows, columns);
    terminal.feed(lines.substr(0, lines.size() - 2));  // the last line's end would scroll
    return layoutMismatches(terminal, layoutFor(rows, columns), rows, columns, [look](int, int) { return look; }) == 0;
}

// One run: the size line follows resizes, pause without a jump, typed keys go nowhere, a small window clips, q restores.
TEST(ShowInTmux, PromptPicturePauseKeysResizeAndQuit) {
    ASSERT_EQ(runShell("tmux -V").status, 0) << "tmux is needed for this test (the CI installs it)";
    const fs::path folder = makeScratch("viewer");
    Tmux tmux("viewer");
    ASSERT_TRUE(tmux.start(80, 24));
    tmux.keys("\"printf '\\\\033]2;before-title\\\\007'\" Enter");
    // The red picture shows until second 15, then the green one; no COLORTERM: 16 ANSI colours.
    tmux.keys("'cd " + folder.string() + " && stty -g >before.txt && LANG=C COLORTERM= " + zorbel +
              " --start 12; echo status=$?; stty -g >after.txt' Enter");
    ASSERT_TRUE(eventually(10, [&] { return tmux.shows("window is 80 x 24; the show needs 80 x 50.") && showsPrompt(tmux); }))
        << tmux.text();
    tmux.run("resize-window -t z -x 79 -y 60");  // tall enough, one column short
    EXPECT_TRUE(eventually(3, [&] { return tmux.shows("This window is 79 x 60; the show needs 80 x 50."); })) << tmux.text();
    tmux.run("resize-window -t z -x 80 -y 50");
    EXPECT_TRUE(eventually(3, [&] { return !tmux.shows("This window is") && showsPrompt(tmux); })) << tmux.text();
    tmux.keys("x");

    ASSERT_TRUE(eventually(5, [&] { return showsPicture(tmux, 50, 80, red); }));
    EXPECT_EQ(tmux.format("#{pane_title}"), "QVO_4::Zorbel\n");
    tmux.keys("Space");
    std::this_thread::sleep_for(std::chrono::milliseconds(3500));
    EXPECT_TRUE(showsPicture(tmux, 50, 80, red)) << "the show went on while paused";
    tmux.keys("Space");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(showsPicture(tmux, 50, 80, red)) << "the time paused was skipped";
    EXPECT_TRUE(eventually(5, [&] { return showsPicture(tmux, 50, 80, green); })) << "the show did not resume";

    tmux.keys("'echo typed-$((6*7))' Enter");
    tmux.keys("-N 86 Up");  // a burst of escape sequences, larger than one read: no lone Esc
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    EXPECT_TRUE(showsPicture(tmux, 50, 80, green)) << "the typed keys show on the picture, or the arrows quit";
    tmux.run("resize-window -t z -x 60 -y 30");
    EXPECT_TRUE(eventually(3, [&] { return showsPicture(tmux, 30, 60, green); })) << tmux.text();

    tmux.keys("q 'echo pasted-$((6*7))' Enter");  // what follows q is dropped, not left for the shell
    EXPECT_TRUE(eventually(5, [&] { return tmux.shows("status=0") && fs::exists(folder / "after.txt"); })) << tmux.text();
    EXPECT_EQ(tmux.format("#{cursor_flag} #{alternate_on} #{pane_title}"), "1 0 before-title\n");
    EXPECT_EQ(readText(folder / "after.txt"), readText(folder / "before.txt")) << "the input mode was not given back";
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(tmux.shows("typed-42")) << "the typed line reached the shell";
    EXPECT_FALSE(tmux.shows("pasted-42")) << "what came after q reached the shell";
    const std::string text = tmux.text();  // no music in the scratch Data
    const size_t music = text.find("zorbel: cannot play " + (folder / "Data/QUABTUNE.xm").string() + ": ");
    const size_t locale = text.find("zorbel: the locale is not UTF-8 (LANG=C); the half blocks may not show. Try LANG=C.UTF-8.");
    EXPECT_TRUE(music < locale && locale != std::string::npos) << text;
}

// zorbel started from a tmux shell, its process id in a file.
class JobInTmux : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(tmux.start()); }
    void TearDown() override { if (pid() > 0) kill(pid(), SIGKILL); }
    void start(const std::string& after = "") const {
        tmux.keys("'cd " ZORBEL_SOURCE_DIR " && LANG=C.UTF-8 sh -c \"echo \\$\\$ > " + pidFile.string() + "; exec " +
                  zorbel + " --no-audio\"" + after + "' Enter");
    }
    pid_t pid() const {
        pid_t value = -1;
        std::ifstream(pidFile) >> value;
        return value;
    }
    bool running() const { return pid() > 0 && kill(pid(), 0) == 0; }
    bool showing() const { return tmux.modes() == "0 1\n"; }  // cursor hidden, alternate screen
    bool shellHasIt() const { return tmux.modes() == "1 0\n"; }

    Tmux tmux{"job"};
    const fs::path pidFile = freshFolder("job") / "zorbel.pid";
};

// In the background it waits; Ctrl-Z at the prompt asks again on fg; bg leaves the screen; Ctrl-C leaves a working shell.
TEST_F(JobInTmux, BackgroundCtrlZAndCtrlCLeaveTheTerminalToTheShell) {
    start(" &");
    ASSERT_TRUE(eventually(5, [&] { return running(); }));
    sleep(2);
    EXPECT_TRUE(shellHasIt() && !showsPrompt(tmux)) << "took the terminal in the background";
    EXPECT_FALSE(tmux.shows("no sound device")) << "--no-audio looked for a sound device";
    tmux.keys("'fg' Enter");
    ASSERT_TRUE(eventually(5, [&] { return showsPrompt(tmux); })) << tmux.text();

    tmux.keys("C-z");
    ASSERT_TRUE(eventually(5, [&] { return shellHasIt(); }));
    tmux.keys("clear Enter");
    ASSERT_TRUE(eventually(5, [&] { return !showsPrompt(tmux); }));
    tmux.keys("'fg' Enter");
    EXPECT_TRUE(eventually(5, [&] { return showsPrompt(tmux); })) << "the prompt is not asked again: " << tmux.text();
    tmux.keys("x");  // and the key is still taken
    EXPECT_TRUE(eventually(5, [&] { return showing() && !showsPrompt(tmux); })) << tmux.text();

    tmux.keys("C-z");
    ASSERT_TRUE(eventually(5, [&] { return shellHasIt(); }));
    tmux.keys("'bg' Enter");
    sleep(2);
    EXPECT_TRUE(shellHasIt() && running()) << "took the terminal back in the background, or ended";
    tmux.keys("'fg' Enter");
    EXPECT_TRUE(eventually(5, [&] { return showing(); }));
    EXPECT_EQ(tmux.format("#{pane_title}"), "QVO_4::Zorbel\n") << "the title is not set again after Ctrl-Z";
    tmux.keys("C-c");
    EXPECT_TRUE(eventually(5, [&] { return shellHasIt(); })) << tmux.modes();
    tmux.keys("'echo zorbel-done-$((6*7))' Enter");
    EXPECT_TRUE(eventually(3, [&] { return tmux.shows("zorbel-done-42"); })) << tmux.text();
}

TEST_F(JobInTmux, SignalsEndTheShowWhileOutputIsStoppedAndTheTerminalIsRestoredOnCtrlQ) {
    start();
    ASSERT_TRUE(eventually(10, [&] { return showsPrompt(tmux); })) << tmux.text();
    tmux.keys("x");
    ASSERT_TRUE(eventually(5, [&] { return showing(); }));
    tmux.keys("C-s");  // output stopped: the show soon blocks in a write
    sleep(1);
    const pid_t show = pid();
    kill(show, SIGTERM);
    usleep(100000);
    kill(show, SIGINT);  // a second signal while the first one restores
    EXPECT_TRUE(eventually(5, [&] { return !running(); })) << "SIGTERM did not end the show";
    tmux.keys("C-q");
    EXPECT_TRUE(eventually(3, [&] { return shellHasIt(); })) << tmux.modes();
}

}  // namespace
