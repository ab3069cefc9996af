// Float-to-integer conversion that is defined for every input.
//
// Used wherever a computed coordinate is truncated to a cell index (line drawing, text
// waves, the wavy picture). Values that fit behave like a plain truncation toward zero;
// values beyond the 32-bit range saturate, and NaN becomes the most negative value, so a
// cell index made from it always lies outside the grid.
#pragma once

#include <cmath>
#include <cstdint>

inline int32_t truncateToInt32(double value) {
    if (std::isnan(value)) return INT32_MIN;
    if (value <= -2147483648.0) return INT32_MIN;
    if (value >= 2147483647.0) return INT32_MAX;
    return static_cast<int32_t>(value);
}
