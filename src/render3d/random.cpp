#include "render3d/random.h"

uint32_t randomState = 1;

int32_t nextRandom() {
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int32_t>((randomState >> 16) & 0x7FFF);
}
