// Generates every file the demo reads from Data/: four pictures, the font sheet and the
// tune. Deterministic: the same font file gives byte-identical output on every run.
//
// Called by zorbel-data and by the reproducibility test. The font file feeds the font
// sheet and the title picture; nothing else reads outside the program.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct DataFile {
    std::string name;  // file name inside Data/
    std::vector<uint8_t> bytes;
    bool usesFont;     // depends on the font file (and the FreeType that renders it)
};

std::vector<DataFile> generateData(const std::string& fontPath);

// Writes each file atomically into `outDir`, which must exist.
void writeData(const std::vector<DataFile>& files, const std::string& outDir);

// FNV-1a of the DejaVu Sans Mono Bold file from which the committed Data/ was made
// (fonts-dejavu-core 2.37-6, rendered by FreeType 2.12.1). Output that uses the font is
// reproducible only with that file.
constexpr uint64_t committedFontFingerprint = 0x043929f9a80df8b8ull;
