#include "driver/timeline.h"

#include <cmath>
#include <cstdint>

#include "display/color_grid.h"
#include "driver/frame_state.h"
#include "effects/fields.h"
#include "effects/image.h"
#include "effects/starfield.h"
#include "effects/text.h"
#include "render3d/float_rounding.h"
#include "render3d/matrix.h"
#include "render3d/models.h"

namespace {

const char feverText[] = "Prepare For The Text Mode Fever! 2006!!!";
const char powerText[] =
    "You are experiencing the power of text mode, now lets move on and look at something more "
    "interesting...";
const char closingText[] =
    "After This Im Off To Kick Brellix^QJF From #vormtal ;), but anyway... end of demo.";

// A text's left edge: `start` columns at second 0, moving left `speed` columns a second.
int32_t scrollColumn(double start, double speed, float t) {
    return static_cast<int32_t>(start - speed * static_cast<double>(t));
}

void drawFeverText(float t) {
    const float cg = roundToFloat(static_cast<double>(roundToFloat(std::cos(static_cast<double>(roundToFloat(50.0 * t))))) + 1.0);
    drawText(2.0f, 2.0f, 5.0f, fontSheet, 0.75f, cg, 0.25f, scrollColumn(1200, 29, t), 40, "%s", feverText);
}

// Red text whose blue pulses, on the wave used by the later sentences.
void drawPulsingText(float t, double start, int32_t row, const char* text) {
    const float sb = roundToFloat(static_cast<double>(roundToFloat(std::sin(static_cast<double>(roundToFloat(12.0 * t))))) + 1.0);
    drawText(1.0f, 8.0f, 6.0f, fontSheet, 1.0f, 0.0f, sb, scrollColumn(start, 20, t), row, "%s", text);
}

void drawWavyPictureScene(float t) {
    clearColor = Rgb{1.0f, 1.0f, 1.0f};
    clearGrid();
    drawWavyImage();
    drawFeverText(t);
}

void drawRippleScene(float t) {
    drawBlueRipple();
    loadIdentity();
    if (t > 66) {
        const float swing = roundToFloat(std::sin(static_cast<double>(roundToFloat(t * 0.5))));
        translate(0.0f, 0.0f, roundToFloat(static_cast<double>(swing) * 8.0 - 10.0));
        rotateAxes(1.0f, 1.0f, 1.0f);
        drawCube();
    }
}

// The one place the music moves the picture: the models' distance follows the bass.
void drawPlasmaScene(float t) {
    loadIdentity();
    clearColor = Rgb{0.0f, 1.0f, 0.0f};
    clearGrid();
    drawPlasma();
    translate(0.0f, -1.0f, roundToFloat(static_cast<double>(bassLevel) - 14.0));
    rotateAxes(1.0f, 1.0f, 1.0f);
    translate(0.0f, 0.0f, -0.1f);
    penColor = Rgb{0.0f, 0.0f, 0.0f};
    drawSpikedCube();  // a black copy just behind, as a shadow
    translate(0.0f, 0.0f, 0.1f);
    penColor = Rgb{1.0f, 1.0f, 1.0f};
    drawSpikedCube();
    drawPulsingText(t, 2200, 77, powerText);
}

void drawStarScene(float t) {
    drawStarfield();
    if (t > 180) {
        loadIdentity();
        translate(0.0f, 0.0f, -15.0f);
        rotateAxes(1.0f, 1.0f, 1.0f);
        drawCube();
    }
}

}  // namespace

void updateLateScenes() {
    const float t = demoTime;
    if (t >= 96 && t < 154) {
        drawPlasmaScene(t);
    } else if (t >= 154 && t < 210) {
        drawStarScene(t);
    } else if (t >= 210 && t < 260) {
        // No clear: the text stands on the frame loop's grey, bright white by now.
        drawPulsingText(t, 4300, 40, closingText);
    }
}

void updateMiddleScenes() {
    const float t = demoTime;
    if (t >= 37 && t < 63) {
        drawWavyPictureScene(t);
    } else if (t >= 63 && t < 96) {
        drawRippleScene(t);
    }
}

void updateIntroImages() {
    const float t = demoTime;
    if (t > 7 && t < 15) {
        drawImage(introPicture1);
    } else if (t >= 15 && t < 22) {
        drawImage(introPicture2);
    } else if (t >= 22 && t < 30) {
        drawImage(introPicture3);
    } else if (t >= 30 && t < 37) {
        drawImage(introPicture4);
    }
}
