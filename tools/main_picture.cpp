// zorbel-picture: converts a PNG into the demo's 80 x 100 picture format.
#include "file_io.h"
#include "picture_convert.h"
#include "png_io.h"

#include <CLI/CLI.hpp>

#include <cstdio>

int main(int argc, char** argv) {
    CLI::App app{"Convert a PNG into an 80 x 100 Zorbel picture (24000 bytes, planar RGB)."};
    std::string input, output, preview;
    bool dither = false;
    app.add_option("IN.png", input, "PNG file to convert (any colour type and depth)")->required();
    app.add_option("OUT.raw", output, "picture file to write")->required();
    app.add_flag("--dither", dither, "ordered dither tuned to the demo's colour thresholds");
    app.add_option("--preview", preview, "also write a 640 x 800 PNG of how the demo shows it");
    CLI11_PARSE(app, argc, argv);
    try {
        const std::vector<uint8_t> picture = convertPng(input, dither);
        writeFileAtomic(output, picture);
        if (!preview.empty()) writePng(preview, pictureW * previewScale, pictureH * previewScale, previewRgb(picture));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zorbel-picture: %s\n", e.what());
        return 1;
    }
    return 0;
}
