// Cost of the drawing effects and of the wireframe flush, one frame's worth each.
#include <cstring>

#include <benchmark/benchmark.h>

#include "display/color_grid.h"
#include "display/display_config.h"
#include "driver/demo.h"
#include "driver/frame_state.h"
#include "effects/fields.h"
#include "effects/image.h"
#include "effects/text.h"
#include "render3d/matrix.h"
#include "render3d/models.h"
#include "render3d/primitives.h"
#include "render3d/projection.h"

namespace {

const char* const sentence =
    "You are experiencing the power of text mode, now lets move on and look at something "
    "more interesting...";

void setUpView() {
    displayConfig.width = 80;
    displayConfig.height = 50;
    projScaleX = 111.70364379882812f;
    projScaleY = 139.62954711914062f;
    primitiveList.currentStyle = styleDefault;
}

// A synthetic sheet: every glyph of 33..126 gets a box outline and a diagonal, about as
// much ink as a real font.
void makeFont(FontSheet& font) {
    std::memset(font, 0, sizeof font);
    for (int code = 33; code < 127; ++code) {
        const int base = (code / 16) * 16 * fontSheetWidth + (code % 16) * 16;
        for (int k = 2; k < 14; ++k) {
            font[base + 2 * fontSheetWidth + k] = 255;
            font[base + 13 * fontSheetWidth + k] = 255;
            font[base + k * fontSheetWidth + 2] = 255;
            font[base + k * fontSheetWidth + 13] = 255;
            font[base + k * fontSheetWidth + k] = 255;
        }
    }
}

void queueSpikedCubes() {
    loadIdentity();
    translate(0, 0, -12);
    rotateAxes(1, 1, 1);
    penColor = Rgb{0, 0, 0};
    drawSpikedCube();
    penColor = Rgb{1, 1, 1};
    drawSpikedCube();
}

void flushQueue() {
    for (int32_t i = 0; i < primitiveList.count; ++i) {
        projectPrimitive(primitiveList.items[i]);
        drawPrimitiveEdges(primitiveList.items[i]);
    }
    primitiveList.count = 0;
    primitiveList.vertexCursor = 0;
}

void BM_Plasma(benchmark::State& state) {
    setUpView();
    demoTime = 100.0f;
    for (auto _ : state) {
        drawPlasma();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Plasma);

void BM_BlueRipple(benchmark::State& state) {
    setUpView();
    demoTime = 70.0f;
    for (auto _ : state) {
        drawBlueRipple();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BlueRipple);

void BM_WavyImage(benchmark::State& state) {
    setUpView();
    for (int i = 0; i < pictureBytes; ++i) introPicture4[i] = static_cast<uint8_t>(i * 7);
    demoTime = 40.0f;
    for (auto _ : state) {
        drawWavyImage();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_WavyImage);

void BM_Sentence(benchmark::State& state) {
    setUpView();
    static FontSheet font;
    makeFont(font);
    demoTime = 100.0f;
    for (auto _ : state) {
        drawText(2, 8, 6, font, 1, 1, 0, 40, 40, "%s", sentence);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Sentence);

void BM_SpikedCubeFlush(benchmark::State& state) {
    setUpView();
    demoTime = 100.0f;
    for (auto _ : state) {
        queueSpikedCubes();
        flushQueue();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SpikedCubeFlush);

// The heaviest frame of the demo: plasma, two spiked cubes and a sentence.
void BM_HeaviestFrame(benchmark::State& state) {
    setUpView();
    static FontSheet font;
    makeFont(font);
    demoTime = 100.0f;
    for (auto _ : state) {
        drawPlasma();
        queueSpikedCubes();
        drawText(2, 8, 6, font, 1, 1, 0, 40, 40, "%s", sentence);
        flushQueue();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_HeaviestFrame);

}  // namespace
