#include "platform/capture/progress.h"

#include <cstdio>
#include <unistd.h>

static bool progressVisible() {
    static const bool visible = isatty(STDERR_FILENO);
    return visible;
}

void showProgress(long done, long total, double seconds, double showFramesPerSecond) {
    if (!progressVisible() || total <= 0) return;
    const int width = 30;
    const int filled = static_cast<int>(width * done / total);
    char bar[width + 1];
    for (int i = 0; i < width; ++i) bar[i] = i < filled ? '#' : '.';
    bar[width] = '\0';
    const double rate = seconds > 0 ? done / seconds : 0;
    std::fprintf(stderr, "\r[%s] %ld/%ld frames, %.0f frames/s, %.1fx real time", bar, done, total, rate,
                 rate / showFramesPerSecond);
    if (rate > 0) {
        const long left = static_cast<long>((total - done) / rate + 0.5);
        std::fprintf(stderr, ", %ld:%02ld left ", left / 60, left % 60);
    }
    std::fflush(stderr);
}

void endProgress() {
    if (progressVisible()) std::fprintf(stderr, "\n");
}
