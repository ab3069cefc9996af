// The temporary names of output files, the same on every system.
#include "platform/system/files.h"

bool temporaryNameOf(const std::string& name, const std::string& finalName) {
    const std::string suffix = ".partial";
    const size_t tag = 6;
    if (name.size() != finalName.size() + 1 + tag + suffix.size()) return false;
    if (name.compare(0, finalName.size(), finalName) != 0 || name[finalName.size()] != '.') return false;
    if (name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) return false;
    for (size_t i = finalName.size() + 1; i < finalName.size() + 1 + tag; ++i) {
        const char c = name[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    }
    return true;
}
