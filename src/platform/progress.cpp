#include "platform/progress.h"

#include <cstdio>
#include <unistd.h>

static bool progressVisible() {
    static const bool visible = isatty(STDERR_FILENO);
    return visible;
}

void showProgress(long done, long total, double framesPerSecond) {
    if (!progressVisible() || total <= 0) return;
    const int width = 40;
    const int filled = static_cast<int>(width * done / total);
    char bar[width + 1];
    for (int i = 0; i < width; ++i) bar[i] = i < filled ? '#' : '.';
    bar[width] = '\0';
    std::fprintf(stderr, "\r[%s] %ld/%ld frames, %.0f frames/s ", bar, done, total, framesPerSecond);
    std::fflush(stderr);
}

void endProgress() {
    if (progressVisible()) std::fprintf(stderr, "\n");
}
