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

// A whole number of magnitude below 2^63 as an integer. Below 2^53 the
// conversion goes through a double, which is exact there and spares the
// x87 unit the switch of its rounding mode that a direct conversion costs.
inline long long whole_to_int64(long double whole) {
    constexpr long double two_53 = 9007199254740992.0L;
    if (std::fabs(whole) < two_53) return static_cast<long long>(static_cast<double>(whole));
    return static_cast<long long>(whole);
}

}  // namespace screen
