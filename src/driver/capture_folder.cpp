#include "driver/capture_folder.h"

#include <vector>

#include "platform/system/files.h"

namespace {

// frame-NNNNNN.png with exactly six digits, as the capture names its pictures.
bool isFramePictureName(const std::string& name) {
    const std::string prefix = "frame-", suffix = ".png";
    if (name.size() != prefix.size() + 6 + suffix.size()) return false;
    if (name.compare(0, prefix.size(), prefix) != 0) return false;
    if (name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) return false;
    for (size_t i = prefix.size(); i < name.size() - suffix.size(); ++i)
        if (name[i] < '0' || name[i] > '9') return false;
    return true;
}

}  // namespace

bool isCaptureFileName(const std::string& name) {
    if (name == "frames.csv" || name == "audio.wav" || isFramePictureName(name)) return true;
    // A temporary file an earlier run left (killed, it could not clean up): its final
    // name followed by the six-letter tag and ".partial".
    const size_t tail = 1 + 6 + std::string(".partial").size();
    if (name.size() <= tail) return false;
    const std::string finalName = name.substr(0, name.size() - tail);
    return (finalName == "frames.csv" || finalName == "audio.wav" || isFramePictureName(finalName)) &&
           temporaryNameOf(name, finalName);
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
        if (!removeRegularFile(folder + "/" + name, reason))
            return "--capture: cannot remove " + folder + "/" + name + ": " + reason;
    return "";
}

std::string prepareVideoFile(const std::string& path, bool force) {
    const size_t slash = path.find_last_of("/\\");
    std::string reason;
    if (slash != std::string::npos && slash > 0) {
        const std::string folder = path.substr(0, slash);
        if (!makeDirectories(folder, reason)) return "--video: cannot create " + folder + ": " + reason;
    }
    if (directoryExists(path)) return "--video: " + path + " is a folder";
    if (nameTaken(path) && !force) return "--video: " + path + " already exists; add --force to replace it";
    return "";
}
