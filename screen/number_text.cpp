#include "screen/number_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace screen {

std::string single_to_string(float value) {
    if (std::isnan(value)) return " NAN";
    if (std::isinf(value)) return value > 0 ? " INF" : "-INF";
    const std::string sign = value >= 0 ? " " : "-";
    if (value == 0) return sign + "0";

    // "d.dddddde+XX": the value rounded to 7 significant digits.
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6e", static_cast<double>(std::fabs(value)));
    std::string digits;
    digits += buf[0];
    digits.append(buf + 2, 6);
    const int exponent = std::atoi(buf + 9);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    const int count = int(digits.size());

    const int after_point = std::max(0, count - 1 - exponent);
    if (exponent <= 6 && after_point <= 7) {
        std::string text;
        if (exponent < 0) {
            text = "." + std::string(std::size_t(-exponent - 1), '0') + digits;
        } else if (count > exponent + 1) {
            text = digits.substr(0, std::size_t(exponent) + 1) + "." + digits.substr(std::size_t(exponent) + 1);
        } else {
            text = digits + std::string(std::size_t(exponent + 1 - count), '0');
        }
        return sign + text;
    }
    std::string mantissa = digits.substr(0, 1);
    if (count > 1) mantissa += "." + digits.substr(1);
    char exp_text[16];
    std::snprintf(exp_text, sizeof exp_text, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return sign + mantissa + exp_text;
}

}  // namespace screen
