#include "screen/line_raster.h"

#include "screen/nearest_integer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace screen {
namespace {

// End points up to this magnitude go straight into exact integer stepping;
// 2 * k * |delta| then stays far inside 64 bits.
constexpr long double exact_limit = 1 << 29;
// Farther lines are first cut to this box, still far off the screen.
constexpr long double cut_box = 1 << 20;

struct integer_line {
    std::int64_t ax, ay, bx, by;
    std::int64_t first_k;  // pattern position of the first point
};

// A line with a far end point is cut, along its major axis, to a box far
// off the screen but small enough for exact stepping. The minor coordinate
// at a cut comes from the line's implicit form M2*m1 - M1*m2, whose float
// products are exact in the extended format: it stays precise for the
// lines that pass near the screen, however far their end points lie.
bool cut_far_line(long double& x1, long double& y1, long double& x2, long double& y2, std::int64_t& first_k) {
    const bool x_major = std::fabs(x2 - x1) >= std::fabs(y2 - y1);
    long double& major1 = x_major ? x1 : y1;
    long double& minor1 = x_major ? y1 : x1;
    long double& major2 = x_major ? x2 : y2;
    long double& minor2 = x_major ? y2 : x2;
    if (major1 == major2) return false;  // a single point, far off
    if (std::max(major1, major2) < -cut_box || std::min(major1, major2) > cut_box) return false;
    const long double implicit = major2 * minor1 - major1 * minor2;
    const long double run = major2 - major1, rise = minor2 - minor1;
    auto minor_at = [&](long double major) { return nearest_integer((major * rise + implicit) / run); };
    const long double cut1 = std::clamp(major1, -cut_box, cut_box);
    const long double cut2 = std::clamp(major2, -cut_box, cut_box);
    // Keep the dash pattern's phase as well as the far end point allows.
    first_k = static_cast<std::int64_t>(std::fmod(std::fabs(cut1 - major1), 16.0L));
    if (cut1 != major1) minor1 = minor_at(cut1);
    if (cut2 != major2) minor2 = minor_at(cut2);
    major1 = cut1;
    major2 = cut2;
    // Along at most 2^21 major steps the minor coordinate moves as far.
    return std::min(std::fabs(minor1), std::fabs(minor2)) <= 4 * cut_box;
}

bool to_integer_line(const viewport& vp, float fx1, float fy1, float fx2, float fy2,
                     integer_line& out) {
    long double x1 = nearest_integer(static_cast<long double>(fx1));
    long double y1 = nearest_integer(static_cast<long double>(fy1));
    long double x2 = nearest_integer(static_cast<long double>(fx2));
    long double y2 = nearest_integer(static_cast<long double>(fy2));
    out.first_k = 0;
    const long double largest = std::max({std::fabs(x1), std::fabs(y1), std::fabs(x2), std::fabs(y2)});
    if (largest > exact_limit && !cut_far_line(x1, y1, x2, y2, out.first_k)) return false;
    out.ax = vp.x0 + whole_to_int64(x1);
    out.ay = vp.y0 + whole_to_int64(y1);
    out.bx = vp.x0 + whole_to_int64(x2);
    out.by = vp.y0 + whole_to_int64(y2);
    return true;
}

// Offset along the minor axis after k major steps: k * minor / major rounded,
// ties away from the start (the midpoint rule of Bresenham's algorithm).
std::int64_t minor_offset(std::int64_t k, std::int64_t minor, std::int64_t major) {
    return (2 * k * minor + major) / (2 * major);
}

// The k in [lo, hi] whose non-decreasing f(k) lies in [want_lo, want_hi].
template <class F>
void narrow(std::int64_t& lo, std::int64_t& hi, std::int64_t want_lo, std::int64_t want_hi, F f) {
    std::int64_t a = lo, b = hi + 1;  // first k with f(k) >= want_lo
    while (a < b) {
        const std::int64_t m = a + (b - a) / 2;
        if (f(m) >= want_lo) b = m;
        else a = m + 1;
    }
    std::int64_t c = a, d = hi + 1;  // first k with f(k) > want_hi
    while (c < d) {
        const std::int64_t m = c + (d - c) / 2;
        if (f(m) > want_hi) d = m;
        else c = m + 1;
    }
    lo = a;
    hi = c - 1;
}

}  // namespace

void rasterise_line(framebuffer& fb, const viewport& vp, float x1, float y1, float x2, float y2,
                    std::uint8_t colour, std::uint16_t style) {
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return;
    integer_line l{};
    if (!to_integer_line(vp, x1, y1, x2, y2, l)) return;

    const std::int64_t dx = l.bx - l.ax, dy = l.by - l.ay;
    const bool x_major = std::llabs(dx) >= std::llabs(dy);
    const std::int64_t major = x_major ? std::llabs(dx) : std::llabs(dy);
    const std::int64_t minor = x_major ? std::llabs(dy) : std::llabs(dx);
    const std::int64_t major_sign = (x_major ? dx : dy) < 0 ? -1 : 1;
    const std::int64_t minor_sign = (x_major ? dy : dx) < 0 ? -1 : 1;
    const std::int64_t major_start = x_major ? l.ax : l.ay;
    const std::int64_t minor_start = x_major ? l.ay : l.ax;
    const std::int64_t major_lo = x_major ? vp.x0 : vp.y0, major_hi = x_major ? vp.x1 : vp.y1;
    const std::int64_t minor_lo = x_major ? vp.y0 : vp.x0, minor_hi = x_major ? vp.y1 : vp.x1;

    // Steps whose major coordinate lies inside the view port.
    std::int64_t k_lo = 0, k_hi = major;
    if (major_sign > 0) {
        k_lo = std::max(k_lo, major_lo - major_start);
        k_hi = std::min(k_hi, major_hi - major_start);
    } else {
        k_lo = std::max(k_lo, major_start - major_hi);
        k_hi = std::min(k_hi, major_start - major_lo);
    }
    if (k_lo > k_hi) return;

    auto offset = [&](std::int64_t k) { return major == 0 ? 0 : minor_offset(k, minor, major); };
    if (minor_sign > 0) narrow(k_lo, k_hi, minor_lo - minor_start, minor_hi - minor_start, offset);
    else narrow(k_lo, k_hi, minor_start - minor_hi, minor_start - minor_lo, offset);

    // Step the minor coordinate incrementally from the first visible pixel:
    // offset(k) = (2 k minor + major) div (2 major).
    const std::int64_t denominator = 2 * std::max<std::int64_t>(major, 1);
    std::int64_t numerator = 2 * k_lo * minor + major;
    std::int64_t minor_step = numerator / denominator;
    numerator -= minor_step * denominator;
    std::int64_t a = major_start + major_sign * k_lo;
    for (std::int64_t k = k_lo; k <= k_hi; ++k) {
        if ((style >> (15 - ((k + l.first_k) & 15))) & 1) {
            const std::int64_t b = minor_start + minor_sign * minor_step;
            fb.set(int(x_major ? a : b), int(x_major ? b : a), colour);
        }
        a += major_sign;
        numerator += 2 * minor;
        if (numerator >= denominator) {
            numerator -= denominator;
            ++minor_step;
        }
    }
}

}  // namespace screen
