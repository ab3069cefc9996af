// The demo's picture format and the conversions into it.
//
// A picture is 80 x 100 pixels in three planes (red, green, blue), 8000 bytes each, rows
// from the top: 24000 bytes. The demo shows a byte b as b/256 through fixed thresholds: a
// channel counts above 0.3, and a cell is bright when the three sum to 1.8 or more.
// Used by zorbel-picture, the procedural pictures and the preview writer.
#pragma once

#include "png_io.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr int pictureW = 80;
constexpr int pictureH = 100;
constexpr int picturePlane = pictureW * pictureH;
constexpr int pictureSize = 3 * picturePlane;

// Linear RGB, 0..1 per channel, row by row from the top.
struct FloatImage {
    int width = 0, height = 0;
    std::vector<float> rgb;
    FloatImage() = default;
    FloatImage(int w, int h) : width(w), height(h), rgb(static_cast<size_t>(w) * h * 3, 0.0f) {}
    float* at(int x, int y) { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
    const float* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

// Composites over black (the demo's pictures are opaque) and converts to 0..1.
FloatImage fromRgba(const RgbaImage& image);

// Area-average resampling: each target pixel is the mean of the source area it covers.
FloatImage resampleArea(const FloatImage& source, int width, int height);

// An 80 x 100 image to picture bytes. Without `dither` each channel is stored as is
// (round(v * 255)). With `dither`, every pixel becomes one of the 12 colours a picture can
// show (no single channel reaches brightness), stored with bytes far from the thresholds:
// a 4 x 4 ordered dither picks between the two shown colours that best bracket the
// wanted one, so that ramps become even patterns instead of one hard step at 0.3.
// `colours`, when not empty, limits the dither to those palette entries.
std::vector<uint8_t> toPicture(const FloatImage& image, bool dither, const std::vector<int>& colours = {});

// The whole converter: PNG file in, picture bytes out. Throws ToolError.
std::vector<uint8_t> convertPng(const std::string& path, bool dither);

// The colour shown for palette entry `index`, 0..1 per channel (light grey is 0.75).
void paletteColour(int index, float rgb[3]);

// The colour (0..15, intensity 8, red 4, green 2, blue 1) that the demo shows for a pixel.
int paletteIndex(uint8_t r, uint8_t g, uint8_t b);

// A 640 x 800 RGB preview of a picture as the demo shows it: every pixel becomes an
// 8 x 8 block in its 16-colour palette colour.
std::vector<uint8_t> previewRgb(const std::vector<uint8_t>& picture);
constexpr int previewScale = 8;
