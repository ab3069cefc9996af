// Procedural pictures (see pictures.h): title card, dusk landscape, fractal.
//
// Colour values here are chosen against the demo's thresholds: 0.5 is the plain colour,
// 1.0 on two channels is the bright one, and ramps between them are dithered.
#include "pictures.h"

#include "font_sheet.h"
#include "picture_convert.h"

#include <algorithm>
#include <cmath>

namespace {

struct Rgb {
    float r, g, b;
};

Rgb mix(Rgb a, Rgb b, float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

void put(FloatImage& image, int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= image.width || y >= image.height) return;
    float* p = image.at(x, y);
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
}

// A ramp through several colours, t in 0..1.
Rgb ramp(const std::vector<Rgb>& stops, float t) {
    t = std::clamp(t, 0.0f, 1.0f) * static_cast<float>(stops.size() - 1);
    const size_t i = std::min(stops.size() - 2, static_cast<size_t>(t));
    return mix(stops[i], stops[i + 1], t - static_cast<float>(i));
}

// Draws a text line centred at row `top`, scaled to fit `maxWidth`, with a one-pixel
// black outline so it stands out from any background.
void drawTitleLine(FloatImage& image, const std::string& fontPath, const std::string& text, int pixelSize,
                   int top, Rgb colour, Rgb colourLow) {
    const Coverage line = renderTextLine(fontPath, text, pixelSize);
    const int left = (image.width - line.width) / 2;
    auto ink = [&](int u, int v) {
        return u >= 0 && v >= 0 && u < line.width && v < line.height &&
               line.alpha[static_cast<size_t>(v * line.width + u)] >= 128;
    };
    for (int v = -1; v <= line.height; ++v)
        for (int u = -1; u <= line.width; ++u) {
            if (ink(u, v)) {
                put(image, left + u, top + v, mix(colour, colourLow, static_cast<float>(v) / line.height));
                continue;
            }
            bool edge = false;
            for (int dv = -1; dv <= 1; ++dv)
                for (int du = -1; du <= 1; ++du) edge = edge || ink(u + du, v + dv);
            if (edge) put(image, left + u, top + v, {0, 0, 0});
        }
}

uint32_t lcg(uint32_t& s) {
    s = s * 1103515245u + 12345u;
    return (s >> 16) & 0x7FFF;
}

}  // namespace

std::vector<uint8_t> makeTitlePicture(const std::string& fontPath) {
    FloatImage img(pictureW, pictureH);
    const int horizon = 70;
    // Night sky deepening into a magenta glow above the horizon.
    for (int y = 0; y < horizon; ++y)
        for (int x = 0; x < pictureW; ++x)
            put(img, x, y, ramp({{0, 0, 0.1f}, {0, 0, 0.45f}, {0.3f, 0, 0.5f}, {0.75f, 0, 0.55f}},
                                static_cast<float>(y) / horizon));
    uint32_t seed = 7;
    for (int i = 0; i < 24; ++i) {
        const int x = static_cast<int>(lcg(seed) % pictureW), y = static_cast<int>(lcg(seed) % 40);
        put(img, x, y, {1, 1, 1});
    }
    // A striped sun sinking behind the horizon.
    const float cx = 40.0f, cy = 68.0f, radius = 17.0f;
    for (int y = 0; y < horizon; ++y)
        for (int x = 0; x < pictureW; ++x) {
            const float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
            if (dx * dx + dy * dy > radius * radius) continue;
            // Gaps that widen toward the horizon.
            const int band = y - 58;
            if (band >= 0 && band % 4 < 1 + band / 5) continue;
            put(img, x, y, {1, 1, 0});
        }
    // A perspective grid on the black floor: rows at distances 1, 2, 3, ... and lines that
    // meet at the vanishing point in the middle of the horizon.
    const float h = static_cast<float>(pictureH - horizon);
    for (int y = horizon; y < pictureH; ++y)
        for (int x = 0; x < pictureW; ++x) put(img, x, y, {0, 0, 0});
    for (int k = 1; k < 12; ++k) {
        const int y = horizon + static_cast<int>(std::lround(h * 1.4f / k)) - 12;
        if (y <= horizon + 1 || y >= pictureH) continue;
        for (int x = 0; x < pictureW; ++x) put(img, x, y, {1, 0, 1});
    }
    for (int x = 0; x < pictureW; ++x) put(img, x, horizon, {1, 0, 1});
    for (int k = -6; k <= 6; ++k)
        for (int y = horizon; y < pictureH; ++y) {
            const float fx = 40.0f + k * 18.0f * (y - horizon) / h;
            put(img, static_cast<int>(std::floor(fx)), y, {1, 0, 1});
        }
    drawTitleLine(img, fontPath, "QVO_4::", 19, 4, {0, 1, 1}, {0, 0.8f, 1});
    drawTitleLine(img, fontPath, "Zorbel", 22, 25, {1, 1, 1}, {0, 1, 1});
    return toPicture(img, true);
}

