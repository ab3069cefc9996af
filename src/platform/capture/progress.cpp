#include "platform/capture/progress.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int widestBar = 30, narrowestBar = 10;
constexpr double measuredAfterSeconds = 0.5;
constexpr long measuredAfterFrames = 10;

size_t shownLength = 0;  // of the line on the screen; 0 when none is open

std::string format(const char* pattern, double a, double b = 0) {
    char text[96];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

std::string bar(int width, long done, long total) {
    const long filled = std::clamp(width * std::clamp(done, 0L, total) / total, 0L, static_cast<long>(width));
    return "[" + std::string(static_cast<size_t>(filled), '#') + std::string(static_cast<size_t>(width - filled), '.') + "] ";
}

}  // namespace

std::string progressLine(long done, long total, double seconds, double showFramesPerSecond, int columns) {
    if (total <= 0) return "";
    const int room = std::max(columns - 1, 1);
    // The fields have fixed widths, so the bar keeps its width the whole run; until the
    // speed is measured they are blank.
    char counts[64];
    std::snprintf(counts, sizeof counts, "%*ld/%ld frames", static_cast<int>(std::to_string(total).size()), done, total);
    const bool measured = seconds >= measuredAfterSeconds && done >= measuredAfterFrames;
    const double rate = measured ? done / seconds : 0;
    std::string speed = format(", %5.0f frames/s, %5.1fx real time", rate, rate / showFramesPerSecond);
    const long secondsLeft = measured ? static_cast<long>((total - done) / rate + 0.5) : 0;
    std::string left = format(", %3.0f:%02.0f left", static_cast<double>(secondsLeft / 60), static_cast<double>(secondsLeft % 60));
    if (!measured) speed = std::string(speed.size(), ' '), left = std::string(left.size(), ' ');
    // The widest text that leaves the bar its least width; then the bar takes what is left.
    for (const std::string& text : {counts + speed + left, counts + left, std::string(counts)}) {
        const int barWidth = std::min(widestBar, room - 3 - static_cast<int>(text.size()));
        if (barWidth < narrowestBar) continue;
        std::string line = bar(barWidth, done, total) + text;
        while (!line.empty() && line.back() == ' ') line.pop_back();
        return line;
    }
    return std::string(counts).substr(0, static_cast<size_t>(room));
}

void showProgress(long done, long total, double seconds, double showFramesPerSecond) {
    const int columns = errorTerminalColumns();
    if (columns <= 0 || total <= 0) return;
    const std::string line = progressLine(done, total, seconds, showFramesPerSecond, columns);
    // Spaces over what is left of a longer line before: plain characters every terminal takes.
    const std::string over(shownLength > line.size() ? shownLength - line.size() : 0, ' ');
    std::fprintf(stderr, "\r%s%s", line.c_str(), over.c_str());
    std::fflush(stderr);
    shownLength = std::max<size_t>(line.size(), 1);
}

void endProgress() {
    if (shownLength == 0) return;
    std::fprintf(stderr, "\n");
    std::fflush(stderr);
    shownLength = 0;
}
