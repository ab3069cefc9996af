// Data-tool test helpers: a scratch folder per test, a refusal's message, tiny PNGs of any colour type and depth.
#pragma once

#include <png.h>

#include "file_io.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

inline std::string scratchDir(const std::string& name) {
    const std::filesystem::path dir = std::filesystem::path(ZORBEL_BINARY_DIR) / "tool-test-scratch" / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

// What the ToolError thrown by `action` says, or "no error".
template <class Action> std::string errorOf(Action action) {
    try {
        action();
    } catch (const ToolError& e) {
        return e.what();
    }
    return "no error";
}

// Writes a PNG whose rows are already packed for `colorType` and `depth`; false on any libpng error.
inline bool writeTestPng(const std::string& path, int width, int height, int colorType, int depth,
                         const std::vector<std::vector<uint8_t>>& rows,
                         const std::vector<png_color>& palette = {}, const std::vector<uint8_t>& trns = {}) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> pointers;
    for (const auto& r : rows) pointers.push_back(const_cast<png_bytep>(r.data()));
    volatile bool ok = false;  // read after a longjmp
    if (!setjmp(png_jmpbuf(png))) {
        png_init_io(png, f);
        png_set_IHDR(png, info, width, height, depth, colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
        if (!trns.empty()) png_set_tRNS(png, info, trns.data(), static_cast<int>(trns.size()), nullptr);
        png_write_info(png, info);
        png_write_image(png, pointers.data());
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return ok;
}
