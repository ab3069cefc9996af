#include "driver/data_files.h"

#include <cstdio>

#include "effects/image.h"
#include "effects/text.h"
#include "platform/files.h"

namespace {

struct DataFile {
    const char* path;
    uint8_t* buffer;
    size_t size;
};

const DataFile dataFiles[] = {
    {"Data/intro.raw", introPicture1, sizeof(Picture)},
    {"Data/intro2.raw", introPicture2, sizeof(Picture)},
    {"Data/intro3.raw", introPicture3, sizeof(Picture)},
    {"Data/intro4.raw", introPicture4, sizeof(Picture)},
    {"Data/font.raw", fontSheet, sizeof(FontSheet)},
};

}  // namespace

std::string dataFolderPrefix() {
    if (directoryExists("Data")) return "";
    const std::string executableFolder = executableDirectory();
    if (executableFolder.empty()) return "";
    for (const std::string& candidate : {executableFolder + "/", executableFolder + "/../share/zorbel/"}) {
        if (directoryExists(candidate + "Data")) return candidate;
    }
    return "";
}

bool loadDataFiles() {
    const std::string prefix = dataFolderPrefix();
    for (const DataFile& file : dataFiles) {
        std::FILE* stream = std::fopen((prefix + file.path).c_str(), "rb");
        if (stream == nullptr) {
            std::printf("Error Failed To Load %s\n", file.path);
            std::printf("zorbel: looked for the Data folder in %s\n",
                        prefix.empty() ? workingDirectory().c_str() : prefix.c_str());
            std::fflush(stdout);
            return false;
        }
        // How much was read is not checked: a short file leaves the rest of the buffer zero.
        (void)!std::fread(file.buffer, 1, file.size, stream);
        std::fclose(stream);
    }
    return true;
}
