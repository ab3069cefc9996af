#include "platform/terminal/locale_check.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <langinfo.h>

std::string warnIfLocaleIsNotUtf8() {
    const char* previous = std::setlocale(LC_CTYPE, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    const bool utf8 = std::setlocale(LC_CTYPE, "") != nullptr && isUtf8Codeset(nl_langinfo(CODESET));
    std::setlocale(LC_CTYPE, saved.c_str());
    if (utf8) return "";
    // The same order of precedence the C library uses for the character class.
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && value[0] != '\0') {
            const std::string warning = localeWarning(variable, value);
            std::fprintf(stderr, "%s\n", warning.c_str());
            return warning;
        }
    }
    const std::string warning = localeWarning(nullptr, nullptr);
    std::fprintf(stderr, "%s\n", warning.c_str());
    return warning;
}
