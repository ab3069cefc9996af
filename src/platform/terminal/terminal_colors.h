// How the show's 16 colours reach the screen: the choice of colour method and the
// terminal palette that one method changes.
//
// Called once by start-up before the key prompt (`setUpTerminalColors`): it asks the
// terminal what it can do (one write of questions, bounded in time, answers read by the
// input decoder), picks the best exact method it has into `terminalColorMode`
// (terminal_stream.h), which the frame encoder reads, and returns the prompt's line that
// says which. Palette mode sets the terminal's 16 entries to the show's colours; every
// restore of the terminal (terminal_io.h) puts back the entries it had, and a continue
// after Ctrl-Z sets them again. The choosing is pure and tested on its own; the asking
// lives in terminal_probe_*.cpp.
#pragma once

#include <string>

#include "platform/terminal/terminal_answers.h"
#include "platform/terminal/terminal_stream.h"

enum class ColorChoice { automatic, truecolor, palette, cube256, ansi16 };

// "auto", "truecolor", "palette", "256" or "16"; false for anything else.
bool parseColorChoice(const std::string& text, ColorChoice& choice);

// What is known of the terminal without asking, and what it answered.
struct TerminalFacts {
    std::string term, colorterm;
    bool insideScreen = false;   // GNU screen: no 24-bit colour; passes sequences on when wrapped
    bool insideTmux = false;     // tmux: keeps a palette for each pane
    bool terminfoDirectColor = false;  // the terminfo entry has RGB, Tc or setrgbf
    int terminfoColors = 0;
    bool asked = false;          // the questions were sent (input and output are the terminal)
    TerminalAnswers answers;
};

// True inside GNU screen (and not tmux, which may also call itself screen).
bool runsInScreen(const TerminalFacts& facts);

// The best method the terminal has: the palette set to the show's colours inside screen
// and tmux; 24-bit colour where it keeps 24-bit colours exactly; else the palette where it
// reports its palette (so it can be put back); else 24-bit colour where it says it has it; else the
// nearest colours of the 256-colour cube; else its own 16 colours.
ColorMode chooseColorMode(ColorChoice choice, const TerminalFacts& facts);

// The prompt's line: which method, and how to choose another.
std::string colorModeNote(ColorMode mode);

// The bytes that set the 16 entries to the show's colours, and those that put back what
// the terminal had (its reported entries, else its defaults). Inside screen each sequence
// is wrapped so that screen passes it on to the terminal it runs in.
std::string paletteSetSequence(bool throughScreen);
std::string paletteRestoreSequence(const TerminalAnswers& answers, bool throughScreen);

// The questions, in one write: the 24-bit colour kept and reported back, the capability
// names RGB and Tc, the terminal's name, its 16 palette entries, and last the device
// attributes, which every terminal answers.
std::string terminalQuestions(bool throughScreen);

// Asks the terminal (when standard input and output are one), picks the mode from `choice`
// and what was learnt, sets the palette when that mode needs it, and returns the note.
std::string setUpTerminalColors(ColorChoice choice);

// Answers that came after the time bound (a slow link, a busy machine) still count: called
// once the viewer has pressed the key, before the first frame, it chooses again with
// everything that has arrived (the palette, once set, stays) and paces the frames if the
// terminal has answered by then.
void takeLateTerminalAnswers();

// The platform's part: what the environment and terminfo say, and the answers to the
// questions when they could be asked (waiting at most about 200 ms).
TerminalFacts learnTerminalFacts();
