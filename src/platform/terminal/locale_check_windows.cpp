#include "platform/terminal/locale_check.h"

// The Windows console takes UTF-8 whatever the user's locale: the console backend sets
// the console's output code page for the run, so there is nothing to warn about.
std::string warnIfLocaleIsNotUtf8() { return ""; }
