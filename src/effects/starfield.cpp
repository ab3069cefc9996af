#include "effects/starfield.h"

#include <cmath>

#include "display/color_grid.h"
#include "driver/frame_state.h"
#include "effects/text.h"
#include "render3d/float_rounding.h"
#include "render3d/matrix.h"
#include "render3d/random.h"

Point3 stars[starCount];
float scrollOffset;

namespace {

struct ScrollWord {
    const char* text;
    float phaseStep;
    Rgb color;
    int32_t row;  // top row before scrolling
};

// One word per line, 20 rows apart, with an empty line between "Faves " and " But ".
const ScrollWord scrollWords[] = {
    {"Stars ", 1, {1, 0, 1}, 580}, {" Are ", 3, {0, 0, 3}, 600}, {" My ", 3, {2, 1, 0}, 620},
    {"Faves ", 1, {0, 3, 0}, 640}, {" But ", 1, {1, 0, 1}, 680}, {"Cubes", 3, {0, 0, 3}, 700},
    {" Can ", 3, {2, 1, 0}, 720},  {" Be", 1, {0, 3, 0}, 740},   {"Better", 1, {1, 0, 1}, 760},
};

constexpr int32_t wordColumn = 14;
constexpr float wordAmplitude = 4.0f;
constexpr float wordSpeed = 5.0f;

float randomSine(double scale, double shift) {
    const float s = static_cast<float>(std::sin(static_cast<double>(nextRandom())));
    return static_cast<float>(static_cast<double>(s) * scale + shift);
}

}  // namespace

void drawStarfield() {
    clearColor = Rgb{0.0f, 0.0f, 0.0f};
    clearGrid();
    scrollOffset = static_cast<float>(static_cast<double>(scrollOffset) + 0.6);

    for (Point3& star : stars) {
        loadIdentity();
        if (star.z >= 0.0f) {
            // Three draws in order x, y, z: x and y in -15..15, z in -150..-90.
            star.x = randomSine(15.0, 0.0);
            star.y = randomSine(15.0, 0.0);
            star.z = randomSine(30.0, -120.0);
        }
        star.z = star.z + 8.1f;
        penColor = Rgb{1.0f, 1.0f, 1.0f};
        // Three equal corners: a closed triangle that lights a single cell.
        primitiveList.currentKind = kindTriangle;
        for (int corner = 0; corner < 3; ++corner) addVertex(star.x, star.y, star.z);
        endPrimitive();
    }

    for (const ScrollWord& word : scrollWords) {
        const int32_t top = truncateToInt32(static_cast<double>(word.row) - scrollOffset);
        drawText(word.phaseStep, wordAmplitude, wordSpeed, fontSheet, word.color.r, word.color.g,
                 word.color.b, wordColumn, top, "%s", word.text);
    }
}
