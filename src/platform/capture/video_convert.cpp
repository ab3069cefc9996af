#include "platform/capture/video_convert.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

// BT.709, limited range, in 8-bit fixed point; chroma from each 2 x 2 block's mean, so
// a block inside one colour keeps that colour exactly. A row (or pair of rows) equal to the
// one before reuses its result: scaled-up cells repeat every row `scale` times.
void rgbToYuv420(const uint8_t* rgb, int width, int height, const VideoPlanes& out) {
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = rgb + y * rowBytes;
        uint8_t* luma = out.data[0] + static_cast<ptrdiff_t>(y) * out.stride[0];
        if (y > 0 && std::equal(in, in + rowBytes, in - rowBytes)) {
            std::copy(luma - out.stride[0], luma - out.stride[0] + width, luma);
            continue;
        }
        for (int x = 0; x < width; ++x, in += 3) luma[x] = static_cast<uint8_t>(((47 * in[0] + 157 * in[1] + 16 * in[2] + 128) >> 8) + 16);
    }
    for (int y = 0; y < height / 2; ++y) {
        const uint8_t* top = rgb + 2 * y * rowBytes;
        const uint8_t* bottom = top + rowBytes;
        uint8_t* blue = out.data[1] + static_cast<ptrdiff_t>(y) * out.stride[1];
        uint8_t* red = out.data[2] + static_cast<ptrdiff_t>(y) * out.stride[2];
        if (y > 0 && std::equal(top, top + 2 * rowBytes, top - 2 * rowBytes)) {
            std::copy(blue - out.stride[1], blue - out.stride[1] + width / 2, blue);
            std::copy(red - out.stride[2], red - out.stride[2] + width / 2, red);
            continue;
        }
        for (int x = 0; x < width / 2; ++x) {
            int sum[3];
            for (int c = 0; c < 3; ++c) sum[c] = top[6 * x + c] + top[6 * x + 3 + c] + bottom[6 * x + c] + bottom[6 * x + 3 + c];
            blue[x] = static_cast<uint8_t>((-26 * sum[0] - 87 * sum[1] + 113 * sum[2] + (128 << 10) + 512) >> 10);
            red[x] = static_cast<uint8_t>((112 * sum[0] - 102 * sum[1] - 10 * sum[2] + (128 << 10) + 512) >> 10);
        }
    }
}

void rgbToGbr(const uint8_t* rgb, int width, int height, const VideoPlanes& out) {
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = rgb + static_cast<size_t>(y) * width * 3;
        uint8_t* g = out.data[0] + static_cast<ptrdiff_t>(y) * out.stride[0];
        uint8_t* b = out.data[1] + static_cast<ptrdiff_t>(y) * out.stride[1];
        uint8_t* r = out.data[2] + static_cast<ptrdiff_t>(y) * out.stride[2];
        for (int x = 0; x < width; ++x, in += 3) {
            r[x] = in[0];
            g[x] = in[1];
            b[x] = in[2];
        }
    }
}

void copyRgb(const uint8_t* rgb, int width, int height, const VideoPlanes& out) {
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    for (int y = 0; y < height; ++y)
        std::copy(rgb + y * rowBytes, rgb + (y + 1) * rowBytes, out.data[0] + static_cast<ptrdiff_t>(y) * out.stride[0]);
}

// The same conversion as the capture's 16-bit WAV (libsndfile's, which rounds down), so
// lossless sound matches it sample for sample.
int16_t soundToShort(float value) {
    const float scaled = std::floor(value * 32768.0f);
    return static_cast<int16_t>(std::clamp(scaled, -32768.0f, 32767.0f));
}
