// Report pictures for the README: a contact sheet of captured frames and a plot of the
// bass level from a capture's frames.csv. Used by zorbel-sheet and zorbel-plot.
#pragma once

#include <string>
#include <vector>

#include "png_io.h"

// Tiles the pictures left to right, `columns` to a row, with a black gap between them.
// All pictures take the size of the first; a smaller one is padded, a larger one cut.
RgbaImage tilePictures(const std::vector<RgbaImage>& pictures, int columns, int gap);

struct PlotPoint {
    double time, value;
};

// Reads (demo_time, bass_level) from a capture's frames.csv, keeping from <= time <= to.
std::vector<PlotPoint> readBassLevels(const std::string& csvPath, double from, double to);

// A line plot of the points on a dark background with a grid line per whole value, the
// values on the left, the seconds below and both axes named.
RgbaImage plotPoints(const std::vector<PlotPoint>& points, int width, int height);

// Drops the alpha channel, for writePng.
std::vector<uint8_t> toRgb(const RgbaImage& image);
