// Whether the user's locale can show the half blocks the terminal console prints.
//
// Called once by start-up, before the key prompt; it only warns and never stops the
// program. Does not change the program's locale (it is put back after the look-up).
#pragma once

#include <string>

// True for the names a C library gives the UTF-8 codeset ("UTF-8", "utf8", any case).
bool isUtf8Codeset(const char* codeset);

// The warning for a locale that is not UTF-8: names the variable that chose the locale
// (LC_ALL, LC_CTYPE or LANG, the first one set) and its value.
std::string localeWarning(const char* variable, const char* value);

// Prints the warning as one line on standard error when the environment's character
// locale is not UTF-8 and returns it (for the key prompt to show too); prints nothing and
// returns "" otherwise.
std::string warnIfLocaleIsNotUtf8();
