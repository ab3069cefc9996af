#include "effects/image.h"

#include "display/color_grid.h"

Picture introPicture1, introPicture2, introPicture3, introPicture4;

void drawImage(const Picture& picture) {
    const uint8_t* red = picture;
    const uint8_t* green = picture + picturePlaneBytes;
    const uint8_t* blue = picture + 2 * picturePlaneBytes;
    for (int x = 0; x < pictureWidth; ++x) {
        for (int y = 0; y < pictureHeight; ++y) {
            const int i = y * pictureWidth + x;
            penColor = Rgb{red[i] * 0.00390625f, green[i] * 0.00390625f, blue[i] * 0.00390625f};
            if (insideGrid(x, y)) colorGrid[x][y] = penColor;
        }
    }
}
