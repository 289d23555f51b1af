// Straight lines on the colour-index picture.
#pragma once

#include <cstdint>

#include "screen/framebuffer.h"

namespace screen {

// Draws from (x1, y1) to (x2, y2), coordinates relative to the view port's
// corner and rounded to nearest, ties to even. Pixel k, counted from the
// first point, is set when bit 15 - (k mod 16) of `style` is set. Only pixels
// inside the view port are visited, whatever the end points' magnitude; a
// non-finite coordinate leaves no pixel.
void rasterise_line(framebuffer& fb, const viewport& vp, float x1, float y1, float x2, float y2,
                    std::uint8_t colour, std::uint16_t style);

}  // namespace screen
