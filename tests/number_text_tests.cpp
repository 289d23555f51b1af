#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "screen/number_text.h"

namespace screen {
namespace {

struct text_case {
    float value;
    const char* text;
};

TEST(number_text, single_to_string) {
    const std::vector<text_case> cases = {
        // whole numbers and the sign column
        {0.0f, " 0"},
        {-0.0f, " 0"},
        {6, " 6"},
        {-6, "-6"},
        {24, " 24"},
        {1234567, " 1234567"},
        {9999999, " 9999999"},
        // seven significant digits, trailing zeros dropped
        {5.0f / 3.0f, " 1.666667"},
        {580.0f / 24.0f, " 24.16667"},
        {0.5f, " .5"},
        {-0.5f, "-.5"},
        {0.25f, " .25"},
        {1.75f, " 1.75"},
        {4.199f, " 4.199"},
        {0.001f, " .001"},
        // up to seven digits after the point stay fixed
        {1e-7f, " .0000001"},
        {1.5e-7f, " 1.5E-07"},
        {0.0123456f, " .0123456"},
        {0.01234567f, " 1.234567E-02"},
        // exponent above 6
        {10000000, " 1E+07"},
        {12345678, " 1.234568E+07"},
        {9999999.5f, " 1E+07"},
        {-3.4028235e38f, "-3.402823E+38"},
        {1.0e-45f, " 1.401298E-45"},
        // not finite
        {std::numeric_limits<float>::infinity(), " INF"},
        {-std::numeric_limits<float>::infinity(), "-INF"},
        {std::numeric_limits<float>::quiet_NaN(), " NAN"},
    };
    for (const auto& c : cases) EXPECT_EQ(single_to_string(c.value), c.text) << c.value;
}

}  // namespace
}  // namespace screen
