// The star-field scene: 36 stars flying toward the viewer and a column of nine coloured
// words scrolling up the screen.
//
// Owns `stars` and `scrollOffset`, which start at zero and are never reset, so the scene
// resumes where it left off. The timeline calls drawStarfield once per frame while the
// scene runs. Stars are queued as one-cell triangles and drawn at presentation, over the
// words; the words are drawn at once with drawText.
#pragma once

#include "render3d/primitives.h"

constexpr int starCount = 36;

extern Point3 stars[starCount];
extern float scrollOffset;  // grid rows the words have moved up; +0.6 per call

// Clears to black, respawns stars at z >= 0 from nextRandom, moves each 8.1 nearer,
// queues them (leaving currentMatrix at identity) and draws the words.
void drawStarfield();
