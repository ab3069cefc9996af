// The demo's four pictures, drawn by program at 80 x 100 and returned as picture bytes:
// a title card, a landscape at dusk, a fractal, and a lit 3D scene (raytrace.cpp).
//
// Designed for the demo's 16-colour view: bold shapes, saturated colours, and ramps that
// are dithered between the levels the thresholds tell apart. Called by the data
// generator. Only the title card reads a file (the font, through FreeType).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

std::vector<uint8_t> makeTitlePicture(const std::string& fontPath);
std::vector<uint8_t> makeDuskPicture();
std::vector<uint8_t> makeFractalPicture();
std::vector<uint8_t> makeRaytracedPicture();
