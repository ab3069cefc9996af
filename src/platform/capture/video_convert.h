// The video encoder's conversions: the capture's packed RGB pictures into the planes the
// codecs take, and float sound into 16-bit samples. Plain arithmetic on buffers the
// encoder owns; no library calls.
#pragma once

#include <cstdint>

// Up to three planes of a picture, each with its own bytes per row.
struct VideoPlanes {
    uint8_t* data[3];
    int stride[3];
};

// `rgb` holds width * height pixels of three bytes, row by row from the top; width and
// height are even for 4:2:0.
void rgbToYuv420(const uint8_t* rgb, int width, int height, const VideoPlanes& out);  // Y, Cb, Cr
void rgbToGbr(const uint8_t* rgb, int width, int height, const VideoPlanes& out);     // G, B, R
void copyRgb(const uint8_t* rgb, int width, int height, const VideoPlanes& out);      // one packed plane

// A sample in -1..1 (beyond is clipped) as a signed 16-bit sample.
int16_t soundToShort(float value);
