#include "screen/palette.h"

namespace screen {

std::uint32_t ega64_colour(int index) {
    auto channel = [index](int primary_bit, int secondary_bit) -> std::uint32_t {
        return ((index >> primary_bit) & 1) * 0xAAu + ((index >> secondary_bit) & 1) * 0x55u;
    };
    return (channel(2, 5) << 16) | (channel(1, 4) << 8) | channel(0, 3);
}

screen_palette default_palette() {
    // The palette registers of the standard 16-colour mode: colour 6 is brown
    // (register 20), the bright colours are registers 56 to 63.
    constexpr std::array<int, 16> registers = {0,  1,  2,  3,  4,  5,  20, 7,
                                               56, 57, 58, 59, 60, 61, 62, 63};
    screen_palette p{};
    for (std::size_t i = 0; i < p.size(); ++i) p[i] = ega64_colour(registers[i]);
    return p;
}

}  // namespace screen
