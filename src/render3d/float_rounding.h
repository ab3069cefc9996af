// The rounding steps the drawing code shares: results computed in double and stored as
// 32-bit floats, and float-to-integer conversion that is defined for every input.
//
// Used by the effects, the wireframe pipeline and the timeline, wherever a value is rounded
// to a float on purpose (those rounding points decide the exact pixels) or a computed
// coordinate is truncated to a cell index.
#pragma once

#include <cmath>
#include <cstdint>

// A double result stored as a float: the one rounding step, named so it is visible.
inline float roundToFloat(double value) { return static_cast<float>(value); }

// sin of a value first rounded to float, computed in double, rounded to float.
inline float sinFloat(float value) { return static_cast<float>(std::sin(static_cast<double>(value))); }
inline float cosFloat(float value) { return static_cast<float>(std::cos(static_cast<double>(value))); }

// Truncation toward zero for values that fit; values beyond the 32-bit range saturate, and
// NaN becomes the most negative value, so a cell index made from it lies outside the grid.
inline int32_t truncateToInt32(double value) {
    if (std::isnan(value)) return INT32_MIN;
    if (value <= -2147483648.0) return INT32_MIN;
    if (value >= 2147483647.0) return INT32_MAX;
    return static_cast<int32_t>(value);
}
