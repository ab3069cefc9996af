// Full-screen pictures: the picture format and `drawImage`.
//
// A picture is 24000 bytes: red, green and blue planes of 100 rows x 80 bytes, top row
// first. The timeline draws the four loaded pictures; the wavy picture reads the same format.
#pragma once

#include <cstdint>

constexpr int pictureWidth = 80;
constexpr int pictureHeight = 100;
constexpr int picturePlaneBytes = pictureWidth * pictureHeight;
constexpr int pictureBytes = 3 * picturePlaneBytes;

using Picture = uint8_t[pictureBytes];
