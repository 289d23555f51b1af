// What the number entry accepts while the user types, and what the text is worth.
#pragma once

#include <string>

namespace screen {

// True when `c` can continue `text` towards a number whose value fits a
// 32-bit float: [sign] digits [. digits] [E [sign] digits].
bool number_entry_accepts(const std::string& text, char c);

// The value of an accepted entry; an empty or sign-only entry is 0.
float number_entry_value(const std::string& text);

}  // namespace screen
