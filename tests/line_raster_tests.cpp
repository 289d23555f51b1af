#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "screen/line_raster.h"
#include "screen_test_support.h"

namespace screen {
namespace {

using screen_test::count_colour;
using screen_test::count_set;
using screen_test::headless_screen;

constexpr float inf = std::numeric_limits<float>::infinity();
constexpr float nan = std::numeric_limits<float>::quiet_NaN();

struct style_case {
    const char* name;
    float x1, y1, x2, y2;
    std::uint16_t style;
    int pixels_set;
};

// Dash patterns, counted from the first point.
TEST(draw_line, styles_set_the_pixels_their_mask_names) {
    const std::vector<style_case> cases = {
        {"slot line dots", 40, 18, 40, 0, 0x8888, 5},
        {"pole boundary 301 pixels", 177, 30, 177, 330, 0xFF99, 227},
        {"dashed layer, 301 pixels", 100, 30, 100, 330, 0xFF00, 152},
        {"solid", 0, 5, 639, 5, 0xFFFF, 640},
        {"single point", 7, 7, 7, 7, 0x8000, 1},
    };
    for (const auto& c : cases) {
        headless_screen h;
        h.screen.draw_line(c.x1, c.y1, c.x2, c.y2, 15, c.style);
        EXPECT_EQ(count_set(h.screen), c.pixels_set) << c.name;
    }
}

TEST(draw_line, slot_line_dots_stand_every_fourth_pixel_from_the_first_point) {
    headless_screen h;
    h.screen.draw_line(40, 18, 40, 0, 15, 0x8888);
    for (int y = 0; y <= 18; ++y) EXPECT_EQ(h.screen.pixel(40, y), (18 - y) % 4 == 0 ? 15 : 0) << y;
}

TEST(draw_line, pole_boundary_runs_are_9_2_2_2_then_10_2_2_2) {
    headless_screen h;
    h.screen.draw_line(177, 30, 177, 330, 2, 0xFF99);
    std::string runs;
    for (int y = 30; y <= 62; ++y) runs += h.screen.pixel(177, y) == 2 ? '#' : '.';
    EXPECT_EQ(runs, "#########..##..##########..##..##");
}

TEST(draw_line, pattern_counts_off_screen_pixels_from_the_first_point) {
    headless_screen h;
    // Pixels x -10..-3 are the first dash, -2..5 the gap, 6..13 the next dash.
    h.screen.draw_line(-10, 5, 10, 5, 15, 0xFF00);
    EXPECT_EQ(count_colour(h.screen, 15, 0, 5, 5, 5), 0);
    EXPECT_EQ(count_colour(h.screen, 15, 6, 5, 10, 5), 5);
    headless_screen reversed;
    reversed.screen.draw_line(639, 9, 0, 9, 15, 0xFF00);
    EXPECT_EQ(reversed.screen.pixel(639, 9), 15);
    EXPECT_EQ(reversed.screen.pixel(631, 9), 0);
    EXPECT_EQ(reversed.screen.pixel(0, 9), 0);  // 639 steps: pixel 639 is in a gap
}

TEST(draw_line, end_points_round_to_nearest_ties_to_even) {
    const std::vector<std::pair<float, int>> cases = {
        {92.5f, 92}, {237.5f, 238}, {0.5f, 0}, {1.5f, 2}, {44.17f, 44}, {382.5f, 382}, {527.5f, 528}};
    for (auto [x, column] : cases) {
        headless_screen h;
        h.screen.draw_line(x, 105, x, 195, 3);
        EXPECT_EQ(count_colour(h.screen, 3, column, 105, column, 195), 91) << x;
        EXPECT_EQ(count_set(h.screen), 91) << x;
    }
}

TEST(draw_line, current_colour_when_none_is_given) {
    headless_screen h;
    h.screen.set_colour(12);
    h.screen.draw_line(0, 0, 9, 0);
    EXPECT_EQ(count_colour(h.screen, 12, 0, 0, 9, 0), 10);
}

// Every step along the major axis sets one pixel within half a pixel of the
// ideal line, and both end points are set.
TEST(draw_line, random_lines_stay_within_half_a_pixel) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> xs(0, 639), ys(0, 349);
    for (int n = 0; n < 300; ++n) {
        const int x1 = xs(rng), y1 = ys(rng), x2 = xs(rng), y2 = ys(rng);
        framebuffer fb;
        rasterise_line(fb, viewport{}, float(x1), float(y1), float(x2), float(y2), 1, 0xFFFF);
        ASSERT_EQ(fb.at(x1, y1), 1);
        ASSERT_EQ(fb.at(x2, y2), 1);
        const bool x_major = std::abs(x2 - x1) >= std::abs(y2 - y1);
        const int a0 = x_major ? std::min(x1, x2) : std::min(y1, y2);
        const int a1 = x_major ? std::max(x1, x2) : std::max(y1, y2);
        int total = 0;
        for (int a = a0; a <= a1; ++a) {
            int on_this_step = 0;
            for (int b = 0; b < (x_major ? 350 : 640); ++b) {
                const int x = x_major ? a : b, y = x_major ? b : a;
                if (!fb.at(x, y)) continue;
                ++on_this_step;
                const double t = a1 == a0 ? 0 : double(a - (x_major ? x1 : y1)) / ((x_major ? x2 - x1 : y2 - y1));
                const double ideal = (x_major ? y1 : x1) + t * (x_major ? y2 - y1 : x2 - x1);
                EXPECT_LE(std::fabs(b - ideal), 0.5) << x1 << "," << y1 << " " << x2 << "," << y2;
            }
            EXPECT_EQ(on_this_step, 1);
            total += on_this_step;
        }
        EXPECT_EQ(total, a1 - a0 + 1);
    }
}

// Clipping never changes the pixels inside the view port.
TEST(draw_line, view_port_clips_without_changing_the_pixels_inside) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> coord(-900, 1500);
    const viewport vp{150, 60, 420, 280};
    for (int n = 0; n < 200; ++n) {
        const int x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng);
        framebuffer clipped, whole;
        rasterise_line(clipped, vp, float(x1 - vp.x0), float(y1 - vp.y0), float(x2 - vp.x0), float(y2 - vp.y0), 1,
                       0xF0F3);
        rasterise_line(whole, viewport{}, float(x1), float(y1), float(x2), float(y2), 1, 0xF0F3);
        for (int y = 0; y < screen_height; ++y)
            for (int x = 0; x < screen_width; ++x)
                ASSERT_EQ(clipped.at(x, y), vp.contains(x, y) ? whole.at(x, y) : 0)
                    << x << "," << y << " line " << x1 << "," << y1 << " " << x2 << "," << y2;
    }
}

