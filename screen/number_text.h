// The text of a 32-bit float as the program prints it.
#pragma once

#include <string>

namespace screen {

// Seven significant digits, trailing zeros dropped; fixed notation while the
// decimal exponent is at most 6 and at most 7 digits follow the point, else
// mantissa, "E", sign and two exponent digits. A blank stands before values
// >= 0, a minus sign before the others; no zero before the point (" .5").
// Infinities and NaN print as " INF", "-INF" and " NAN".
std::string single_to_string(float value);

}  // namespace screen
