#include "screen/framebuffer.h"

#include <algorithm>
#include <cstring>

namespace screen {

void framebuffer::fill(int x0, int y0, int x1, int y1, std::uint8_t colour) {
    for (int y = y0; y <= y1; ++y)
        std::fill_n(pixels_.begin() + std::ptrdiff_t(index(x0, y)), x1 - x0 + 1, colour);
}

void framebuffer::scroll_up(int top, int bottom, int lines, std::uint8_t fill_colour) {
    const int moved = bottom - top + 1 - lines;
    if (moved > 0)
        std::memmove(&pixels_[index(0, top)], &pixels_[index(0, top + lines)],
                     std::size_t(moved) * screen_width);
    fill(0, std::max(top, bottom - lines + 1), screen_width - 1, bottom, fill_colour);
}

}  // namespace screen
