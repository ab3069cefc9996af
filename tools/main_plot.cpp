// zorbel-plot: plots the bass level of a capture's frames.csv as a PNG.
#include <CLI/CLI.hpp>
#include <cstdio>

#include "contact_sheet.h"

int main(int argc, char** argv) {
    CLI::App app{"Plot bass_level over demo_time from a capture's frames.csv."};
    std::string input, output;
    double from = 0, to = 1e9;
    int width = 640, height = 220;
    app.add_option("frames.csv", input, "the capture's table")->required();
    app.add_option("OUT.png", output, "plot to write")->required();
    app.add_option("--from", from, "first second to plot");
    app.add_option("--to", to, "last second to plot");
    app.add_option("--width", width, "pixels (default 640)")->check(CLI::Range(16, 8192));
    app.add_option("--height", height, "pixels (default 220)")->check(CLI::Range(16, 8192));
    CLI11_PARSE(app, argc, argv);
    try {
        const RgbaImage plot = plotPoints(readBassLevels(input, from, to), width, height);
        writePng(output, plot.width, plot.height, toRgb(plot));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zorbel-plot: %s\n", e.what());
        return 1;
    }
    return 0;
}
