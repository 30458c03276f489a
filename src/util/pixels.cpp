// Round half to even and twips-to-pixels conversion.
#include "util/pixels.h"

#include <cmath>
#include <limits>

namespace vemo {

namespace {

// Round half to even of a finite value, as a double.
double RoundedHalfEven(double v) {
    const double down = std::floor(v);
    const double fraction = v - down;  // exact for doubles, in [0, 1)
    if (fraction < 0.5) return down;
    if (fraction > 0.5) return down + 1;
    return std::fmod(down, 2.0) == 0 ? down : down + 1;
}

constexpr double kMin = static_cast<double>(std::numeric_limits<int32_t>::min());
constexpr double kMax = static_cast<double>(std::numeric_limits<int32_t>::max());

}  // namespace

Result<int32_t> TryRoundHalfEven(double v) {
    if (std::isnan(v)) return CoreError::Overflow;
    const double r = std::isinf(v) ? v : RoundedHalfEven(v);
    if (r < kMin || r > kMax) return CoreError::Overflow;
    return static_cast<int32_t>(r);
}

int32_t RoundHalfEven(double v) {
    if (std::isnan(v)) return 0;
    if (v <= kMin) return std::numeric_limits<int32_t>::min();
    if (v >= kMax) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(RoundedHalfEven(v));
}

Result<int32_t> TwipsToPixels(int32_t twips, int32_t twipsPerPixel) {
    if (twipsPerPixel == 0) return CoreError::DivisionByZero;
    return RoundHalfEven(static_cast<double>(twips) / twipsPerPixel);
}

double CenterOffset(double screen, double form) { return (screen - form) / 2; }

}  // namespace vemo
