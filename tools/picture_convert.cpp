// Picture conversion (see picture_convert.h).
#include "picture_convert.h"

#include "display/present.h"
#include "file_io.h"

#include <algorithm>
#include <cmath>
#include <iterator>

FloatImage fromRgba(const RgbaImage& image) {
    FloatImage out(image.width, image.height);
    for (size_t i = 0; i < static_cast<size_t>(image.width) * image.height; ++i) {
        const float alpha = image.pixels[i * 4 + 3] / 255.0f;
        for (int c = 0; c < 3; ++c) out.rgb[i * 3 + c] = image.pixels[i * 4 + c] / 255.0f * alpha;
    }
    return out;
}

FloatImage resampleArea(const FloatImage& src, int width, int height) {
    FloatImage out(width, height);
    const double sx = static_cast<double>(src.width) / width, sy = static_cast<double>(src.height) / height;
    for (int y = 0; y < height; ++y) {
        const double y0 = y * sy, y1 = (y + 1) * sy;
        for (int x = 0; x < width; ++x) {
            const double x0 = x * sx, x1 = (x + 1) * sx;
            double sum[3] = {0, 0, 0}, area = 0.0;
            // Every source pixel that overlaps the target's footprint, weighted by the overlap;
            // when enlarging, this is the one source pixel under the target.
            for (int v = static_cast<int>(y0); v < std::min(src.height, static_cast<int>(std::ceil(y1))); ++v) {
                const double wy = std::min<double>(v + 1, y1) - std::max<double>(v, y0);
                for (int u = static_cast<int>(x0); u < std::min(src.width, static_cast<int>(std::ceil(x1))); ++u) {
                    const double w = wy * (std::min<double>(u + 1, x1) - std::max<double>(u, x0));
                    if (w <= 0.0) continue;
                    for (int c = 0; c < 3; ++c) sum[c] += w * src.at(u, v)[c];
                    area += w;
                }
            }
            for (int c = 0; c < 3; ++c) out.at(x, y)[c] = area > 0.0 ? static_cast<float>(sum[c] / area) : 0.0f;
        }
    }
    return out;
}

namespace {

const uint8_t paletteShown[16][3] = {
    {0, 0, 0},     {0, 0, 128},   {0, 128, 0},     {0, 128, 128},   {128, 0, 0}, {128, 0, 128},
    {128, 128, 0}, {192, 192, 192}, {128, 128, 128}, {0, 0, 255},     {0, 255, 0}, {0, 255, 255},
    {255, 0, 0},   {255, 0, 255}, {255, 255, 0},   {255, 255, 255}};

// The entries a picture can reach: one channel alone never sums to 1.8, so bright red,
// green, blue and dark grey are out.
const int reachable[] = {0, 1, 2, 3, 4, 5, 6, 7, 11, 13, 14, 15};

// Bytes that give entry `index` (128 = plain, 255 = bright), well clear of 0.3 and 1.8
// both as byte/256 and as byte/255.
void storedBytes(int index, uint8_t out[3]) {
    const bool bright = index & 8;
    const int bits[3] = {4, 2, 1};
    for (int c = 0; c < 3; ++c) out[c] = (index & bits[c]) ? (bright ? 255 : 128) : 0;
}

float distance2(const float a[3], const float b[3]) {
    float d = 0.0f;
    for (int c = 0; c < 3; ++c) d += (a[c] - b[c]) * (a[c] - b[c]);
    return d;
}

// The two reachable colours whose segment passes closest to `want`, and where along it.
void bracket(const float want[3], const std::vector<int>& colours, int& first, int& second, float& along) {
    float best = 1e30f;
    for (int i : colours)
        for (int j : colours) {
            float a[3], b[3];
            paletteColour(i, a);
            paletteColour(j, b);
            float ab[3], dot = 0.0f, len = 0.0f;
            for (int c = 0; c < 3; ++c) {
                ab[c] = b[c] - a[c];
                dot += (want[c] - a[c]) * ab[c];
                len += ab[c] * ab[c];
            }
            const float t = len > 0.0f ? std::clamp(dot / len, 0.0f, 1.0f) : 0.0f;
            const float p[3] = {a[0] + ab[0] * t, a[1] + ab[1] * t, a[2] + ab[2] * t};
            // A small penalty on long segments keeps the pattern between neighbours.
            const float d = distance2(want, p) + 0.02f * len;
            if (d < best) {
                best = d;
                first = i;
                second = j;
                along = t;
            }
        }
}

}  // namespace

void paletteColour(int index, float rgb[3]) {
    for (int c = 0; c < 3; ++c) rgb[c] = paletteShown[index][c] / 255.0f;
}

std::vector<uint8_t> toPicture(const FloatImage& image, bool dither, const std::vector<int>& colours) {
    if (image.width != pictureW || image.height != pictureH) throw ToolError("picture must be 80 x 100");
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    const std::vector<int> palette = colours.empty() ? std::vector<int>(std::begin(reachable), std::end(reachable)) : colours;
    std::vector<uint8_t> out(pictureSize);
    for (int y = 0; y < pictureH; ++y)
        for (int x = 0; x < pictureW; ++x) {
            uint8_t bytes[3];
            if (dither) {
                float want[3];
                for (int c = 0; c < 3; ++c) want[c] = std::clamp(image.at(x, y)[c], 0.0f, 1.0f);
                int first = 0, second = 0;
                float along = 0.0f;
                bracket(want, palette, first, second, along);
                const float threshold = (bayer[y & 3][x & 3] + 0.5f) / 16.0f;
                storedBytes(along > threshold ? second : first, bytes);
            } else {
                for (int c = 0; c < 3; ++c)
                    bytes[c] = static_cast<uint8_t>(std::lround(std::clamp(image.at(x, y)[c], 0.0f, 1.0f) * 255.0f));
            }
            for (int c = 0; c < 3; ++c) out[static_cast<size_t>(c * picturePlane + y * pictureW + x)] = bytes[c];
        }
    return out;
}

std::vector<uint8_t> convertPng(const std::string& path, bool dither) {
    return toPicture(resampleArea(fromRgba(readPng(path)), pictureW, pictureH), dither);
}

int paletteIndex(uint8_t r, uint8_t g, uint8_t b) {
    // The demo's own test on the colour a picture byte becomes: byte / 256 as a float.
    return colorBits(Rgb{r * 0.00390625f, g * 0.00390625f, b * 0.00390625f});
}

std::vector<uint8_t> previewRgb(const std::vector<uint8_t>& picture) {
    const int w = pictureW * previewScale, h = pictureH * previewScale;
    std::vector<uint8_t> out(static_cast<size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const size_t i = static_cast<size_t>((y / previewScale) * pictureW + x / previewScale);
            const int p = paletteIndex(picture[i], picture[picturePlane + i], picture[2 * picturePlane + i]);
            for (int c = 0; c < 3; ++c) out[(static_cast<size_t>(y) * w + x) * 3 + c] = paletteShown[p][c];
        }
    return out;
}
