#include "screen/circle_raster.h"

#include <algorithm>
#include <cmath>

namespace screen {

void rasterise_circle(framebuffer& fb, const viewport& vp, double cx, double cy, double radius,
                      std::uint8_t colour) {
    if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(radius)) return;
    const double rx = std::fabs(radius);
    const double ry = rx * circle_aspect;
    const double centre_x = vp.x0 + std::round(cx);
    const double centre_y = vp.y0 + std::round(cy);
    const double reach_x = std::round(rx), reach_y = std::round(ry);
    if (centre_x + reach_x < vp.x0 || centre_x - reach_x > vp.x1 || centre_y + reach_y < vp.y0 ||
        centre_y - reach_y > vp.y1)
        return;
    // Beyond 2^52 whole pixels are no longer exact in a double.
    constexpr double exact = 4503599627370496.0;
    if (std::fabs(centre_x) > exact || std::fabs(centre_y) > exact || rx > exact) return;
    const long ox = long(centre_x), oy = long(centre_y);

    auto plot = [&](long x, long y) {
        if (x >= vp.x0 && x <= vp.x1 && y >= vp.y0 && y <= vp.y1) fb.set(int(x), int(y), colour);
    };
    // Offset on one axis for a whole offset on the other, on the ellipse.
    auto partner = [](double offset, double own_radius, double other_radius) {
        if (own_radius == 0) return 0.0;
        const double t = std::min(1.0, std::fabs(offset) / own_radius);
        return std::round(other_radius * std::sqrt(1 - t * t));
    };

    // Walking both axes keeps the outline connected where it runs steep and
    // where it runs flat. Only offsets that can land inside the view port.
    const long i_lo = std::max(-long(reach_x), vp.x0 - ox), i_hi = std::min(long(reach_x), vp.x1 - ox);
    for (long i = i_lo; i <= i_hi; ++i) {
        const long j = long(partner(double(i), rx, ry));
        plot(ox + i, oy - j);
        plot(ox + i, oy + j);
    }
    const long j_lo = std::max(-long(reach_y), vp.y0 - oy), j_hi = std::min(long(reach_y), vp.y1 - oy);
    for (long j = j_lo; j <= j_hi; ++j) {
        const long i = long(partner(double(j), ry, rx));
        plot(ox - i, oy + j);
        plot(ox + i, oy + j);
    }
}

}  // namespace screen