TEST(draw_line, coordinates_are_relative_to_the_view_port) {
    headless_screen h;
    h.screen.set_viewport(100, 50, 200, 150);
    h.screen.draw_line(-50, 0, 5000, 0, 15);
    EXPECT_EQ(count_colour(h.screen, 15, 100, 50, 200, 50), 101);
    EXPECT_EQ(count_set(h.screen), 101);
}

struct far_case {
    const char* name;
    float x1, y1, x2, y2;
    int pixels_set;
};

TEST(draw_line, end_points_of_any_magnitude_are_clipped) {
    const std::vector<far_case> cases = {
        {"row across from far left to far right", -1e30f, 100, 1e30f, 100, 640},
        {"column from far above to far below", 320, -1e20f, 320, 1e20f, 350},
        {"diagonal through the corner", -3e38f, -3e38f, 3e38f, 3e38f, 350},
        {"beyond the int range", -3e9f, 200, 3e9f, 200, 640},
        {"wholly right of the screen", 1e30f, 5, 2e30f, 5, 0},
        {"wholly above", 10, -1e25f, 600, -1e24f, 0},
    };
    for (const auto& c : cases) {
        headless_screen h;
        h.screen.draw_line(c.x1, c.y1, c.x2, c.y2, 15);
        EXPECT_EQ(count_set(h.screen), c.pixels_set) << c.name;
        EXPECT_FALSE(h.screen.error_pending()) << c.name;
    }
    headless_screen diagonal;
    diagonal.screen.draw_line(-3e38f, -3e38f, 3e38f, 3e38f, 15);
    for (int k = 0; k < 350; ++k) EXPECT_EQ(diagonal.screen.pixel(k, k), 15) << k;
}

TEST(draw_line, non_finite_coordinates_leave_no_pixel_and_no_error) {
    const std::vector<far_case> cases = {
        {"both x infinite", inf, 10, inf, 20, 0},
        {"both x NaN", nan, 10, nan, 20, 0},
        {"one x infinite", -inf, 10, 5, 10, 0},
        {"y NaN", 5, nan, 5, 10, 0},
    };
    for (const auto& c : cases) {
        headless_screen h;
        h.screen.draw_line(c.x1, c.y1, c.x2, c.y2, 15, 0xFF00);
        EXPECT_EQ(count_set(h.screen), 0) << c.name;
        EXPECT_FALSE(h.screen.error_pending()) << c.name;
    }
}

TEST(draw_line, colour_outside_the_palette_is_an_illegal_function_call) {
    headless_screen h;
    h.screen.draw_line(0, 0, 10, 0, 16);
    EXPECT_TRUE(h.screen.error_pending());
    EXPECT_EQ(count_set(h.screen), 0);
}

}  // namespace
}  // namespace screen
