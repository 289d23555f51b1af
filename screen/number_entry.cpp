#include "screen/number_entry.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace screen {
namespace {

// The same grammar as number_entry_accepts, on a whole text.
bool is_number_prefix(const std::string& t) {
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    bool mantissa_digit = false;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, mantissa_digit = true;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, mantissa_digit = true;
    }
    if (i < t.size() && (t[i] == 'E' || t[i] == 'e')) {
        if (!mantissa_digit) return false;
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i;
    }
    return i == t.size();
}

}  // namespace

float number_entry_value(const std::string& text) {
    return std::strtof(text.c_str(), nullptr);
}

bool number_entry_accepts(const std::string& text, char c) {
    const std::string next = text + c;
    if (!is_number_prefix(next)) return false;
    return std::isfinite(number_entry_value(next));
}

}  // namespace screen
