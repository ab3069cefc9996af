// Full-screen procedural fields computed from demoTime alone: the swaying fourth intro
// picture, the blue ripple and the cyan plasma.
//
// Called by the timeline once per frame while their scene runs. Each writes grid columns
// 0..79, rows 0..99 through penColor (which ends as the colour of cell (79, 99)) and keeps
// no state. Columns 80..99 are never touched.
#pragma once

// introPicture4 with every column shifted up or down by a sine of its index and time.
// Expects a grid just cleared to white: cells no picture row reaches keep that colour.
void drawWavyImage();

// Blue = sin(x * y - demoTime) + 1: bands along the hyperbolas x * y = constant.
void drawBlueRipple();

// Green = blue = the mean of two circular sine waves whose centres swing around (40, 50).
void drawPlasma();
