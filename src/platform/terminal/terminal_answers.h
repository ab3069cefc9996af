// What the terminal has said about itself, in answer to the questions the program asks.
//
// The input decoder (platform/input/input_decoder.h) hands every answer it finds to
// `noteTerminalAnswer`, which keeps what it learns in `terminalAnswers`: at start-up the
// answers to the colour questions (terminal_colors.h), during the show the answers that say
// the viewer has received a frame (terminal_frame.h). Parsing is pure; the record is global
// because answers arrive whenever input is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct TerminalAnswers {
    // Answers to "which device are you" (ESC [ c); every terminal that answers at all
    // answers this one, in order, so its answer says all earlier ones are in.
    uint64_t deviceAttributes = 0;
    bool keptDirectColor = false;   // it kept a 24-bit colour and reported it back
    bool saysDirectColor = false;   // its capability list names RGB or Tc
    std::string version;            // its name and version, when it says
    // The palette entries it reported: "rgb:cdcd/0000/0000", empty when not reported.
    std::string palette[16];
    int paletteAnswers = 0;
};

extern TerminalAnswers terminalAnswers;

// Reads one answer (the whole sequence, ESC included) into `answers`; anything it does not
// know is ignored.
void readTerminalAnswer(TerminalAnswers& answers, const char* sequence, size_t length);

// Reads an answer into the global record; the input decoder's answer handler.
void noteTerminalAnswer(const char* sequence, size_t length);
