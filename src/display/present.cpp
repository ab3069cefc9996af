#include "display/present.h"

#include "display/display_config.h"
#include "render3d/primitives.h"
#include "render3d/projection.h"

CellBuffer cellBuffer;

int32_t colorBits(const Rgb& cell) {
    int32_t bits = 0;
    if (cell.r > channelThreshold) bits |= 0x04;
    if (cell.g > channelThreshold) bits |= 0x02;
    if (cell.b > channelThreshold) bits |= 0x01;
    double sum = static_cast<double>(cell.r) + static_cast<double>(cell.g);
    sum = sum + static_cast<double>(cell.b);
    if (sum >= static_cast<double>(brightThreshold)) bits |= 0x08;  // a NaN sum compares false
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
