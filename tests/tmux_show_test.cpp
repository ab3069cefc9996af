// The real program in tmux, used as a viewer would, job control and signals included; no tmux fails, never skips.
#include <gtest/gtest.h>

#include "driver/demo.h"
#include "harness.h"
#include "platform/input/key_wait.h"
#include "vterm_screen.h"

namespace {

using namespace harness;

constexpr int red = 0x44, green = 0x22;  // the looks of the first two flat pictures

// The notes under the prompt keep to the window's width, broken between words, and every word is kept.
TEST(Prompt, NotesAreBrokenBetweenWordsToTheWindowsWidth) {
    const std::string warning = "zorbel: the locale is not UTF-8 (LANG=C); the half blocks may not show. Try LANG=C.UTF-8.";
    using Rows = std::vector<std::string>;
    EXPECT_EQ(noteRows({promptKeysNote, warning}, 80),
              (Rows{promptKeysNote, "zorbel: the locale is not UTF-8 (LANG=C); the half blocks may not show. Try",
                    "LANG=C.UTF-8."}));
    EXPECT_EQ(noteRows({"abc defgh", "", "abcdefghij"}, 4), (Rows{"abc", "defg", "h", "", "abcd", "efgh", "ij"}));
    for (int columns : {79, 40, 20, 7})
        for (const std::string& row : noteRows({warning, promptKeysNote}, columns))
            EXPECT_LE(row.size(), static_cast<size_t>(columns)) << row;
    EXPECT_LT(std::string(promptKeysNote).size(), 80u);
}

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
    // Under the prompt: the keys, and the warnings that went to standard error before it.
    for (const std::string note : {std::string(promptKeysNote), "zorbel: cannot play " + (folder / "Data/QUABTUNE.xm").string(),
                                   std::string("zorbel: the locale is not UTF-8 (LANG=C); the half blocks may not show.")})
        EXPECT_TRUE(tmux.shows(note)) << note << " is not on the prompt: " << tmux.text();
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
    void start(const std::string& after = "", const std::string& arguments = "--no-audio",
               const std::string& folder = ZORBEL_SOURCE_DIR) const {
        tmux.keys("'cd " + folder + " && LANG=C.UTF-8 sh -c \"echo \\$\\$ > " + pidFile.string() + "; exec " +
                  zorbel + " " + arguments + "\"" + after + "' Enter");
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

// q and Esc at the prompt quit as they do during the show, with status 0 and the terminal given back; an arrow
// key, whose sequence begins with Esc, starts the show like any other key.
TEST_F(JobInTmux, QOrEscAtThePromptQuitsAndAnArrowKeyStarts) {
    for (const char* key : {"q", "Escape"}) {
        start("; echo status=$?");
        ASSERT_TRUE(eventually(10, [&] { return showsPrompt(tmux) && tmux.shows(promptKeysNote); })) << tmux.text();
        tmux.keys(key);
        EXPECT_TRUE(eventually(5, [&] { return tmux.shows("status=0") && shellHasIt(); })) << key << ": " << tmux.text();
        EXPECT_FALSE(running()) << key;
        tmux.keys("clear Enter");
        ASSERT_TRUE(eventually(5, [&] { return !tmux.shows("status=0"); }));
    }
    start();
    ASSERT_TRUE(eventually(10, [&] { return showsPrompt(tmux); })) << tmux.text();
    tmux.keys("Up");
    EXPECT_TRUE(eventually(5, [&] { return showing() && !showsPrompt(tmux); })) << tmux.text();
    sleep(1);
    EXPECT_TRUE(running()) << "an arrow key at the prompt quit";
}

// Ctrl-Z holds the show as space does, also mixed with pauses: after fg the picture is the one it stopped on, and
// the show then goes on. Suspended longer than the picture has left, a show that ran on would show the next one.
TEST_F(JobInTmux, CtrlZHoldsTheShowsPlaceAsAPauseDoes) {
    const fs::path folder = makeScratch("suspend");  // the red picture until second 15, then the green one
    start("", "--no-audio --start 10", folder.string());
    ASSERT_TRUE(eventually(10, [&] { return showsPrompt(tmux); })) << tmux.text();
    tmux.keys("x");
    ASSERT_TRUE(eventually(5, [&] { return showsPicture(tmux, 50, 80, red); }));
    const auto suspendFor = [&](int seconds) {
        tmux.keys("C-z");
        ASSERT_TRUE(eventually(5, [&] { return shellHasIt(); }));
        sleep(seconds);
        tmux.keys("'fg' Enter");
        ASSERT_TRUE(eventually(5, [&] { return showing(); })) << tmux.modes() << tmux.text();
        usleep(300000);
    };
    suspendFor(6);
    EXPECT_TRUE(showsPicture(tmux, 50, 80, red)) << "the show went on while suspended";
    tmux.keys("Space");  // paused, then suspended and continued while paused, then resumed
    usleep(500000);
    suspendFor(2);
    EXPECT_TRUE(showsPicture(tmux, 50, 80, red)) << "the show went on while paused and suspended";
    tmux.keys("Space");
    usleep(300000);
    EXPECT_TRUE(showsPicture(tmux, 50, 80, red)) << "the time paused and suspended was skipped";
    suspendFor(3);
    EXPECT_TRUE(showsPicture(tmux, 50, 80, red)) << "the show went on while suspended a second time";
    EXPECT_TRUE(eventually(8, [&] { return showsPicture(tmux, 50, 80, green); })) << "the show did not go on";
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
