// The window backend's placement of the picture, against rectangles worked out by hand.
#include <ostream>
#include <vector>

#include <gtest/gtest.h>

#include "backends/glut/window_geometry.h"

namespace screen {

void PrintTo(const rect& r, std::ostream* os) { *os << '{' << r.x << ", " << r.y << ", " << r.w << ", " << r.h << '}'; }

namespace {

struct placement_case {
    const char* name;
    int w, h;
    resize_scaling scaling;
    screen_fill fill;
    rect expected;
};

// The expected rectangles come from the rule: 640:350 kept, the short side
// decides, centred; full_filled fills the window; no scaling in a window
// shows the picture 1:1 and centred.
TEST(window_geometry, picture_keeps_640_by_350_centred_unless_the_screen_is_filled) {
    const std::vector<placement_case> cases = {
        {"1:1", 640, 350, resize_scaling::stretch, screen_fill::windowed, {0, 0, 640, 350}},
        {"twice the size", 1280, 700, resize_scaling::stretch, screen_fill::windowed, {0, 0, 1280, 700}},
        {"too tall: bars above and below", 640, 480, resize_scaling::stretch, screen_fill::windowed,
         {0, 65, 640, 350}},
        {"too wide: bars left and right", 1000, 350, resize_scaling::stretch_smooth, screen_fill::windowed,
         {180, 0, 640, 350}},
        // 641 * 350 / 640 = 350.55
        {"height rounds to the nearest pixel", 641, 600, resize_scaling::stretch, screen_fill::windowed,
         {0, 124, 641, 351}},
        {"no scaling: 1:1 in the middle of a larger window", 800, 600, resize_scaling::none, screen_fill::windowed,
         {80, 125, 640, 350}},
        {"no scaling: 1:1 in the middle of a smaller window", 600, 300, resize_scaling::none,
         screen_fill::windowed, {-20, -25, 640, 350}},
        // 1920 * 350 / 640 = 1050
        {"full screen 16:9: bars above and below", 1920, 1080, resize_scaling::stretch,
         screen_fill::full_letterboxed, {0, 15, 1920, 1050}},
        // 1280 * 350 / 640 = 700
        {"full screen letterboxed even without scaling", 1280, 1024, resize_scaling::none,
         screen_fill::full_letterboxed, {0, 162, 1280, 700}},
        // 1080 * 640 / 350 = 1974.86
        {"full screen 64:27: bars left and right", 2560, 1080, resize_scaling::stretch_smooth,
         screen_fill::full_letterboxed, {292, 0, 1975, 1080}},
        {"full screen filled", 1920, 1080, resize_scaling::stretch, screen_fill::full_filled, {0, 0, 1920, 1080}},
        {"full screen filled without scaling", 1280, 1024, resize_scaling::none, screen_fill::full_filled,
         {0, 0, 1280, 1024}},
    };
    for (const auto& c : cases) EXPECT_EQ(picture_rect(c.w, c.h, c.scaling, c.fill), c.expected) << c.name;
}

struct side_case {
    int given, fitting;
};

TEST(window_geometry, fitting_sides_keep_640_by_350_to_the_nearest_pixel) {
    // w * 350 / 640: 54.69, 17.5 (a half goes up), 350.55
    for (const auto& c : std::vector<side_case>{{640, 350}, {1280, 700}, {320, 175}, {100, 55}, {32, 18}, {641, 351}})
        EXPECT_EQ(fitting_height(c.given), c.fitting) << "width " << c.given;
    // h * 640 / 350: 182.86, 641.83
    for (const auto& c : std::vector<side_case>{{350, 640}, {700, 1280}, {175, 320}, {100, 183}, {351, 642}})
        EXPECT_EQ(fitting_width(c.given), c.fitting) << "height " << c.given;
}

}  // namespace
}  // namespace screen
