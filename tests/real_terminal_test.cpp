// The show in real terminal emulators on a virtual X server, with their default
// environments: what the viewer sees must be the show's own colours, and the terminal's
// palette must be its own again afterwards. No X server or terminal fails, never skips.
#include <gtest/gtest.h>

#include "harness.h"
#include "x_terminals.h"

namespace {

using namespace harness;
using namespace xterms;

const std::string data = " --data " ZORBEL_SOURCE_DIR "/Data";

// The pictures a capture makes for seconds `from` to `to` at `fps` frames a second, scale 1.
std::vector<Image> capture(const std::string& name, double from, double to, int fps) {
    const fs::path folder = freshFolder(name);
    const Result made = runShell(zorbel + " --capture " + quoted(folder / "c") + " --no-audio --scale 1 --fps " +
                                 std::to_string(fps) + " --from " + std::to_string(from) + " --to " + std::to_string(to) + data, 300);
    EXPECT_EQ(made.status, 0) << made.output;
    std::vector<Image> frames;
    for (const auto& entry : fs::directory_iterator(folder / "c"))
        if (entry.path().extension() == ".png") frames.push_back(readPng(entry.path()));
    return frames;
}

// Presses a key until the screen is more than the prompt's text on black (a key typed
// while a terminal is still starting may be lost).
bool startShow(const VirtualDisplay& display, const fs::path& shot) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1000));
        typeKeys(display, "a");
        const bool started = eventually(3, [&] {
            const Image seen = screenshot(display, shot);
            const auto [width, height] = windowSize(display);
            int lit = 0;
            for (int y = 0; y < std::min(height, seen.height); ++y)
                for (int x = 0; x < std::min(width, seen.width); ++x) {
                    const uint8_t* pixel = &seen.rgb[3 * (static_cast<size_t>(y) * seen.width + x)];
                    lit += pixel[0] > 40 || pixel[1] > 40 || pixel[2] > 40;
                }
            return lit > width * height / 2;
        });
        if (started) return true;
    }
    return false;
}

// The most half-cells of the screen that match one of `frames`.
int bestMatch(const VirtualDisplay& display, const fs::path& shot, const std::vector<Image>& frames) {
    const Image seen = screenshot(display, shot);
    const auto window = windowSize(display);
    int best = 0;
    for (const Image& frame : frames) best = std::max(best, matchingHalfCells(seen, window, frame));
    return best;
}

struct Setup {
    TerminalSetup terminal;
    std::string colorterm;  // inherited from the terminal the viewer started it in
};
void PrintTo(const Setup& setup, std::ostream* out) { *out << setup.terminal.label << " " << setup.colorterm; }

class RealTerminal : public ::testing::TestWithParam<Setup> {
protected:
    void SetUp() override {
        ASSERT_FALSE(display.name.empty()) << "Xvfb is needed for this test (the CI installs it)";
        for (const char* tool : {"xdotool", "import", "xwininfo"})
            ASSERT_EQ(runShell(std::string("command -v ") + tool).status, 0) << tool << " is needed for this test";
    }
    // Starts the show in the terminal with `options` and presses a key until the show runs.
    void play(const std::string& options) {
        // A terminal that does not open on a busy machine is started once more.
        for (int attempt = 0; attempt < 2 && windowSize(display).first == 0; ++attempt) {
            startTerminal(display, GetParam().terminal, "env LANG=C.UTF-8 " + zorbel + " --no-audio" + data + " " + options,
                          GetParam().colorterm);
            eventually(20, [&] { return windowSize(display).first > 0; });
        }
        ASSERT_GT(windowSize(display).first, 0) << "no terminal window; " << display.run("xwininfo -root -children").output
                                                << readText("/tmp/zorbel-x-terminals.log");
        ASSERT_TRUE(startShow(display, folder / "started.png"));
    }
    void end() {
        typeKeys(display, "q");
        if (!eventually(5, [&] { return windowSize(display).first == 0; })) closeWindows(display);
        ASSERT_TRUE(eventually(10, [&] { return windowSize(display).first == 0; })) << "the terminal did not close";
    }

    VirtualDisplay display;
    const fs::path folder = freshFolder("real-terminal");
};

