// What a terminal's terminfo entry says about its colours. Read once by the POSIX colour
// set-up (terminal_probe_posix.cpp); its own file because the terminfo header defines
// macros (columns, lines) that clash with ordinary names.
#pragma once

#include <string>

struct TerminfoColors {
    bool directColor = false;  // RGB or Tc, or a setrgbf string
    int colors = 0;            // the colors number; 0 when unknown
};

TerminfoColors readTerminfoColors(const std::string& term);
