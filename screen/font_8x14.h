// The 8x14 text font, compiled in at build time from the Debian console font.
#pragma once

#include <array>
#include <cstdint>

namespace screen {

// Row bytes of each glyph, most significant bit leftmost; indexed by Latin-1 code.
using font_table = std::array<std::array<std::uint8_t, 14>, 256>;
extern const font_table font_8x14;

}  // namespace screen
