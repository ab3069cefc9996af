// The program around the show, used as a viewer would in a real terminal (tmux): the
// prompt's size line, keys typed during the show, q, Esc and space, the window title, and
// warnings that stay readable. tmux is required, as for the other terminal tests.
#include <fstream>

#include <gtest/gtest.h>

#include "capture_run.h"
#include "tmux_session.h"

namespace {

namespace fs = std::filesystem;

constexpr int red = 0x44, green = 0x22;  // the looks of the first two flat pictures

const std::string zorbel = "COLORTERM= '" ZORBEL_BINARY_DIR "/zorbel'";

// Whether every cell of an 80 x 50 pane shows `look`.
bool wholePaneShows(const TmuxPane& pane, int look) {
    const auto terminal = pane.screen(50, 80);
    for (int row = 0; row < 50; ++row)
        for (int column = 0; column < 80; ++column)
            if (consoleLook(*terminal, row, column) != look) return false;
    return true;
}

// Starts zorbel with `arguments` in a fresh pane and presses a key at its prompt; after
// it ends, the shell prints its exit status as "status=N".
bool startShow(TmuxPane& pane, const fs::path& folder, const std::string& arguments, int columns = 80, int rows = 50) {
    if (!pane.start(columns, rows)) return false;
    pane.keys("\"printf '\\\\033]2;before-title\\\\007'\" Enter");
    pane.keys("'cd " + folder.string() + " && " + arguments + "; echo status=$?' Enter");
    if (!eventually(10, [&] { return pane.shows("Press any key to continue . . . "); })) return false;
    pane.keys("x");
    return true;
}

TEST(PolishInTmux, ThePromptSaysWhenTheWindowIsTooSmallAndFollowsResizes) {
    ASSERT_EQ(capture_run::runShell("tmux -V").status, 0) << "tmux is needed for this test (the CI installs it)";
    const fs::path folder = capture_run::makeScratch("prompt-size");
    TmuxPane pane("prompt");
    ASSERT_TRUE(pane.start(80, 24));
    pane.keys("'cd " + folder.string() + " && LANG=C.UTF-8 " + zorbel + " --no-audio; echo status=$?' Enter");
    ASSERT_TRUE(eventually(10, [&] { return pane.shows("This window is 80 x 24; the show needs 80 x 50."); })) << pane.text();
    EXPECT_TRUE(pane.shows("Maximize Window And Press any key to continue . . . "));
    pane.resize(100, 40);
    EXPECT_TRUE(eventually(3, [&] { return pane.shows("This window is 100 x 40; the show needs 80 x 50."); })) << pane.text();
    pane.resize(80, 50);
    EXPECT_TRUE(eventually(3, [&] { return !pane.shows("This window is"); })) << pane.text();
    EXPECT_TRUE(pane.shows("Maximize Window And Press any key to continue . . . "));
    pane.keys("x");
    pane.keys("q");
    EXPECT_TRUE(eventually(5, [&] { return pane.shows("status=0"); })) << pane.text();
    fs::remove_all(folder);
}

// Keys typed during the show are neither echoed onto the picture nor left for the shell;
// q and Esc end the program with status 0, the terminal and its title as they were.
TEST(PolishInTmux, TypedKeysLeaveNoTraceAndQOrEscQuitRestoringTheTerminalAndTitle) {
    const fs::path folder = capture_run::makeScratch("quit-keys");
    for (const char* quitKey : {"q", "Escape"}) {
        TmuxPane pane(std::string("quit-") + quitKey);
        ASSERT_TRUE(startShow(pane, folder, "LANG=C.UTF-8 " + zorbel + " --no-audio --start 8"));
        ASSERT_TRUE(eventually(5, [&] { return wholePaneShows(pane, red); })) << quitKey;
        EXPECT_EQ(pane.format("#{pane_title}"), "QVO_4::Zorbel\n");
        pane.keys("-l 'echo typed-$((6*7))'");
        pane.keys("Enter");
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        EXPECT_TRUE(wholePaneShows(pane, red)) << quitKey << ": the typed keys show on the picture";

        pane.keys(quitKey);
        EXPECT_TRUE(eventually(5, [&] { return pane.shows("status=0"); })) << quitKey << ": " << pane.text();
        EXPECT_EQ(pane.format("#{cursor_flag} #{alternate_on} #{pane_title}"), "1 0 before-title\n") << quitKey;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_FALSE(pane.shows("typed-42")) << quitKey << ": the typed line reached the shell";
    }
    fs::remove_all(folder);
}

// Space holds the show's clock: the picture stays while paused, and after resuming the
// show goes on from the same second instead of jumping over the time paused.
TEST(PolishInTmux, SpacePausesTheShowAndItResumesFromWhereItStopped) {
    const fs::path folder = capture_run::makeScratch("pause");
    TmuxPane pane("pause");
    // The red picture shows until second 15, then the green one.
    ASSERT_TRUE(startShow(pane, folder, "LANG=C.UTF-8 " + zorbel + " --no-audio --start 12"));
    ASSERT_TRUE(eventually(5, [&] { return wholePaneShows(pane, red); }));
    pane.keys("Space");
    std::this_thread::sleep_for(std::chrono::milliseconds(3500));
    EXPECT_TRUE(wholePaneShows(pane, red)) << "the show went on while paused";
    pane.keys("Space");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(wholePaneShows(pane, red)) << "the time paused was skipped";
    EXPECT_TRUE(eventually(5, [&] { return wholePaneShows(pane, green); })) << "the show did not resume";
    pane.keys("q");
    EXPECT_TRUE(eventually(5, [&] { return pane.shows("status=0"); })) << pane.text();
    fs::remove_all(folder);
}

// Warnings are printed before the screen is taken, with line wrapping on, so a long one
// is still there in full after quitting.
TEST(PolishInTmux, WarningsStayReadableInTheScrollbackAfterQuitting) {
    const fs::path folder = capture_run::makeScratch("warnings");  // no music in its Data
    TmuxPane pane("warnings");
    ASSERT_TRUE(startShow(pane, folder, "LANG=C " + zorbel, 60, 30));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    pane.keys("q");
    ASSERT_TRUE(eventually(5, [&] { return pane.shows("status=0"); })) << pane.text();
    const std::string text = pane.text();
    const size_t locale = text.find("zorbel: the locale is not UTF-8 (LANG=C); the half blocks may not show. Try LANG=C.UTF-8.");
    const size_t music = text.find("zorbel: cannot play " + (folder / "Data/QUABTUNE.xm").string() + ": ");
    EXPECT_NE(locale, std::string::npos) << text;
    EXPECT_NE(music, std::string::npos) << text;
    EXPECT_LT(music, locale) << text;
    fs::remove_all(folder);
}

TEST(Warnings, GoToStandardErrorAndTheMissingDataLineStaysOnStandardOutput) {
    const fs::path folder = capture_run::makeScratch("stderr");
    const std::string run = "cd '" + folder.string() + "' && (LANG=C '" ZORBEL_BINARY_DIR "/zorbel' --force >out.txt 2>err.txt </dev/null";
    capture_run::runShell(run + " & sleep 1; kill $!; wait $!)");
    const auto read = [&](const char* name) {
        std::ifstream in(folder / name);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };
    EXPECT_NE(read("err.txt").find("zorbel: the locale is not UTF-8"), std::string::npos) << read("err.txt");
    EXPECT_NE(read("err.txt").find("zorbel: cannot play"), std::string::npos) << read("err.txt");
    EXPECT_EQ(read("out.txt").find("zorbel:"), std::string::npos) << read("out.txt");

    fs::remove(folder / "Data/font.raw");
    capture_run::runShell(run + ")");
    EXPECT_EQ(read("out.txt"), "Error Failed To Load Data/font.raw\n");
    EXPECT_NE(read("err.txt").find("tried:\n  " + (folder / "Data").string() + " (no usable font.raw)"), std::string::npos)
        << read("err.txt");
    fs::remove_all(folder);
}

}  // namespace
