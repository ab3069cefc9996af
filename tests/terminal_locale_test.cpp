// The locale warning: which codeset names count as UTF-8, and what the one line says.
#include <clocale>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "platform/terminal/locale_check.h"

namespace {

TEST(LocaleCheck, Utf8CodesetNamesInAnySpellingAndNothingElse) {
    for (const char* name : {"UTF-8", "utf-8", "UTF8", "utf8", "Utf_8"}) EXPECT_TRUE(isUtf8Codeset(name)) << name;
    for (const char* name : {"ANSI_X3.4-1968", "ISO-8859-1", "UTF-16", "", "UTF-8x"}) EXPECT_FALSE(isUtf8Codeset(name)) << name;
    EXPECT_FALSE(isUtf8Codeset(nullptr));
}

// Runs the check with LC_ALL set as given (unset afterwards); returns what it printed.
std::string warningWith(const char* lcAll) {
    setenv("LC_ALL", lcAll, 1);
    ::testing::internal::CaptureStderr();
    warnIfLocaleIsNotUtf8();
    unsetenv("LC_ALL");
    return ::testing::internal::GetCapturedStderr();
}

TEST(LocaleCheck, WarnsOnceNamingTheVariableOnlyWhenNotUtf8AndLeavesTheLocaleAlone) {
    const std::string before = std::setlocale(LC_CTYPE, nullptr);
    EXPECT_EQ(warningWith("C"),
              "zorbel: the locale is not UTF-8 (LC_ALL=C); the half blocks may not show. Try LANG=C.UTF-8.\n");
    EXPECT_EQ(warningWith("C.UTF-8"), "");
    EXPECT_EQ(std::setlocale(LC_CTYPE, nullptr), before);
    EXPECT_NE(localeWarning(nullptr, nullptr).find("(unset)"), std::string::npos);
}

}  // namespace
