#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "screen_test_support.h"

namespace screen {
namespace {

using screen_test::count_colour;
using screen_test::count_set;
using screen_test::headless_screen;

struct extent {
    int left, right, top, bottom;
};

extent extent_of(const screen_layer& s) {
    extent e{screen_width, -1, screen_height, -1};
    for (int y = 0; y < screen_height; ++y)
        for (int x = 0; x < screen_width; ++x)
            if (s.pixel(x, y)) {
                e.left = std::min(e.left, x);
                e.right = std::max(e.right, x);
                e.top = std::min(e.top, y);
                e.bottom = std::max(e.bottom, y);
            }
    return e;
}

struct circle_case {
    const char* name;
    double x, y, radius;
    extent expected;
    extent view_port = {0, 639, 0, 349};  // the centre is relative to its corner
};

// The vertical radius is 35/48 of the horizontal one; the centre rounds
// half away from zero; the view port's own last row and column are drawn.
TEST(draw_circle, extent_follows_the_aspect_and_the_centre_rounding) {
    const std::vector<circle_case> cases = {
        {"terminal ring, rows 310 to 314", 44.17, 311.9999885559082, 3, {41, 47, 310, 314}},
        {"symbol ring", 44.17, 335, 5, {39, 49, 331, 339}},
        {"dot", 100, 100, 1, {99, 101, 99, 101}},
        {"header conductor", 27, 13, 3, {24, 30, 11, 15}},
        {"centre just below .5 goes down", 237.49999427795410, 100, 3, {234, 240, 98, 102}},
        {"centre .5 goes away from zero", 10.5, 100.5, 3, {8, 14, 99, 103}},
        {"negative .5 goes away from zero", -2.5, 100, 5, {0, 2, 97, 103}},
        {"radius 0 is one pixel", 50, 60, 0, {50, 50, 60, 60}},
        {"lower symbol ring at the screen's last row and column", 636, 345, 5, {631, 639, 341, 349}},
        // The last column meets the circle's flat top and the last row its
        // steep side, so each gets its one pixel from one of the two walks.
        {"clipped at a view port's last row and column", 99, 99, 40, {159, 200, 120, 150}, {100, 200, 50, 150}},
    };
    for (const auto& c : cases) {
        headless_screen h;
        h.screen.set_viewport(c.view_port.left, c.view_port.top, c.view_port.right, c.view_port.bottom);
        h.screen.draw_circle(c.x, c.y, c.radius, 9);
        const extent e = extent_of(h.screen);
        EXPECT_EQ(e.left, c.expected.left) << c.name;
        EXPECT_EQ(e.right, c.expected.right) << c.name;
        EXPECT_EQ(e.top, c.expected.top) << c.name;
        EXPECT_EQ(e.bottom, c.expected.bottom) << c.name;
    }
}

TEST(draw_circle, outline_is_symmetric_and_connected) {
    headless_screen h;
    h.screen.draw_circle(320, 175, 40, 15);
    int set = 0;
    for (int y = 0; y < screen_height; ++y)
        for (int x = 0; x < screen_width; ++x) {
            if (!h.screen.pixel(x, y)) continue;
            ++set;
            EXPECT_EQ(h.screen.pixel(640 - x, y), 15);
            EXPECT_EQ(h.screen.pixel(x, 350 - y), 15);
            int neighbours = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) neighbours += (dx || dy) && h.screen.pixel(x + dx, y + dy);
            EXPECT_GE(neighbours, 2) << x << "," << y;
            // On the ellipse to within a pixel.
            const double u = (x - 320) / 40.0, v = (y - 175) / (40 * 35.0 / 48);
            EXPECT_NEAR(std::sqrt(u * u + v * v), 1.0, 1.0 / 29) << x << "," << y;
        }
    EXPECT_GT(set, 150);
}

TEST(draw_circle, symbol_ring_right_column_has_three_pixels) {
    // A ring of radius 5 centred at x 20 reaches column 25 with rows 334..336.
    headless_screen h;
    h.screen.draw_circle(20, 335, 5, 12);
    EXPECT_EQ(count_colour(h.screen, 12, 25, 0, 25, 349), 3);
    EXPECT_EQ(count_colour(h.screen, 12, 25, 334, 25, 336), 3);
}

TEST(draw_circle, clipped_to_the_view_port) {
    headless_screen h;
    h.screen.set_viewport(0, 30, 31, 349);
    h.screen.draw_circle(30, 100, 5, 15);  // relative: screen centre (30, 130)
    EXPECT_GT(count_set(h.screen), 0);
    EXPECT_EQ(count_colour(h.screen, 15, 32, 0, 639, 349), 0);
    EXPECT_EQ(h.screen.pixel(25, 130), 15);
}

TEST(draw_circle, non_finite_or_far_centres_leave_no_pixel_and_no_error) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<std::array<double, 3>> cases = {
        {inf, 312, 3}, {-inf, 312, 3}, {nan, 312, 3}, {100, nan, 3}, {1e300, 5, 3}, {-672.5, 300, 5}, {320, 175, 1e7},
    };
    for (const auto& c : cases) {
        headless_screen h;
        h.screen.draw_circle(c[0], c[1], c[2], 15);
        EXPECT_EQ(count_set(h.screen), 0) << c[0] << " " << c[1] << " " << c[2];
        EXPECT_FALSE(h.screen.error_pending());
    }
}

}  // namespace
}  // namespace screen
