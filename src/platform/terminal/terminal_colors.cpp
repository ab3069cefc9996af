#include "platform/terminal/terminal_colors.h"

#include <cstdio>
#include <cstdlib>

#include "platform/terminal/console_palette.h"
#include "platform/terminal/terminal_frame.h"
#include "platform/terminal/terminal_io.h"

bool parseColorChoice(const std::string& text, ColorChoice& choice) {
    static const struct { const char* name; ColorChoice choice; } names[] = {
        {"auto", ColorChoice::automatic}, {"truecolor", ColorChoice::truecolor}, {"palette", ColorChoice::palette},
        {"256", ColorChoice::cube256},    {"16", ColorChoice::ansi16},
    };
    for (const auto& name : names) {
        if (text == name.name) {
            choice = name.choice;
            return true;
        }
    }
    return false;
}

bool runsInScreen(const TerminalFacts& facts) {
    // tmux also calls itself screen in TERM, and over SSH its TMUX variable stays behind;
    // its answer gives it away.
    return facts.insideScreen && facts.answers.version.rfind("tmux", 0) != 0;
}

ColorMode chooseColorMode(ColorChoice choice, const TerminalFacts& facts) {
    switch (choice) {
        case ColorChoice::truecolor: return ColorMode::truecolor;
        case ColorChoice::palette: return ColorMode::palette;
        case ColorChoice::cube256: return ColorMode::cube256;
        case ColorChoice::ansi16: return ColorMode::ansi16;
        case ColorChoice::automatic: break;
    }
    const TerminalAnswers& answers = facts.answers;
    // screen 4 drops 24-bit colour whatever COLORTERM says, but passes a palette change on;
    // tmux keeps a palette of each pane's own and shows it in the outer terminal's best
    // colours, and the 16 colours' sequences are a third the size of 24-bit ones, which
    // keeps frames small over slow links.
    const bool tmux = facts.insideTmux || answers.version.rfind("tmux", 0) == 0;
    if (runsInScreen(facts) || tmux) return ColorMode::palette;
    // A terminal that kept a 24-bit colour shows it exactly; one that says it has 24-bit
    // colour may still round it (to 256 colours), so a palette it reports comes first.
    if (answers.keptDirectColor) return ColorMode::truecolor;
    if (answers.paletteAnswers > 0) return ColorMode::palette;
    const bool colorterm = facts.colorterm == "truecolor" || facts.colorterm == "24bit";
    if (answers.saysDirectColor || colorterm || facts.terminfoDirectColor) {
        return ColorMode::truecolor;
    }
    if (facts.terminfoColors >= 256 || facts.term.find("256color") != std::string::npos) return ColorMode::cube256;
    return ColorMode::ansi16;
}

std::string colorModeNote(ColorMode mode) {
    switch (mode) {
        case ColorMode::truecolor: return "Colours: exact, in 24-bit colour (--colors to change).";
        case ColorMode::palette: return "Colours: exact, the terminal's palette set for the show (--colors to change).";
        case ColorMode::cube256: return "Colours: nearest of 256; try --colors truecolor or palette.";
        case ColorMode::ansi16: break;
    }
    return "Colours: the terminal's own 16; try --colors truecolor or palette.";
}

namespace {

// screen passes on what is wrapped in its DCS: ESC P ... ESC backslash.
std::string wrapped(const std::string& sequence, bool throughScreen) {
    return throughScreen ? "\x1bP" + sequence + "\x1b\\" : sequence;
}

std::string paletteEntry(int entry, const std::string& spec) {
    return "\x1b]4;" + std::to_string(entry) + ";" + spec + "\x07";
}

}  // namespace

std::string paletteSetSequence(bool throughScreen) {
    std::string bytes;
    for (int nibble = 0; nibble < 16; ++nibble) {
        const PaletteColor& c = consolePalette[nibble];
        char spec[16];
        std::snprintf(spec, sizeof spec, "rgb:%02x/%02x/%02x", c.r, c.g, c.b);
        bytes += wrapped(paletteEntry(ansiColorIndex(nibble), spec), throughScreen);
    }
    return bytes;
}

std::string paletteRestoreSequence(const TerminalAnswers& answers, bool throughScreen) {
    std::string bytes;
    for (int entry = 0; entry < 16; ++entry) {
        // An entry the terminal did not report goes back to its default (OSC 104).
        bytes += wrapped(answers.palette[entry].empty() ? "\x1b]104;" + std::to_string(entry) + "\x07"
                                                        : paletteEntry(entry, answers.palette[entry]),
                         throughScreen);
    }
    return bytes;
}

std::string terminalQuestions(bool throughScreen) {
    std::string bytes =
        "\x1b[48;2;1;2;3m\x1bP$qm\x1b\\\x1b[0m"  // keep a 24-bit background and report it
        "\x1bP+q524742;5463\x1b\\"                // the capabilities RGB and Tc
        "\x1b[>0q";                               // the terminal's name and version
    for (int entry = 0; entry < 16; ++entry) {
        bytes += wrapped("\x1b]4;" + std::to_string(entry) + ";?\x07", throughScreen);
    }
    return bytes + "\x1b[c";
}

namespace {

ColorChoice chosen = ColorChoice::automatic;
TerminalFacts learnt;
bool paletteInUse = false;

void applyColorMode() {
    terminalColorMode = chooseColorMode(chosen, learnt);
    if (terminalColorMode == ColorMode::palette && !paletteInUse) {
        const bool screen = runsInScreen(learnt);
        usePaletteForShow(paletteSetSequence(screen), paletteRestoreSequence(learnt.answers, screen));
        paletteInUse = true;
    }
}

}  // namespace

std::string setUpTerminalColors(ColorChoice choice) {
    chosen = choice;
    learnt = learnTerminalFacts();
    applyColorMode();
    return colorModeNote(terminalColorMode);
}

void takeLateTerminalAnswers() {
    if (!learnt.asked) return;
    const bool answeredLate = learnt.answers.deviceAttributes == 0 && terminalAnswers.deviceAttributes > 0;
    learnt.answers = terminalAnswers;
    if (!paletteInUse) applyColorMode();  // a palette once set stays the method
    if (answeredLate) paceFramesByAnswers();
}
