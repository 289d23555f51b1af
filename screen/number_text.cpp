#include "screen/number_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace screen {

std::string single_to_string(float value) {
    if (std::isnan(value)) return " NAN";
    if (std::isinf(value)) return value > 0 ? " INF" : "-INF";
    if (value == 0) return " 0";  // -0 as well

    // "d.dddddde+XX": the value rounded to 7 significant digits.
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6e", static_cast<double>(std::fabs(value)));
    std::string digits;
    digits += buf[0];
    digits.append(buf + 2, 6);
    const int exponent = std::atoi(buf + 9);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    const int count = int(digits.size());

    // Built by appending: g++ 12 at -O3 mistakes `"." + std::string(...)`
    // for an overlapping copy (-Wrestrict).
    std::string text = value >= 0 ? " " : "-";
    const int after_point = std::max(0, count - 1 - exponent);
    if (exponent <= 6 && after_point <= 7) {
        if (exponent < 0) {
            text += '.';
            text.append(std::size_t(-exponent - 1), '0');
            text += digits;
        } else if (count > exponent + 1) {
            text.append(digits, 0, std::size_t(exponent) + 1);
            text += '.';
            text.append(digits, std::size_t(exponent) + 1);
        } else {
            text += digits;
            text.append(std::size_t(exponent + 1 - count), '0');
        }
        return text;
    }
    text += digits[0];
    if (count > 1) {
        text += '.';
        text.append(digits, 1);
    }
    char exp_text[16];
    std::snprintf(exp_text, sizeof exp_text, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return text + exp_text;
}

}  // namespace screen
