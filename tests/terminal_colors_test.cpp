// Choosing how colours reach a terminal from what it says, and the palette that one
// method sets and must put back exactly.
#include <string>

#include <gtest/gtest.h>

#include "platform/input/input_decoder.h"
#include "platform/terminal/terminal_colors.h"

namespace {

// The answers real terminals gave to the start-up questions.
const char xtermAnswers[] =
    "\x1bP1$r0;48:2::1:2:3m\x1b\\\x1bP>|XTerm(379)\x1b\\\x1b]4;1;rgb:cdcd/0000/0000\x07\x1b[?64;1;2;6;9;15;16;17;18;21;22;28c";
const char urxvtAnswers[] = "\x1b]4;1;rgb:cdcd/0000/0000\x07\x1b]4;9;rgb:ffff/0000/0000\x07\x1b[?1;2c";
const char tmuxAnswers[] = "\x1bP>|tmux 3.3a\x1b\\\x1b[?1;2c";

TerminalAnswers* reading = nullptr;
void readInto(const char* sequence, size_t length) { readTerminalAnswer(*reading, sequence, length); }

// The facts of a terminal whose answers arrive as `answers`, read as the program reads them.
TerminalFacts factsFrom(const std::string& term, const std::string& answers, const std::string& colorterm = "") {
    TerminalFacts facts;
    facts.term = term;
    facts.colorterm = colorterm;
    facts.insideScreen = term.rfind("screen", 0) == 0;
    facts.asked = true;
    InputDecoder decoder;
    std::string keys;
    reading = &facts.answers;
    feedInput(decoder, answers.data(), answers.size(), 0, keys, readInto);
    EXPECT_EQ(keys, "") << "an answer was taken for a key";
    return facts;
}

TEST(TerminalColors, TheBestExactMethodEachTerminalHas) {
    const struct { const char* label; TerminalFacts facts; ColorMode mode; } cases[] = {
        {"xterm keeps a 24-bit colour", factsFrom("xterm", xtermAnswers), ColorMode::truecolor},
        {"urxvt reports its palette", factsFrom("rxvt-unicode-256color", urxvtAnswers), ColorMode::palette},
        {"a palette beats a claim of 24-bit colour, which may round",
         factsFrom("mlterm", std::string("\x1bP1+r524742\x1b\\") + urxvtAnswers, "truecolor"), ColorMode::palette},
        {"tmux keeps a pane palette", factsFrom("tmux-256color", tmuxAnswers), ColorMode::palette},
        {"tmux over SSH calls itself screen", factsFrom("screen-256color", tmuxAnswers), ColorMode::palette},
        {"screen never keeps 24-bit colour", factsFrom("screen", "\x1b[?1;2c", "truecolor"), ColorMode::palette},
        {"COLORTERM alone", factsFrom("xterm-256color", "\x1b[?62c", "truecolor"), ColorMode::truecolor},
        {"a capability list alone", factsFrom("foot", "\x1bP1+r5463=\x1b\\\x1b[?62c"), ColorMode::truecolor},
        {"256 colours and no answers", factsFrom("xterm-256color", ""), ColorMode::cube256},
        {"nothing known", factsFrom("xterm", ""), ColorMode::ansi16},
        {"a refused capability", factsFrom("xterm", "\x1bP0+r524742\x1b\\"), ColorMode::ansi16},
    };
    for (const auto& [label, facts, mode] : cases) EXPECT_EQ(chooseColorMode(ColorChoice::automatic, facts), mode) << label;

    const TerminalFacts xterm = factsFrom("xterm", xtermAnswers);
    const struct { const char* text; ColorMode mode; } chosen[] = {
        {"truecolor", ColorMode::truecolor}, {"palette", ColorMode::palette}, {"256", ColorMode::cube256},
        {"16", ColorMode::ansi16}};
    for (const auto& [text, mode] : chosen) {
        ColorChoice choice = ColorChoice::automatic;
        ASSERT_TRUE(parseColorChoice(text, choice)) << text;
        EXPECT_EQ(chooseColorMode(choice, xterm), mode) << text;
    }
    ColorChoice choice;
    for (const char* wrong : {"", "Auto", "24bit", "256 "}) EXPECT_FALSE(parseColorChoice(wrong, choice)) << wrong;
}

TEST(TerminalColors, ThePaletteIsSetToTheShowsColoursAndPutBackAsItWas) {
    // Console colour 1 (dark blue) is ANSI entry 4, console 12 (bright red) ANSI entry 9.
    const std::string set = paletteSetSequence(false);
    EXPECT_NE(set.find("\x1b]4;4;rgb:00/00/80\x07"), std::string::npos);
    EXPECT_NE(set.find("\x1b]4;9;rgb:ff/00/00\x07"), std::string::npos);
    EXPECT_NE(set.find("\x1b]4;7;rgb:c0/c0/c0\x07"), std::string::npos);
    EXPECT_NE(set.find("\x1b]4;8;rgb:80/80/80\x07"), std::string::npos);

    // Entries the terminal reported go back exactly as it said them; the others to its defaults.
    const TerminalFacts urxvt = factsFrom("rxvt-unicode-256color", urxvtAnswers);
    const std::string restore = paletteRestoreSequence(urxvt.answers, false);
    EXPECT_NE(restore.find("\x1b]4;1;rgb:cdcd/0000/0000\x07"), std::string::npos);
    EXPECT_NE(restore.find("\x1b]4;9;rgb:ffff/0000/0000\x07"), std::string::npos);
    EXPECT_NE(restore.find("\x1b]104;0\x07"), std::string::npos);
    EXPECT_EQ(restore.find("\x1b]104;1\x07"), std::string::npos);
    int entries = 0;
    for (size_t at = restore.find("\x1b]"); at != std::string::npos; at = restore.find("\x1b]", at + 1)) ++entries;
    EXPECT_EQ(entries, 16);

    // Inside screen every sequence is wrapped for screen to pass on.
    const std::string wrapped = paletteSetSequence(true);
    EXPECT_EQ(wrapped.rfind("\x1bP\x1b]4;", 0), 0u);
    EXPECT_EQ(wrapped.size(), set.size() + 16 * 4);
}

TEST(TerminalColors, OddAnswersAreIgnored) {
    TerminalAnswers answers;
    for (const char* odd : {"\x1b]4;16;rgb:ff/ff/ff", "\x1b]4;-1;rgb:ff/ff/ff", "\x1b]4;1;rgb:fffff/0/0", "\x1b]4;1;?",
                            "\x1b]4;1;rgb:ff/ff", "\x1b]4;x;rgb:ff/ff/ff", "\x1bP1$r38;5;16m", "\x1b[0n"}) {
        readTerminalAnswer(answers, odd, std::string(odd).size());
    }
    EXPECT_EQ(answers.paletteAnswers, 0);
    EXPECT_FALSE(answers.keptDirectColor);
    EXPECT_EQ(answers.deviceAttributes, 0u);
    // Several entries in one answer.
    const std::string two = "\x1b]4;0;rgb:0/0/0;15;rgb:ffff/ffff/ffff";
    readTerminalAnswer(answers, two.data(), two.size());
    EXPECT_EQ(answers.palette[15], "rgb:ffff/ffff/ffff");
    EXPECT_EQ(answers.paletteAnswers, 2);
}

TEST(TerminalColors, TheNearestCubeColoursAndTheAnsiNumbers) {
    // The console's colours in the 256-colour set: exact where the cube or the grey ramp has them.
    const int expected[16] = {16, 18, 28, 30, 88, 90, 100, 250, 244, 21, 46, 51, 196, 201, 226, 231};
    for (int nibble = 0; nibble < 16; ++nibble) EXPECT_EQ(nearestCubeColor(nibble), expected[nibble]) << nibble;
    char text[20];
    EXPECT_EQ(std::string(text, colorParameters(12, false, ColorMode::palette, text)), "91");
    EXPECT_EQ(std::string(text, colorParameters(1, true, ColorMode::palette, text)), "44");
    EXPECT_EQ(std::string(text, colorParameters(1, true, ColorMode::cube256, text)), "48;5;18");
}

}  // namespace