std::vector<uint8_t> makeDuskPicture() {
    FloatImage img(pictureW, pictureH);
    const int horizon = 64;
    const std::vector<Rgb> skyStops = {{0, 0, 0.1f},   {0, 0, 0.5f}, {0.5f, 0, 0.5f}, {0.5f, 0, 0.1f},
                                       {0.5f, 0.5f, 0}, {1, 1, 0}};
    for (int y = 0; y < horizon; ++y)
        for (int x = 0; x < pictureW; ++x) put(img, x, y, ramp(skyStops, static_cast<float>(y) / (horizon - 4)));
    // Long thin clouds, dark against the glow.
    for (int y = 18; y < 48; ++y)
        for (int x = 0; x < pictureW; ++x) {
            const float c = std::sin(x * 0.11f + y * 0.7f) + std::sin(x * 0.043f - y * 1.3f);
            if (c > 1.2f && (y % 6) < 2) put(img, x, y, {0.5f, 0, 0.5f});
        }
    // The setting sun, white with a yellow rim.
    for (int y = 30; y < horizon; ++y)
        for (int x = 0; x < pictureW; ++x) {
            const float dx = x + 0.5f - 55.0f, dy = y + 0.5f - 47.0f, d2 = dx * dx + dy * dy;
            if (d2 < 90.0f) put(img, x, y, d2 < 50.0f ? Rgb{1, 1, 1} : Rgb{1, 1, 0});
        }
    // Two mountain ranges: a far, dark blue one and a near, black one.
    for (int x = 0; x < pictureW; ++x) {
        const float far = 50.0f + 6.0f * std::sin(x * 0.11f + 1.0f) + 3.0f * std::sin(x * 0.31f) +
                          1.5f * std::sin(x * 0.83f);
        const float nearTop = 59.0f + 4.0f * std::sin(x * 0.07f + 2.5f) + 1.5f * std::sin(x * 0.45f);
        for (int y = static_cast<int>(far); y < horizon; ++y) put(img, x, y, {0, 0, 0.5f});
        for (int y = static_cast<int>(nearTop); y < horizon; ++y) put(img, x, y, {0, 0, 0});
    }
    // The lake mirrors the sky, dimmer, broken into ripples.
    for (int y = horizon; y < pictureH; ++y)
        for (int x = 0; x < pictureW; ++x) {
            const int depth = y - horizon;
            const int shift = static_cast<int>(std::lround(2.0 * std::sin(y * 1.3 + x * 0.15)));
            const int srcY = std::max(0, horizon - 1 - depth * 2);
            const int srcX = std::clamp(x + shift, 0, pictureW - 1);
            const float* p = img.at(srcX, srcY);
            const float k = (depth % 4 == 1) ? 0.3f : 0.75f;
            put(img, x, y, {p[0] * k, p[1] * k, p[2] * k});
        }
    // Pines on the near shore.
    const int pines[][2] = {{5, 15}, {11, 20}, {16, 12}, {67, 14}, {73, 21}, {78, 11}};
    for (const auto& p : pines)
        for (int y = horizon - p[1]; y < horizon + 1; ++y) {
            const int half = (y - (horizon - p[1])) / 3;
            for (int x = p[0] - half; x <= p[0] + half; ++x) put(img, x, y, {0, 0, 0});
        }
    for (int x = 0; x < pictureW; ++x) put(img, x, horizon, {0, 0, 0});
    // Warm colours and blues only: no greens or cyans in the dither patterns.
    return toPicture(img, true, {0, 1, 4, 5, 6, 7, 13, 14, 15});
}

std::vector<uint8_t> makeFractalPicture() {
    FloatImage img(pictureW, pictureH);
    // Colour bands for escaping points, from the slow (near the set) to the fast.
    const std::vector<Rgb> bands = {{0, 0, 0},    {0, 0, 0.5f}, {0.5f, 0, 0.5f}, {1, 0, 1},
                                    {0.5f, 0, 0}, {0.5f, 0.5f, 0}, {1, 1, 0},  {1, 1, 1},
                                    {0, 1, 1},    {0, 0.5f, 0.5f}, {0, 0, 0.5f}};
    const int samples = 3;
    for (int y = 0; y < pictureH; ++y)
        for (int x = 0; x < pictureW; ++x) {
            float sum[3] = {0, 0, 0};
            for (int sy = 0; sy < samples; ++sy)
                for (int sx = 0; sx < samples; ++sx) {
                    // The set stands upright: the real axis runs down the picture.
                    const double re = -2.05 + (y + (sy + 0.5) / samples) * 0.0275;
                    const double im = (x + (sx + 0.5) / samples - 40.0) * 0.0275;
                    double zr = 0, zi = 0;
                    int n = 0;
                    const int limit = 200;
                    while (n < limit && zr * zr + zi * zi < 256.0) {
                        const double t = zr * zr - zi * zi + re;
                        zi = 2 * zr * zi + im;
                        zr = t;
                        ++n;
                    }
                    Rgb c{0, 0, 0};
                    if (n < limit) {
                        // Smooth escape count, banded on a log scale so the bands stay wide.
                        const double mu = n + 1 - std::log2(std::log2(std::sqrt(zr * zr + zi * zi)));
                        const double t = std::log(std::max(1.0, mu)) * 2.6;
                        const size_t band = static_cast<size_t>(t) % (bands.size() - 1);
                        c = mix(bands[band], bands[band + 1], static_cast<float>(t - std::floor(t)));
                    }
                    sum[0] += c.r;
                    sum[1] += c.g;
                    sum[2] += c.b;
                }
            const float k = 1.0f / (samples * samples);
            put(img, x, y, {sum[0] * k, sum[1] * k, sum[2] * k});
        }
    return toPicture(img, true);
}
