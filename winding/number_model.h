// The program's numbers: every variable is a 32-bit float, every expression
// is evaluated with a 64-bit significand (x87 extended, `long double` here).
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <optional>

namespace winding {

using extended = long double;
static_assert(std::numeric_limits<extended>::digits == 64,
              "long double must be the x87 extended format, with a 64-bit significand");

// A stored number. Reading it widens to the extended format, so arithmetic
// on it never runs in float; storing into it rounds to a 32-bit float.
class single {
public:
    constexpr single() = default;
    constexpr single(extended v) : value_(static_cast<float>(v)) {}
    constexpr operator extended() const { return value_; }
    constexpr float stored() const { return value_; }

private:
    float value_ = 0;
};

// Nearest integer, ties to even; NaN, infinities and magnitudes of 2^63 and
// more give -2^63.
std::int64_t round_extended_to_int64(extended x);

// The low 32 bits of round_extended_to_int64: what a table index or an
// integer argument of a screen operation receives.
std::int32_t to_integer_argument(extended x);

// Rounded to a double first, then accepted for -32768.5 <= x < 32767.5 and
// rounded ties to even; nothing for any other value (the caller raises
// "Overflow").
std::optional<std::int16_t> round_to_int16_checked(extended x);

// x = k * floor(x / k) + m: x / k evaluated extended and rounded to a double
// before floor, k * floor + m rounded to a 32-bit float, compared exactly.
bool is_whole_multiple_plus(single x, int k, int m);
inline bool is_even(single x) { return is_whole_multiple_plus(x, 2, 0); }

constexpr std::size_t table_size = 1001;

// One of the seven working tables: elements 0..1000, zero at start.
using working_table = std::array<single, table_size>;

// A converted index inside 0..1000.
inline bool check_array_subscript(std::int32_t index) { return index >= 0 && index < std::int32_t(table_size); }

// The counted loop: start and limit fixed at entry, step 1. At each pass the
// counter is stored into `variable` before the limit test; the next counter
// is the variable read back plus 1. Past 2^24 the stored variable can no
// longer advance (2^24 + 1 stored as a float is 2^24 again); a pass that
// would repeat the previous one ends the loop instead of running for ever.
template <class Body>
void counted_loop(single& variable, double start, double limit, Body&& body) {
    double counter = start;
    for (bool first = true;; first = false) {
        const single previous = variable;
        variable = counter;
        if (counter > limit) return;
        if (!first && variable.stored() == previous.stored()) return;
        body();
        counter = static_cast<double>(extended(variable) + 1);
    }
}

}  // namespace winding
