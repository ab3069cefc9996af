#include "contact_sheet.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "file_io.h"
#include "font_sheet.h"

namespace {

void setPixel(RgbaImage& image, int x, int y, uint8_t r, uint8_t g, uint8_t b) {
    if (x < 0 || y < 0 || x >= image.width || y >= image.height) return;
    uint8_t* pixel = &image.pixels[(static_cast<size_t>(y) * image.width + x) * 4];
    pixel[0] = r;
    pixel[1] = g;
    pixel[2] = b;
    pixel[3] = 255;
}

RgbaImage blank(int width, int height, uint8_t grey) {
    RgbaImage image{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 4, grey)};
    for (size_t i = 3; i < image.pixels.size(); i += 4) image.pixels[i] = 255;
    return image;
}

}  // namespace

RgbaImage tilePictures(const std::vector<RgbaImage>& pictures, int columns, int gap) {
    if (pictures.empty() || columns < 1) throw ToolError("no pictures to put on the sheet");
    const int cellWidth = pictures[0].width, cellHeight = pictures[0].height;
    const int count = static_cast<int>(pictures.size());
    const int rows = (count + columns - 1) / columns;
    const int across = std::min(columns, count);
    RgbaImage sheet = blank(across * cellWidth + (across + 1) * gap, rows * cellHeight + (rows + 1) * gap, 0);
    for (int i = 0; i < count; ++i) {
        const RgbaImage& picture = pictures[i];
        const int left = gap + (i % columns) * (cellWidth + gap);
        const int top = gap + (i / columns) * (cellHeight + gap);
        for (int y = 0; y < std::min(cellHeight, picture.height); ++y) {
            for (int x = 0; x < std::min(cellWidth, picture.width); ++x) {
                const uint8_t* p = &picture.pixels[(static_cast<size_t>(y) * picture.width + x) * 4];
                setPixel(sheet, left + x, top + y, p[0], p[1], p[2]);
            }
        }
    }
    return sheet;
}

std::vector<PlotPoint> readBassLevels(const std::string& csvPath, double from, double to) {
    std::ifstream table(csvPath);
    if (!table) throw ToolError("cannot read " + csvPath);
    std::string line;
    std::getline(table, line);
    if (line != "frame,tick_ms,demo_time,bass_level") throw ToolError(csvPath + " is not a capture's frames.csv");
    std::vector<PlotPoint> points;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string frame, ticks, time, level;
        if (!std::getline(fields, frame, ',') || !std::getline(fields, ticks, ',') ||
            !std::getline(fields, time, ',') || !std::getline(fields, level, ',')) {
            throw ToolError(csvPath + ": a row without four fields: " + line);
        }
        const PlotPoint point{std::stod(time), std::stod(level)};
        if (point.time >= from && point.time <= to) points.push_back(point);
    }
    return points;
}

// Draws `text` in the default font with its top-left corner at (x, y), or its top-right
// corner there when `alignRight`.
static void drawText(RgbaImage& image, const std::string& text, int x, int y, bool alignRight = false) {
    const Coverage coverage = renderTextLine(defaultFontPath, text, 12);
    if (alignRight) x -= coverage.width;
    for (int row = 0; row < coverage.height; ++row)
        for (int column = 0; column < coverage.width; ++column) {
            const int alpha = coverage.alpha[static_cast<size_t>(row) * coverage.width + column];
            if (alpha == 0 || x + column < 0 || y + row < 0 || x + column >= image.width || y + row >= image.height) continue;
            uint8_t* pixel = &image.pixels[(static_cast<size_t>(y + row) * image.width + x + column) * 4];
            for (int c = 0; c < 3; ++c) pixel[c] = static_cast<uint8_t>((pixel[c] * (255 - alpha) + 220 * alpha) / 255);
        }
}

RgbaImage plotPoints(const std::vector<PlotPoint>& points, int width, int height) {
    if (points.empty()) throw ToolError("no points to plot");
    RgbaImage image = blank(width, height, 16);
    // The plot area, inside margins for the value labels (left) and the seconds (below).
    const int left = 40, right = width - 12, top = 24, bottom = height - 36;
    const double t0 = points.front().time, t1 = std::max(points.back().time, t0 + 1e-9);
    double highest = 1.0;
    for (const PlotPoint& point : points) highest = std::max(highest, std::ceil(point.value));
    auto rowOf = [&](double value) { return bottom - static_cast<int>(std::lround(value / highest * (bottom - top))); };
    auto columnOf = [&](double time) { return left + static_cast<int>(std::lround((time - t0) / (t1 - t0) * (right - left))); };
    for (int level = 0; level <= static_cast<int>(highest); ++level) {
        for (int x = left; x <= right; ++x) setPixel(image, x, rowOf(level), 60, 60, 60);
        drawText(image, std::to_string(level), left - 6, rowOf(level) - 8, true);
    }
    for (int second = static_cast<int>(std::ceil(t0)); second <= t1; ++second) {
        for (int y = bottom; y <= bottom + 4; ++y) setPixel(image, columnOf(second), y, 160, 160, 160);
        const std::string label = std::to_string(second);
        drawText(image, label, columnOf(second) - 4 * static_cast<int>(label.size()), bottom + 6);
    }
    drawText(image, "bass level", 4, 4);
    drawText(image, "demo time (s)", (left + right) / 2 - 45, height - 16);
    int previous = -1;
    for (const PlotPoint& point : points) {
        const int x = columnOf(point.time);
        const int y = rowOf(point.value);
        const int from = previous < 0 ? y : previous;
        for (int row = std::min(from, y); row <= std::max(from, y); ++row) setPixel(image, x, row, 80, 255, 255);
        previous = y;
    }
    return image;
}

std::vector<uint8_t> toRgb(const RgbaImage& image) {
    std::vector<uint8_t> rgb;
    rgb.reserve(static_cast<size_t>(image.width) * image.height * 3);
    for (size_t i = 0; i < image.pixels.size(); i += 4) rgb.insert(rgb.end(), &image.pixels[i], &image.pixels[i] + 3);
    return rgb;
}
