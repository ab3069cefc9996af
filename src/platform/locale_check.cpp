#include "platform/locale_check.h"

#include <cctype>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <langinfo.h>

bool isUtf8Codeset(const char* codeset) {
    if (codeset == nullptr) return false;
    std::string letters;
    for (const char* c = codeset; *c != '\0'; ++c) {
        if (*c != '-' && *c != '_') letters += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
    }
    return letters == "utf8";
}

std::string localeWarning(const char* variable, const char* value) {
    std::string where = "unset";
    if (variable != nullptr) where = std::string(variable) + "=" + (value != nullptr ? value : "");
    return "zorbel: the locale is not UTF-8 (" + where + "); the half blocks may not show. Try LANG=C.UTF-8.";
}

void warnIfLocaleIsNotUtf8() {
    const char* previous = std::setlocale(LC_CTYPE, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    const bool utf8 = std::setlocale(LC_CTYPE, "") != nullptr && isUtf8Codeset(nl_langinfo(CODESET));
    std::setlocale(LC_CTYPE, saved.c_str());
    if (utf8) return;
    // The same order of precedence the C library uses for the character class.
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && value[0] != '\0') {
            std::fprintf(stderr, "%s\n", localeWarning(variable, value).c_str());
            return;
        }
    }
    std::fprintf(stderr, "%s\n", localeWarning(nullptr, nullptr).c_str());
}
