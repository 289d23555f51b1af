// Circles on the colour-index picture, drawn with the screen's aspect.
#pragma once

#include <cstdint>

#include "screen/framebuffer.h"

namespace screen {

// The vertical radius of a circle is this fraction of the horizontal one, so
// that circles look round on a 4:3 display of 640x350 pixels.
constexpr double circle_aspect = 35.0 / 48.0;

// Draws the outline around (cx, cy), relative to the view port's corner, the
// centre rounded half away from zero; only pixels inside the view port are
// visited. A non-finite centre or radius leaves no pixel.
void rasterise_circle(framebuffer& fb, const viewport& vp, double cx, double cy, double radius,
                      std::uint8_t colour);

}  // namespace screen
