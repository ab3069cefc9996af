#include "driver/data_files.h"

#include <cstdio>
#include <cstdlib>

#include "effects/image.h"
#include "effects/text.h"
#include "platform/system/files.h"

const char* const requiredDataFiles[5] = {"intro.raw", "intro2.raw", "intro3.raw", "intro4.raw", "font.raw"};

namespace {

struct DataBuffer {
    uint8_t* buffer;
    size_t size;
};

// In the order of requiredDataFiles.
const DataBuffer dataBuffers[] = {
    {introPicture1, sizeof(Picture)}, {introPicture2, sizeof(Picture)}, {introPicture3, sizeof(Picture)},
    {introPicture4, sizeof(Picture)}, {fontSheet, sizeof(FontSheet)},
};

std::string chosenFolder;

std::vector<std::string> candidates() {
    return dataFolderCandidates(chosenFolder, std::getenv("ZORBEL_DATA"), workingDirectory(), executableDirectory());
}

// The first required file the folder lacks, or nullptr when it holds them all.
const char* firstMissingFile(const std::string& folder) {
    for (const char* name : requiredDataFiles)
        if (!regularFileExists(folder + "/" + name)) return name;
    return nullptr;
}

// Standard output keeps its one fixed message; the detail goes to standard error.
void reportMissing(const char* name, const std::string& detail) {
    std::printf("Error Failed To Load Data/%s\n", name);
    std::fflush(stdout);
    std::fprintf(stderr, "%s", detail.c_str());
}

std::string triedFolders() {
    std::string list = "zorbel: no data folder holds intro.raw, intro2.raw, intro3.raw, intro4.raw and font.raw; tried:\n";
    for (const std::string& folder : candidates()) {
        const char* missing = firstMissingFile(folder);
        list += "  " + folder + (!directoryExists(folder) ? " (no such folder)\n"
                                 : missing != nullptr   ? std::string(" (no usable ") + missing + ")\n"
                                                        : " (complete)\n");
    }
    return list + "zorbel: choose the folder with --data DIR or ZORBEL_DATA=DIR\n";
}

}  // namespace

std::vector<std::string> dataFolderCandidates(const std::string& chosen, const char* environment,
                                              const std::string& workingFolder,
                                              const std::string& executableFolder) {
    if (!chosen.empty()) return {chosen};
    if (environment != nullptr && environment[0] != '\0') return {environment};
    std::vector<std::string> folders{workingFolder + "/Data"};
    if (!executableFolder.empty()) {
        folders.push_back(executableFolder + "/Data");
        folders.push_back(executableFolder + "/../share/zorbel/Data");
    }
    return folders;
}

void chooseDataFolder(const std::string& folder) { chosenFolder = folder; }

std::string dataFolder() {
    for (const std::string& folder : candidates())
        if (firstMissingFile(folder) == nullptr) return folder;
    return "";
}

bool loadDataFiles() {
    const std::string folder = dataFolder();
    if (folder.empty()) {
        // Name what the first folder tried lacks, the one a viewer most likely meant.
        const char* missing = firstMissingFile(candidates().front());
        reportMissing(missing != nullptr ? missing : requiredDataFiles[0], triedFolders());
        return false;
    }
    for (size_t i = 0; i < sizeof dataBuffers / sizeof dataBuffers[0]; ++i) {
        size_t bytesRead = 0;
        std::string reason;
        // How much was read is not checked: a short file leaves the rest of the buffer zero.
        const std::string path = folder + "/" + requiredDataFiles[i];
        if (!readRegularFile(path, dataBuffers[i].buffer, dataBuffers[i].size, bytesRead, reason)) {
            reportMissing(requiredDataFiles[i], "zorbel: cannot read " + path + ": " + reason + "\n");
            return false;
        }
    }
    return true;
}
