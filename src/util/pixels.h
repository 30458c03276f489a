// Pixel arithmetic of SetWindowOnTop and CenterForm.
#pragma once
#include "core/result.h"

#include <cstdint>

namespace vemo {

// Nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4,
// -2.5 -> -2), independent of the floating-point rounding mode. Values
// outside the int32 range are clamped to it; NaN gives 0. Use
// TryRoundHalfEven where an out-of-range value must be an error.
int32_t RoundHalfEven(double v);

// As RoundHalfEven, but Overflow for NaN and for results outside int32.
Result<int32_t> TryRoundHalfEven(double v);

// RoundHalfEven(double(twips) / twipsPerPixel); DivisionByZero when
// twipsPerPixel is 0. At 12 twips per pixel: 6 -> 0, 18 -> 2, 20 -> 2.
Result<int32_t> TwipsToPixels(int32_t twips, int32_t twipsPerPixel);

// The left (or top) that centres a form on the screen: (screen - form) / 2,
// unrounded; negative when the form is larger than the screen.
double CenterOffset(double screen, double form);

}  // namespace vemo
