#include "platform/terminal/locale_check.h"

#include <cctype>

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