// A picture (static), and the blue ripples paused: the screen equals the capture of that
// moment in all but a few half-cells (a font's anti-aliased seam may cost some).
TEST_P(RealTerminal, ShowsTheShowsOwnColours) {
    const std::vector<Image> picture = capture("picture", 24, 24, 60);
    play("--start 24");
    int seen = 0;
    eventually(10, [&] { return (seen = bestMatch(display, folder / "picture.png", picture)) >= 7990; });
    EXPECT_GE(seen, 7990) << "of 8000 half-cells in the picture";
    std::printf("%s: picture %d of 8000\n", GetParam().terminal.label.c_str(), seen);
    end();

    // The ripples before the cube comes (its colours are random), one capture a millisecond.
    const std::vector<Image> ripples = capture("ripples", 63.8, 66, 1000);
    play("--start 63.5");
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    typeKeys(display, "space");
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    seen = bestMatch(display, folder / "ripples.png", ripples);
    EXPECT_GE(seen, 7990) << "of 8000 half-cells in the ripples";
    std::printf("%s: ripples %d of 8000\n", GetParam().terminal.label.c_str(), seen);
    end();
}

INSTANTIATE_TEST_SUITE_P(
    Terminals, RealTerminal,
    ::testing::Values(Setup{xtermSetup, ""}, Setup{urxvtSetup, ""}, Setup{stSetup, ""}, Setup{tmuxSetup, ""},
                      Setup{screenSetup, ""}, Setup{screenSetup, "truecolor"}),
    [](const auto& info) {
        std::string name = info.param.terminal.label + (info.param.colorterm.empty() ? "" : " truecolor");
        for (char& c : name) if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    });

}  // namespace

namespace {

// A shell function that asks the terminal for its 16 palette entries and prints the answers.
const std::string askPalette =
    "ask() { stty raw -echo; for i in $(seq 0 15); do printf '\\033]4;%d;?\\007' $i; done >/dev/tty; printf '\\033[c' >/dev/tty; a=; "
    "while IFS= read -r -s -n1 -t 3 c </dev/tty; do a=\"$a$c\"; case \"$a\" in *'[?'*c) break;; esac; done; "
    "stty sane; printf '%s' \"$a\"; }; ";

// The palette is asked before the show and after it ends in each way a viewer or the
// system can end it; a terminal's palette must be its own again.
TEST(RealTerminalPalette, IsTheUsersAgainAfterEveryEnding) {
    VirtualDisplay display;
    ASSERT_FALSE(display.name.empty()) << "Xvfb is needed for this test (the CI installs it)";
    const fs::path folder = freshFolder("palette");
    const std::vector<Image> picture = capture("palette-picture", 24, 24, 60);
    const struct { TerminalSetup terminal; std::string colors, ending; } cases[] = {
        {urxvtSetup, "", "q"},
        {xtermSetup, "--colors palette", "q"},     {xtermSetup, "--colors palette", "ctrl+c"},
        {xtermSetup, "--colors palette", "TERM"},  {xtermSetup, "--colors palette", "SEGV"},
    };
    for (const auto& [terminal, colors, ending] : cases) {
        SCOPED_TRACE(terminal.label + " " + colors + " " + ending);
        for (const char* name : {"before", "after", "pid"}) fs::remove(folder / name);
        const std::string script = askPalette + "trap : INT; ask > " + harness::quoted(folder / "before") +
                                   "; sh -c 'echo $$ > " + (folder / "pid").string() + "; exec env LANG=C.UTF-8 " + zorbel +
                                   " --no-audio --start 24 " + colors + data + "'; ask > " + quoted(folder / "after") +
                                   "; sleep 30";
        std::ofstream(folder / "run.sh") << script << "\n";
        startTerminal(display, terminal, "bash " + (folder / "run.sh").string());
        ASSERT_TRUE(eventually(20, [&] { return fs::exists(folder / "pid") && fs::file_size(folder / "pid") > 0; }))
            << "the show did not start; the palette asked before: " << testing::PrintToString(readText(folder / "before"));
        ASSERT_TRUE(startShow(display, folder / "started.png"));
        // The show's own colours on the screen, through the palette.
        EXPECT_GE(bestMatch(display, folder / "show.png", picture), 7990);
        const auto ended = [&] { return fs::exists(folder / "after") && fs::file_size(folder / "after") > 0; };
        for (int attempt = 0; attempt < 3 && !ended(); ++attempt) {
            if (std::isupper(static_cast<unsigned char>(ending[0]))) {
                display.run("kill -" + ending + " $(cat " + harness::quoted(folder / "pid") + ")");
            } else {
                typeKeys(display, ending);
            }
            eventually(4, ended);
        }
        ASSERT_TRUE(ended()) << "the show did not end";
        std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the answers, whole
        const std::string before = readText(folder / "before"), after = readText(folder / "after");
        EXPECT_NE(before.find("]4;15;rgb:"), std::string::npos) << "the terminal did not report its palette";
        EXPECT_EQ(after, before);
        closeWindows(display);
        ASSERT_TRUE(eventually(10, [&] { return windowSize(display).first == 0; }));
    }
}

}  // namespace
