#include "display/present.h"

#include "display/display_config.h"
#include "render3d/primitives.h"
#include "render3d/projection.h"

CellBuffer cellBuffer;

const int32_t cellAttributeBits[8] = {0x04, 0x40, 0x02, 0x20, 0x01, 0x10, 0x08, 0x80};

int32_t colorCode(const Rgb& cell) {
    const float threshold = 0.3f;
    int32_t code = 1;
    if (cell.r > threshold) code = 3;
    if (cell.g > threshold) code *= 7;
    if (cell.b > threshold) code *= 11;
    double sum = static_cast<double>(cell.r) + static_cast<double>(cell.g);
    sum = sum + static_cast<double>(cell.b);
    if (sum >= static_cast<double>(1.8f)) code *= 13;  // a NaN sum compares false
    return code;
}

int32_t cellAttribute(const int32_t* codes) {
    static const int32_t primes[4] = {3, 7, 11, 13};
    int32_t attribute = 0;
    for (int p = 0; p < 4; ++p) {
        if (codes[0] % primes[p] == 0) attribute |= cellAttributeBits[2 * p];
    }
    for (int p = 0; p < 4; ++p) {
        if (codes[1] % primes[p] == 0) attribute |= cellAttributeBits[2 * p + 1];
    }
    return attribute;
}

int32_t colorBits(const Rgb& cell) {
    const float threshold = 0.3f;
    int32_t bits = 0;
    if (cell.r > threshold) bits |= 0x04;
    if (cell.g > threshold) bits |= 0x02;
    if (cell.b > threshold) bits |= 0x01;
    double sum = static_cast<double>(cell.r) + static_cast<double>(cell.g);
    sum = sum + static_cast<double>(cell.b);
    if (sum >= static_cast<double>(1.8f)) bits |= 0x08;
    return bits;
}

static void flushPrimitives() {
    for (int32_t i = 0; i < primitiveList.count; ++i) {
        projectPrimitive(primitiveList.items[i]);
        drawPrimitiveEdges(primitiveList.items[i]);
    }
}

static void encodeShownArea() {
    for (int r = 0; r < displayConfig.height; ++r) {
        for (int x = 0; x < displayConfig.width; ++x) {
            const int32_t upper = colorBits(colorGrid[x][2 * r]);
            const int32_t lower = colorBits(colorGrid[x][2 * r + 1]);
            CharInfo& record = cellBuffer[r * consoleColumns + x];
            record.character = halfBlockCharacter;
            record.attribute = static_cast<uint16_t>(lower | upper << 4);
        }
    }
}

void presentFrame() {
    flushPrimitives();
    encodeShownArea();
    if (consoleOutput != nullptr) consoleOutput->writeCells(cellBuffer);
    primitiveList.count = 0;
    primitiveList.vertexCursor = 0;
}
