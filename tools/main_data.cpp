// zorbel-data: generates all six files of Data/ (pictures, font sheet, tune).
#include "bass_meter.h"
#include "data_generator.h"
#include "file_io.h"
#include "font_sheet.h"
#include "picture_convert.h"
#include "png_io.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>

namespace {

void reportBass(const std::vector<uint8_t>& tune) {
    BassTrace trace = measureBass(tune, 0.0, 130.0);
    std::vector<float> v = trace.levels;
    std::sort(v.begin(), v.end());
    std::printf("bassLevel over %zu frames: min %.2f  median %.2f  90%% %.2f  max %.2f; peak sample %.3f\n",
                v.size(), v.front(), v[v.size() / 2], v[v.size() * 9 / 10], v.back(), trace.peakSample);
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Generate the Zorbel data files: intro*.raw, font.raw, QUABTUNE.xm."};
    std::string outDir, font = defaultFontPath, previewDir;
    bool bass = false;
    app.add_option("OUT_DIR", outDir, "existing folder to write into (normally Data)")->required();
    app.add_option("--font", font, "font for the font sheet and the title")->default_val(defaultFontPath);
    app.add_option("--preview", previewDir, "also write a PNG of how the demo shows each picture");
    app.add_flag("--bass-report", bass, "measure the bass level the demo will see in the tune");
    CLI11_PARSE(app, argc, argv);
    try {
        const std::vector<DataFile> files = generateData(font);
        writeData(files, outDir);
        for (const DataFile& f : files) {
            if (!previewDir.empty() && f.bytes.size() == static_cast<size_t>(pictureSize))
                writePng(previewDir + "/" + f.name + ".png", pictureW * previewScale, pictureH * previewScale,
                         previewRgb(f.bytes));
            if (bass && f.name == "QUABTUNE.xm") reportBass(f.bytes);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zorbel-data: %s\n", e.what());
        return 1;
    }
    return 0;
}
