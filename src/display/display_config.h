// Console set-up and the view parameters derived from it.
//
// Owns `displayConfig` (the settings every other module reads: frame rate, columns,
// rows), `consoleOutput` (the console backend the frame is written to) and the two
// projection factors `projScaleX` / `projScaleY` of the wireframe pipeline.
// `initDisplay` is called by the driver twice at start-up, around the key prompt.
#pragma once

#include <cstdint>

struct Console;

struct DisplayConfig {
    int32_t frameRate;
    int32_t width;   // console columns; the grid shows this many columns
    int32_t height;  // console rows; the grid shows 2 * height rows
    const char* title;
    uint8_t showCursor;  // 0 hides the cursor; anything else leaves it alone
    float fieldOfView;   // radians, as given: 45.0 means 45 radians
};

extern DisplayConfig displayConfig;
extern const Console* consoleOutput;
extern float projScaleX;
extern float projScaleY;

// Applies the console settings (title, cursor, output mode, size, attribute fill)
// through the active console backend and computes the projection factors.
// Expects 1 <= height <= width <= 80 and height <= 50.
void initDisplay(const DisplayConfig& config);
