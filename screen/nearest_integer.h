// Rounding to the nearest whole number, ties to even, without a library
// call: adding and taking away 2^63 with a 64-bit significand rounds at the
// units place. Needs the x87 unit at its 64-bit precision, as set for the run.
#pragma once

#include <cmath>

namespace screen {

inline long double nearest_integer(long double x) {
    constexpr long double two_63 = 9223372036854775808.0L;
    if (!(std::fabs(x) < two_63)) return x;  // whole already, or not finite
    return x >= 0 ? (x + two_63) - two_63 : -((two_63 - x) - two_63);
}

}  // namespace screen
