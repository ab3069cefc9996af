// The committed Data/ folder, byte for byte from the tools; what depends on the installed font
// only when that font is the file the committed data was made from.
#include "data_generator.h"
#include "file_io.h"
#include "font_sheet.h"
#include "tool_test_util.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const std::vector<DataFile>& generated() {
    static const std::vector<DataFile> files = generateData(defaultFontPath);
    return files;
}

}  // namespace

TEST(DataFolder, RegeneratesByteIdenticallyWithoutTheFont) {
    if (!std::filesystem::exists(defaultFontPath)) GTEST_SKIP() << "no " << defaultFontPath;
    const std::string dir = scratchDir("regenerate");
    writeData(generated(), dir);
    int compared = 0;
    for (const DataFile& f : generated()) {
        if (f.usesFont) continue;
        EXPECT_EQ(readFile(dir + "/" + f.name), readFile(dataPath(f.name))) << f.name << " differs from Data/";
        ++compared;
    }
    EXPECT_EQ(compared, 4);
}

TEST(DataFolder, RegeneratesFontDependentFilesWithTheRecordedFont) {
    if (!std::filesystem::exists(defaultFontPath) || fnv1a64(readFile(defaultFontPath)) != committedFontFingerprint)
        GTEST_SKIP() << "the installed " << defaultFontPath
                     << " is not the file Data/ was made from, so font.raw and intro.raw are not compared";
    for (const DataFile& f : generated())
        EXPECT_TRUE(!f.usesFont || f.bytes == readFile(dataPath(f.name))) << f.name << " differs from Data/";
}
