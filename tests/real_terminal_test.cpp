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
    // Starts the show in the terminal at `start`, presses a key once its window is there.
    void play(const std::string& options) {
        startTerminal(display, GetParam().terminal, "env LANG=C.UTF-8 " + zorbel + " --no-audio" + data + " " + options,
                      GetParam().colorterm);
        ASSERT_TRUE(eventually(20, [&] { return windowSize(display).first > 0; })) << "no terminal window";
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));  // the prompt
        typeKeys(display, "a");
    }
    void end() {
        typeKeys(display, "q");
        display.run("pkill -f 'zorbel --no-audio' ; sleep 0.3; pkill -KILL -f 'zorbel --no-audio'");
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
    ASSERT_TRUE(eventually(10, [&] { return windowSize(display).first == 0; }));

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
