#include "effects/fields.h"

#include <cmath>

#include "display/color_grid.h"
#include "driver/frame_state.h"
#include "effects/image.h"
#include "render3d/float_rounding.h"

// The rounding to float before each sin and sqrt is deliberate: the picture must match
// the reference values float for float.

void drawWavyImage() {
    const Picture& picture = introPicture4;
    const uint8_t* red = picture;
    const uint8_t* green = picture + picturePlaneBytes;
    const uint8_t* blue = picture + 2 * picturePlaneBytes;
    const double t = demoTime;
    const double a = 10.0 * t;
    const double amp = t * t / 2000.0 + 2.0;
    for (int x = 0; x < pictureWidth; ++x) {
        const double off = static_cast<double>(sinFloat(x + a)) * amp;
        // Rows are written top to bottom; where two rows truncate to the same grid row the
        // lower picture row wins.
        for (int y = 0; y < pictureHeight; ++y) {
            const int i = y * pictureWidth + x;
            penColor = Rgb{static_cast<float>(red[i] / 255.0), static_cast<float>(green[i] / 255.0),
                           static_cast<float>(blue[i] / 255.0)};
            const int32_t row = truncateToInt32(y + off);
            if (insideGrid(x, row)) colorGrid[x][row] = penColor;
        }
    }
}

void drawBlueRipple() {
    const double t = demoTime;
    penColor.r = 0.0f;
    penColor.g = 0.0f;
    for (int x = 0; x < pictureWidth; ++x) {
        for (int y = 0; y < pictureHeight; ++y) {
            const float p = static_cast<float>(static_cast<double>(x * y) - t);
            penColor.b = static_cast<float>(static_cast<double>(sinFloat(p)) + 1.0);
            if (insideGrid(x, y)) colorGrid[x][y] = penColor;
        }
    }
}

void drawPlasma() {
    const double a = static_cast<double>(sinFloat(demoTime)) * 20.0;
    penColor.r = 0.0f;
    for (int x = 0; x < pictureWidth; ++x) {
        const double ax = static_cast<double>(x) + a - 40.0;
        const double dxA = ax * ax;
        const float dx0 = static_cast<float>((x - 40) * (x - 40));
        for (int y = 0; y < pictureHeight; ++y) {
            const double dyA = static_cast<double>(y) + a - 50.0;
            const double dy0 = static_cast<double>((y - 50) * (y - 50));
            const float u = sinFloat(std::sqrt(static_cast<double>(static_cast<float>(dy0 + dxA))));
            const float v = sinFloat(std::sqrt(static_cast<double>(static_cast<float>(dyA * dyA + dx0))));
            const float c = static_cast<float>((static_cast<double>(v) + u) * 0.5);
            penColor.g = c;
            penColor.b = c;
            if (insideGrid(x, y)) colorGrid[x][y] = penColor;
        }
    }
}
