#include "driver/capture_folder.h"

#include <vector>

#include "platform/system/files.h"

bool isCaptureFileName(const std::string& name) {
    if (name == "frames.csv" || name == "audio.wav") return true;
    const std::string prefix = "frame-", suffix = ".png";
    if (name.size() < prefix.size() + 6 + suffix.size()) return false;
    if (name.compare(0, prefix.size(), prefix) != 0) return false;
    if (name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) return false;
    for (size_t i = prefix.size(); i < name.size() - suffix.size(); ++i)
        if (name[i] < '0' || name[i] > '9') return false;
    return true;
}

std::string prepareCaptureFolder(const std::string& folder, bool force) {
    std::string reason;
    if (!makeDirectories(folder, reason)) return "--capture: cannot create " + folder + ": " + reason;
    std::vector<std::string> earlier;
    for (const std::string& name : folderEntries(folder))
        if (isCaptureFileName(name)) earlier.push_back(name);
    if (earlier.empty()) return "";
    if (!force)
        return "--capture: " + folder + " already holds a capture (" + std::to_string(earlier.size()) +
               " files); add --force to replace it";
    for (const std::string& name : earlier)
        if (!removeFile(folder + "/" + name, reason)) return "--capture: cannot remove " + folder + "/" + name + ": " + reason;
    return "";
}
