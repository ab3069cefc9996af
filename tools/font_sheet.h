// Rasterises a TrueType/OpenType font into the demo's font sheet with FreeType.
//
// The sheet is three planes of 256 x 250 bytes (192000 bytes); the glyph of code c is the
// 16 x 16 block at column 16*(c%16), row 16*(c/16). Ink is written as 255 in all three
// planes, no ink as 0. Codes 32..126 are drawn; everything else stays empty. Used by
// zorbel-font and the data generator. Also renders plain text for the title picture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int sheetWidth = 256;
constexpr int sheetHeight = 250;
constexpr int sheetPlaneBytes = sheetWidth * sheetHeight;
constexpr int sheetBytes = 3 * sheetPlaneBytes;
constexpr int glyphCell = 16;
constexpr int defaultFontPixels = 15;  // DejaVu Sans Mono Bold: 9-pixel advance
constexpr const char* defaultFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf";

// Throws ToolError for an unreadable file, a file FreeType cannot open, a size out of
// range, or a font that lacks a glyph for any of 33..126.
std::vector<uint8_t> makeFontSheet(const std::string& fontPath, int pixelSize = defaultFontPixels);

// Coverage (0..255) of `text` drawn in one line at `pixelSize`; width x height, row by row.
struct Coverage {
    int width = 0, height = 0;
    std::vector<uint8_t> alpha;
};
Coverage renderTextLine(const std::string& fontPath, const std::string& text, int pixelSize);
