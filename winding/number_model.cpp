#include "winding/number_model.h"

#include <cmath>

#include "screen/nearest_integer.h"

namespace winding {

std::int64_t round_extended_to_int64(extended x) {
    constexpr extended two_63 = 9223372036854775808.0L;
    if (!std::isfinite(x) || std::fabs(x) >= two_63) return INT64_MIN;
    return screen::whole_to_int64(screen::nearest_integer(x));
}

std::int32_t to_integer_argument(extended x) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(round_extended_to_int64(x)));
}

std::optional<std::int16_t> round_to_int16_checked(extended x) {
    const double d = static_cast<double>(x);
    if (!(d >= -32768.5 && d < 32767.5)) return std::nullopt;
    return static_cast<std::int16_t>(screen::whole_to_int64(screen::nearest_integer(d)));
}

bool is_whole_multiple_plus(single x, int k, int m) {
    const double quotient = static_cast<double>(extended(x) / k);
    const single back = extended(k) * std::floor(quotient) + m;
    return x.stored() == back.stored();
}

}  // namespace winding
