// zorbel-sheet: tiles captured frames into one contact sheet PNG.
#include <CLI/CLI.hpp>
#include <cstdio>

#include "contact_sheet.h"

int main(int argc, char** argv) {
    CLI::App app{"Tile PNG pictures (for example captured frames) into one contact sheet."};
    std::string output;
    std::vector<std::string> inputs;
    int columns = 4;
    app.add_option("OUT.png", output, "contact sheet to write")->required();
    app.add_option("IN.png", inputs, "pictures, in order")->required();
    app.add_option("--columns", columns, "pictures per row (default 4)")->check(CLI::Range(1, 64));
    CLI11_PARSE(app, argc, argv);
    try {
        std::vector<RgbaImage> pictures;
        for (const std::string& input : inputs) pictures.push_back(readPng(input));
        const RgbaImage sheet = tilePictures(pictures, columns, 8);
        writePng(output, sheet.width, sheet.height, toRgb(sheet));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zorbel-sheet: %s\n", e.what());
        return 1;
    }
    return 0;
}
