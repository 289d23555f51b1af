// The 16-colour palette of the 640x350 screen.
#pragma once

#include <array>
#include <cstdint>

namespace screen {

// 0xRRGGBB of a colour of the 64-colour EGA set: bits 0-2 add 0xAA of blue,
// green, red; bits 3-5 add 0x55 of blue, green, red.
std::uint32_t ega64_colour(int index);

using screen_palette = std::array<std::uint32_t, 16>;

// The standard 16 colours (black, blue, ..., brown, ..., bright white).
screen_palette default_palette();

}  // namespace screen
