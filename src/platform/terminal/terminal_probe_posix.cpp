// Learning what the terminal can show: the environment, its terminfo entry, and its own
// answers to one write of questions, read through the input decoder for at most about
// 200 ms (a terminal that answers nothing costs that once; one that answers costs one
// round trip, since its answer to the last question says every earlier one is in).
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "platform/input/viewer_input.h"
#include "platform/terminal/terminal_colors.h"
#include "platform/terminal/terminal_frame.h"
#include "platform/terminal/terminal_io.h"
#include "platform/terminal/terminfo.h"

namespace {

constexpr int answerWaitMs = 200;

bool throughScreen = false;

// Done when the device attributes came back; inside screen the palette answers come from
// the terminal it runs in, after screen's own answer, so they are waited for too.
bool allAnswered() {
    return terminalAnswers.deviceAttributes > 0 && (!throughScreen || terminalAnswers.paletteAnswers == 16);
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

TerminalFacts learnTerminalFacts() {
    TerminalFacts facts;
    facts.term = environment("TERM");
    facts.colorterm = environment("COLORTERM");
    facts.insideTmux = !environment("TMUX").empty();
    facts.insideScreen = !facts.insideTmux && (!environment("STY").empty() || facts.term.rfind("screen", 0) == 0);
    const TerminfoColors terminfo = readTerminfoColors(facts.term);
    facts.terminfoDirectColor = terminfo.directColor;
    facts.terminfoColors = terminfo.colors;
    if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO) || !enterRawInput()) return facts;

    throughScreen = facts.insideScreen;
    const std::string questions = terminalQuestions(throughScreen);
    writeToTerminal(questions.data(), questions.size());
    awaitTerminalAnswers(answerWaitMs, allAnswered);
    facts.asked = true;
    facts.answers = terminalAnswers;
    if (terminalAnswers.deviceAttributes > 0) paceFramesByAnswers();
    // A terminal that does not know a question may have printed part of it.
    clearTerminalScreen();
    return facts;
}
