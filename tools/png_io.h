// PNG reading and writing with libpng, for the picture converter, the previews and tests.
//
// readPng accepts every PNG colour type and bit depth (grey, grey+alpha, palette with or
// without transparency, RGB, RGBA, 1..16 bits) and always returns 8-bit RGBA. writePng
// writes 8-bit RGB. Failures throw ToolError with libpng's reason; no half-written file
// is left behind (writePng goes through writeFileAtomic).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RgbaImage {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;  // width x height x 4, row by row from the top
};

RgbaImage readPng(const std::string& path);

// `rgb` holds width x height x 3 bytes, row by row from the top.
void writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);
