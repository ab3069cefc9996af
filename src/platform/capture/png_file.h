// Writing RGB pictures as PNG files, for captures.
//
// The file appears complete or not at all: it is written under a temporary name in the
// same folder and renamed when done.
#pragma once

#include <cstdint>
#include <string>

// `rgb` holds width * height pixels of three bytes, row by row from the top.
bool writePng(const std::string& path, int width, int height, const uint8_t* rgb, std::string& reason);
