// zorbel-font: rasterises a TrueType/OpenType font into the demo's font sheet.
#include "file_io.h"
#include "font_sheet.h"

#include <CLI/CLI.hpp>

#include <cstdio>

int main(int argc, char** argv) {
    CLI::App app{"Render codes 32..126 of a font into a Zorbel font sheet (192000 bytes)."};
    std::string input, output;
    int size = defaultFontPixels;
    app.add_option("FONT_FILE", input, "TrueType or OpenType font")->required();
    app.add_option("OUT.raw", output, "font sheet to write")->required();
    app.add_option("--size", size, "pixel size; glyphs should come out 8..10 pixels wide")
        ->default_val(defaultFontPixels);
    CLI11_PARSE(app, argc, argv);
    try {
        writeFileAtomic(output, makeFontSheet(input, size));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zorbel-font: %s\n", e.what());
        return 1;
    }
    return 0;
}
