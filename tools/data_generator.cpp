// Data generation (see data_generator.h).
#include "data_generator.h"

#include "file_io.h"
#include "font_sheet.h"
#include "pictures.h"
#include "tune.h"

#include <filesystem>

std::vector<DataFile> generateData(const std::string& fontPath) {
    std::vector<DataFile> files;
    files.push_back({"intro.raw", makeTitlePicture(fontPath), true});
    files.push_back({"intro2.raw", makeDuskPicture(), false});
    files.push_back({"intro3.raw", makeFractalPicture(), false});
    files.push_back({"intro4.raw", makeRaytracedPicture(), false});
    files.push_back({"font.raw", makeFontSheet(fontPath), true});
    files.push_back({"QUABTUNE.xm", writeXm(composeTune()), false});
    return files;
}

void writeData(const std::vector<DataFile>& files, const std::string& outDir) {
    if (!std::filesystem::is_directory(outDir)) throw ToolError("output folder '" + outDir + "' does not exist");
    for (const DataFile& f : files) writeFileAtomic(outDir + "/" + f.name, f.bytes);
}
