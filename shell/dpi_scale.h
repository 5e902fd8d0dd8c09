// Every measure of the program is drawn up for 96 dots per inch and passes
// through this one function on its way to the screen, so a window on a
// monitor at 144 DPI is laid out one and a half times as large.
#pragma once

#include <cstdint>

constexpr int32_t DESIGN_DPI = 96;

// value * dpi / 96, rounded to the nearest pixel (halves away from zero), as
// the platform's MulDiv rounds.
constexpr int32_t ScaleToDpi(int32_t value, int32_t dpi) {
    const int64_t product = static_cast<int64_t>(value) * dpi;
    const int64_t half = DESIGN_DPI / 2;
    return static_cast<int32_t>(product >= 0 ? (product + half) / DESIGN_DPI
                                             : -((-product + half) / DESIGN_DPI));
}
