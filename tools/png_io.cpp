// PNG reading and writing (see png_io.h).
//
// libpng reports errors by longjmp. The functions that call it keep all their state in a
// struct that lives in the caller's frame, so the jump skips no C++ destructor, and the
// error text is turned into a ToolError only after libpng has been left.
#include "png_io.h"

#include "file_io.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace {

struct PngJob {
    FILE* file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    char message[256] = "";
    std::vector<uint8_t>* buffer = nullptr;  // filled by the decoder, or read by the encoder
    png_uint_32 width = 0, height = 0;
    std::vector<png_bytep> rows;
};

void onError(png_structp png, png_const_charp text) {
    PngJob* job = static_cast<PngJob*>(png_get_error_ptr(png));
    std::snprintf(job->message, sizeof job->message, "%s", text);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}  // warnings do not stop a conversion

// Decodes into *job.buffer; returns false with job.message set on a libpng error.
bool decode(PngJob& job) {
    if (setjmp(png_jmpbuf(job.png))) return false;
    png_init_io(job.png, job.file);
    png_read_info(job.png, job.info);
    // Normalise every colour type and depth to 8-bit RGBA with libpng's transforms.
    const int colorType = png_get_color_type(job.png, job.info);
    png_set_expand(job.png);  // palette to RGB, low-bit grey to 8 bits, tRNS to alpha
    png_set_scale_16(job.png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(job.png);
    png_set_add_alpha(job.png, 0xFF, PNG_FILLER_AFTER);  // no effect when alpha exists
    png_set_interlace_handling(job.png);
    png_read_update_info(job.png, job.info);
    job.width = png_get_image_width(job.png, job.info);
    job.height = png_get_image_height(job.png, job.info);
    if (png_get_rowbytes(job.png, job.info) != job.width * 4) png_error(job.png, "unexpected row layout");
    job.buffer->resize(static_cast<size_t>(job.width) * job.height * 4);
    job.rows.resize(job.height);
    for (png_uint_32 y = 0; y < job.height; ++y) job.rows[y] = job.buffer->data() + static_cast<size_t>(y) * job.width * 4;
    png_read_image(job.png, job.rows.data());
    png_read_end(job.png, nullptr);
    return true;
}

bool encode(PngJob& job) {
    if (setjmp(png_jmpbuf(job.png))) return false;
    png_init_io(job.png, job.file);
    png_set_IHDR(job.png, job.info, job.width, job.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(job.png, job.info);
    job.rows.resize(job.height);
    for (png_uint_32 y = 0; y < job.height; ++y) job.rows[y] = job.buffer->data() + static_cast<size_t>(y) * job.width * 3;
    png_write_image(job.png, job.rows.data());
    png_write_end(job.png, nullptr);
    return true;
}

}  // namespace

RgbaImage readPng(const std::string& path) {
    PngJob job;
    RgbaImage image;
    job.buffer = &image.pixels;
    job.file = std::fopen(path.c_str(), "rb");
    if (!job.file) throw ToolError("cannot open '" + path + "': " + std::strerror(errno));
    unsigned char signature[8] = {};
    const size_t got = std::fread(signature, 1, 8, job.file);
    std::rewind(job.file);
    bool ok = false;
    if (got == 8 && png_sig_cmp(signature, 0, 8) == 0) {
        job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, onError, onWarning);
        job.info = job.png ? png_create_info_struct(job.png) : nullptr;
        if (job.info) ok = decode(job);
        else std::snprintf(job.message, sizeof job.message, "out of memory");
    } else {
        std::snprintf(job.message, sizeof job.message, "not a PNG file");
    }
    png_destroy_read_struct(job.png ? &job.png : nullptr, job.info ? &job.info : nullptr, nullptr);
    std::fclose(job.file);
    if (!ok) throw ToolError("cannot decode '" + path + "': " + job.message);
    image.width = static_cast<int>(job.width);
    image.height = static_cast<int>(job.height);
    return image;
}

void writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
    if (width <= 0 || height <= 0 || rgb.size() != static_cast<size_t>(width) * height * 3)
        throw ToolError("cannot write '" + path + "': bad image size");
    const std::string tmp = path + ".tmp-zorbel";
    PngJob job;
    std::vector<uint8_t> pixels = rgb;
    job.buffer = &pixels;
    job.width = static_cast<png_uint_32>(width);
    job.height = static_cast<png_uint_32>(height);
    job.file = std::fopen(tmp.c_str(), "wb");
    if (!job.file) throw ToolError("cannot create '" + tmp + "': " + std::strerror(errno));
    job.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &job, onError, onWarning);
    job.info = job.png ? png_create_info_struct(job.png) : nullptr;
    bool ok = job.info && encode(job);
    png_destroy_write_struct(job.png ? &job.png : nullptr, job.info ? &job.info : nullptr);
    ok = (std::fclose(job.file) == 0) && ok;
    if (!ok) {
        std::remove(tmp.c_str());
        throw ToolError("cannot write '" + path + "': " + job.message);
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::remove(tmp.c_str());
        throw ToolError("cannot rename '" + tmp + "' to '" + path + "'");
    }
}
