// The real program in a real terminal (tmux): the picture, the hint in a small window, the
// centred picture in a large one, and a usable shell after Ctrl-C. tmux is required: CI
// installs it, and a missing tmux fails the test instead of hiding it.
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

#include "capture_run.h"
#include "platform/terminal_diff.h"
#include "vterm_screen.h"

namespace {

namespace fs = std::filesystem;

// A tmux server of its own (also when the tests run inside tmux) with one session running
// a plain shell, no status line.
class TmuxSession {
public:
    TmuxSession() : tmux_("env -u TMUX tmux -L zorbel-test-" + std::to_string(::getpid()) + " -f /dev/null ") {}
    ~TmuxSession() { run("kill-server"); }

    bool start(int columns, int rows) {
        const std::string size = "-x " + std::to_string(columns) + " -y " + std::to_string(rows);
        return capture_run::runShell(tmux_ + "new-session -d -s z " + size + " 'PS1=\"$ \" sh'").status == 0 &&
               run("set -g status off").empty();
    }
    std::string run(const std::string& arguments) const { return capture_run::runShell(tmux_ + arguments).output; }
    void keys(const std::string& arguments) const { run("send-keys -t z " + arguments); }
    void resize(int columns, int rows) const {
        run("resize-window -t z -x " + std::to_string(columns) + " -y " + std::to_string(rows));
    }

    // The pane as an emulator holds it, rebuilt from tmux's own copy of the screen.
    std::unique_ptr<EmulatedTerminal> screen(int rows, int columns) const {
        std::string text = run("capture-pane -e -p -N -t z");
        if (!text.empty() && text.back() == '\n') text.pop_back();
        std::string lines;
        for (char c : text) lines += c == '\n' ? std::string("\r\n") : std::string(1, c);
        auto terminal = std::make_unique<EmulatedTerminal>(rows, columns);
        terminal->feed(lines);
        return terminal;
    }

private:
    std::string tmux_;
};

// Polls `check` for up to `seconds`; true as soon as it holds.
bool eventually(double seconds, const std::function<bool()>& check) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    do {
        if (check()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    } while (std::chrono::steady_clock::now() < end);
    return false;
}

// Whether a pane of the given size shows the picture in one look where the layout puts it,
// a black surround and, in a small pane, the hint on the last row.
bool showsPicture(const TmuxSession& tmux, int rows, int columns, int look) {
    const auto terminal = tmux.screen(rows, columns);
    const PictureLayout layout = layoutFor(rows, columns);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const bool picture = row >= layout.top && row < layout.top + layout.rows && column >= layout.left &&
                                 column < layout.left + layout.columns;
            if (picture && consoleLook(*terminal, row, column) != look) return false;
            if (picture || (layout.hint && row == rows - 1)) continue;
            if (consoleLook(*terminal, row, column) != 0) return false;
        }
    }
    if (!layout.hint) return true;
    std::string hint;
    for (int column = 0; column < columns && column < static_cast<int>(sizeof enlargeHint - 1); ++column)
        hint += static_cast<char>(terminal->cell(rows - 1, column).character);
    return hint == std::string(enlargeHint).substr(0, hint.size());
}

TEST(TerminalInTmux, PictureFollowsResizesAndCtrlCLeavesAWorkingShell) {
    ASSERT_EQ(capture_run::runShell("tmux -V").status, 0) << "tmux is needed for this test (the CI installs it)";
    const fs::path folder = capture_run::makeScratch("tmux");
    TmuxSession tmux;
    ASSERT_TRUE(tmux.start(80, 50));

    // From second 8 the first picture (flat red: look 0x44) shows until second 15, then the
    // second (flat green: 0x22). 16 ANSI colours: COLORTERM is cleared.
    tmux.keys("'cd " + folder.string() + " && COLORTERM= LANG=C.UTF-8 " ZORBEL_BINARY_DIR "/zorbel --no-audio --start 8' Enter");
    ASSERT_TRUE(eventually(10, [&] { return tmux.run("capture-pane -p -t z").find("Maximize Window And") != std::string::npos; }))
        << tmux.run("capture-pane -p -t z");
    tmux.keys("x");
    EXPECT_TRUE(eventually(5, [&] { return showsPicture(tmux, 50, 80, 0x44); }));

    tmux.resize(60, 30);  // too small: clipped, with the hint
    EXPECT_TRUE(eventually(3, [&] { return showsPicture(tmux, 30, 60, 0x44); }))
        << tmux.run("capture-pane -p -t z");
    tmux.resize(100, 61);  // larger: centred on black, and the show goes on to the next picture
    EXPECT_TRUE(eventually(3, [&] { return showsPicture(tmux, 61, 100, 0x44); }));
    EXPECT_TRUE(eventually(10, [&] { return showsPicture(tmux, 61, 100, 0x22); }));

    tmux.keys("C-c");
    EXPECT_TRUE(eventually(3, [&] { return tmux.run("display -p -t z '#{cursor_flag} #{alternate_on}'") == "1 0\n"; }))
        << tmux.run("display -p -t z '#{cursor_flag} #{alternate_on}'");
    tmux.keys("'echo zorbel-done-$((6*7))' Enter");
    EXPECT_TRUE(eventually(3, [&] { return tmux.run("capture-pane -p -t z").find("zorbel-done-42") != std::string::npos; }))
        << tmux.run("capture-pane -p -t z");
    fs::remove_all(folder);
}

}  // namespace
