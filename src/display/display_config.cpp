#include "display/display_config.h"

#include <algorithm>
#include <cmath>

#include "platform/terminal/console.h"

DisplayConfig displayConfig;
const Console* consoleOutput;
float projScaleX;
float projScaleY;

// The half-angle cotangent and the aspect quotient give the screen scale of a unit at
// distance 1. The field of view is taken as radians as given; the quotient is integral.
static void computeProjectionFactors(const DisplayConfig& config) {
    const float halfAngle = static_cast<float>(static_cast<double>(config.fieldOfView) * 0.5);
    const float c = static_cast<float>(std::cos(static_cast<double>(halfAngle)));
    const float s = static_cast<float>(std::sin(static_cast<double>(halfAngle)));
    const float t = static_cast<float>(static_cast<double>(c) / static_cast<double>(s));
    const int32_t q = config.width / config.height;
    projScaleX = static_cast<float>((static_cast<double>(t) / q + 1) * config.width * 0.5);
    projScaleY = static_cast<float>((static_cast<double>(t) + 1) * config.height);
}

void initDisplay(const DisplayConfig& config) {
    displayConfig = config;
    // The grid and the cell buffer hold at most 80 x 50 cells; a larger or degenerate
    // request is clamped so no loop can leave them.
    displayConfig.width = std::clamp(config.width, 1, consoleColumns);
    displayConfig.height = std::clamp(config.height, 1, std::min(displayConfig.width, consoleRows));

    consoleOutput = activeConsole();
    if (displayConfig.showCursor == 0) consoleOutput->hideCursor();
    consoleOutput->setTitle(displayConfig.title);
    consoleOutput->setRawOutput();
    consoleOutput->setSize(displayConfig.width, displayConfig.height);
    const int columns = consoleOutput->bufferColumns();
    const uint16_t attribute = consoleOutput->currentAttribute();
    // Columns times the configured width, not the height: more than the buffer holds,
    // and the console stops at its end, so every cell takes the attribute.
    consoleOutput->fillAttribute(attribute, columns * displayConfig.width);

    computeProjectionFactors(displayConfig);
}
