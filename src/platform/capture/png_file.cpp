#include "platform/capture/png_file.h"

#include <png.h>
#include <vector>

#include "platform/system/files.h"

namespace {

void appendBytes(png_structp png, png_bytep bytes, png_size_t count) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), bytes, bytes + count);
}

void flushNothing(png_structp) {}

// Compresses the picture into `out`, so the file takes one write.
bool encodeRows(std::vector<uint8_t>& out, int width, int height, const uint8_t* rgb) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, appendBytes, flushNothing);
    // Captures are written by the thousand: fast compression beats a few percent of size.
    // Pictures of flat cells repeat each row `scale` times, so the "up" filter alone turns
    // most rows into zeros; trying every filter on every row costs twice the time.
    png_set_compression_level(png, 1);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) png_write_row(png, rgb + static_cast<size_t>(y) * width * 3);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool writePng(const std::string& path, int width, int height, const uint8_t* rgb, std::string& reason) {
    thread_local std::vector<uint8_t> bytes;  // one per writer thread, reused picture after picture
    bytes.clear();
    if (!encodeRows(bytes, width, height, rgb)) {
        reason = "cannot compress " + path;
        return false;
    }
    NewFile file;
    std::string why;
    if (!createNewFile(path, file, why) || !writeNewFile(file, bytes.data(), bytes.size(), why) ||
        !keepNewFile(file, why)) {
        dropNewFile(file);
        reason = "cannot write " + path + ": " + why;
        return false;
    }
    return true;
}
