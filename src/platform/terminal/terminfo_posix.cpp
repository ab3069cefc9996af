#include "platform/terminal/terminfo.h"

#include <curses.h>
#include <term.h>
#include <unistd.h>

TerminfoColors readTerminfoColors(const std::string& term) {
    TerminfoColors result;
    int error = 0;
    if (term.empty() || setupterm(term.c_str(), STDOUT_FILENO, &error) != OK) return result;
    char rgb[] = "RGB", tc[] = "Tc", setrgbf[] = "setrgbf", colors[] = "colors";
    const char* setForeground = tigetstr(setrgbf);
    result.directColor = tigetflag(rgb) > 0 || tigetflag(tc) > 0 ||
                         (setForeground != nullptr && setForeground != reinterpret_cast<char*>(-1));
    result.colors = tigetnum(colors) > 0 ? tigetnum(colors) : 0;
    del_curterm(cur_term);
    return result;
}
