// The committed Data/ byte for byte from the tools; what uses the font only with the font file Data/ was made from.
#include "data_generator.h"
#include "file_io.h"
#include "font_sheet.h"
#include "tool_test_util.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>

TEST(DataFolder, RegeneratesByteIdenticallyTheFontDependentFilesOnlyWithTheRecordedFont) {
    if (!std::filesystem::exists(defaultFontPath)) GTEST_SKIP() << "no " << defaultFontPath;
    const bool recordedFont = fnv1a64(readFile(defaultFontPath)) == committedFontFingerprint;
    if (!recordedFont) std::cout << "font.raw and intro.raw not compared: " << defaultFontPath << " is another file\n";
    const std::string dir = scratchDir("regenerate");
    const std::vector<DataFile> files = generateData(defaultFontPath);
    writeData(files, dir);
    int compared = 0;
    for (const DataFile& f : files) {
        if (f.usesFont && !recordedFont) continue;
        EXPECT_EQ(readFile(dir + "/" + f.name), readFile(ZORBEL_SOURCE_DIR "/Data/" + f.name)) << f.name;
        ++compared;
    }
    EXPECT_EQ(compared, recordedFont ? 6 : 4);
}
