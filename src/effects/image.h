// Full-screen pictures: the picture format, the four loaded pictures and `drawImage`.
//
// A picture is 24000 bytes: red, green and blue planes of 100 rows x 80 bytes, top row
// first. Owns `introPicture1..4`, which start-up fills from the data files; the timeline
// draws them and the wavy picture reads the fourth.
#pragma once

#include <cstdint>

constexpr int pictureWidth = 80;
constexpr int pictureHeight = 100;
constexpr int picturePlaneBytes = pictureWidth * pictureHeight;
constexpr int pictureBytes = 3 * picturePlaneBytes;

using Picture = uint8_t[pictureBytes];

extern Picture introPicture1, introPicture2, introPicture3, introPicture4;

// Copies the picture into grid columns 0..79, rows 0..99, each byte scaled by 1/256 (255
// gives 0.99609375), through penColor. Opaque; columns 80..99 are left alone. Afterwards
// penColor holds the bottom-right pixel.
void drawImage(const Picture& picture);
