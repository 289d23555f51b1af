#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "winding/number_model.h"

namespace winding {
namespace {

constexpr extended inf = std::numeric_limits<extended>::infinity();
constexpr extended nan = std::numeric_limits<extended>::quiet_NaN();

TEST(number_model, extended_format_has_a_64_bit_significand) {
    EXPECT_EQ(std::numeric_limits<extended>::digits, 64);
    // 2^-63 survives an addition to 1 only with a 64-bit significand.
    volatile extended tiny = std::ldexp(1.0L, -63);
    EXPECT_NE(1.0L + tiny, 1.0L);
}

TEST(number_model, stores_round_to_float_and_reads_widen) {
    single z = 24, dx;
    dx = 580 / z;
    EXPECT_EQ(dx.stored(), 24.16666603f);
    // Arithmetic on two stored values runs extended: 1/3 + 1/3 is rounded once.
    single third = extended(1) / 3;
    const extended sum = third + third;
    EXPECT_EQ(sum, extended(third.stored()) * 2);
    // q divides the stored, rounded y1.
    single p = 7, y1, q;
    y1 = single(20) / p;
    q = y1 / single(3);
    EXPECT_EQ(q.stored(), static_cast<float>(extended(y1.stored()) / 3));
}

TEST(number_model, division_by_zero_gives_infinities_and_nan_without_traps) {
    single zero = 0, five = 5;
    single a = five / zero, b = zero / zero;
    EXPECT_TRUE(std::isinf(a.stored()));
    EXPECT_TRUE(std::isnan(b.stored()));
    EXPECT_FALSE(b == b);
}

struct int64_case {
    extended x;
    std::int64_t expected;
};

TEST(number_model, round_extended_to_int64_is_nearest_ties_to_even) {
    const std::vector<int64_case> cases = {
        {0.5L, 0},      {1.5L, 2},      {2.5L, 2},       {-0.5L, 0},  {-1.5L, -2},
        {-2.5L, -2},    {237.5L, 238},  {92.5L, 92},     {2.4999L, 2}, {1e18L, 1000000000000000000},
        {nan, INT64_MIN}, {inf, INT64_MIN}, {-inf, INT64_MIN},
        {9223372036854775808.0L, INT64_MIN}, {-9223372036854775808.0L, INT64_MIN},
        {9223372036854775807.0L, INT64_MAX},
    };
    for (const auto& c : cases) EXPECT_EQ(round_extended_to_int64(c.x), c.expected) << double(c.x);
}

TEST(number_model, integer_arguments_are_the_low_32_bits) {
    EXPECT_EQ(to_integer_argument(4294967296.0L + 5), 5);
    EXPECT_EQ(to_integer_argument(-1.0L), -1);
    EXPECT_EQ(to_integer_argument(2147483648.0L), INT32_MIN);
    EXPECT_EQ(to_integer_argument(1e30L), 0);  // -2^63 has low bits 0
    EXPECT_EQ(to_integer_argument(nan), 0);
}

struct int16_case {
    extended x;
    std::optional<std::int16_t> expected;
};

TEST(number_model, round_to_int16_checked_accepts_minus_32768_5_up_to_32767_5) {
    const std::vector<int16_case> cases = {
        {0, 0},
        {22.0235L, 22},
        {4.5L, 4},
        {5.5L, 6},
        {-32768.5L, -32768},
        {-32768.50001L, std::nullopt},
        {32767.49999L, 32767},
        {32767.5L, std::nullopt},
        {-1e9L, std::nullopt},
        {nan, std::nullopt},
        {inf, std::nullopt},
        // Rounded to a double first: this extended value lies a hair below
        // 32767.5 and becomes exactly 32767.5.
        {32767.5L - std::ldexp(1.0L, -50), std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(round_to_int16_checked(c.x), c.expected) << double(c.x);
}

struct whole_case {
    float x;
    int k, m;
    bool expected;
};

TEST(number_model, whole_number_tests) {
    const std::vector<whole_case> cases = {
        {4, 2, 0, true},  {3, 2, 0, false}, {0, 2, 0, true},   {-2, 2, 0, true},
        {-3, 2, 0, false}, {2.5f, 2, 0, false}, {7, 3, 1, true}, {8, 3, 2, true},
        {8, 3, 1, false}, {16777216.0f, 2, 0, true},
        {std::numeric_limits<float>::quiet_NaN(), 2, 0, false},
        // The test as written holds for an infinity: 2 * floor(inf / 2) is inf.
        {std::numeric_limits<float>::infinity(), 2, 0, true},
    };
    for (const auto& c : cases) EXPECT_EQ(is_whole_multiple_plus(c.x, c.k, c.m), c.expected) << c.x;
}

struct loop_case {
    const char* name;
    double start, limit;
    std::vector<float> passes;
    float left_in_variable;
};

TEST(number_model, counted_loop_passes) {
    const std::vector<loop_case> cases = {
        {"whole limit", 1, 4, {1, 2, 3, 4}, 5},
        {"fractional limit stops at the largest whole number below", 1, 46.5 - 43, {1, 2, 3}, 4},
        {"limit below start runs no pass but stores the start", 1, 0, {}, 1},
        {"negative limit", 1, -5, {}, 1},
        {"single pass", 1, 1, {1}, 2},
        {"near the float ceiling", 16777214, 16777215, {16777214, 16777215}, 16777216},
    };
    for (const auto& c : cases) {
        single variable = 99;
        std::vector<float> seen;
        counted_loop(variable, c.start, c.limit, [&] { seen.push_back(variable.stored()); });
        EXPECT_EQ(seen, c.passes) << c.name;
        EXPECT_EQ(variable.stored(), c.left_in_variable) << c.name;
    }
}

TEST(number_model, counted_loop_cannot_count_past_2_to_the_24) {
    // 2^24 + 1 stored as a float is 2^24 again: the loop ends there instead
    // of repeating the pass for ever.
    single variable;
    std::vector<float> seen;
    counted_loop(variable, 16777215, 1e9, [&] { seen.push_back(variable.stored()); });
    EXPECT_EQ(seen, (std::vector<float>{16777215, 16777216}));
    EXPECT_EQ(variable.stored(), 16777216.0f);
}

TEST(number_model, counted_loop_counts_from_the_variable_read_back) {
    // Start 0.1 is stored as the float nearest 0.1; the next counter is that
    // float plus 1, not 1.1.
    single variable;
    std::vector<double> seen;
    counted_loop(variable, 0.1, 2.5, [&] { seen.push_back(variable.stored()); });
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[1], double(float(double(0.1f) + 1)));
}

TEST(number_model, table_subscripts) {
    EXPECT_TRUE(check_array_subscript(0));
    EXPECT_TRUE(check_array_subscript(1000));
    EXPECT_FALSE(check_array_subscript(1001));
    EXPECT_FALSE(check_array_subscript(-1));
}

}  // namespace
}  // namespace winding
