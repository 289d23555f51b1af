#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "winding/scheme_geometry.h"

namespace winding {
namespace {

// The scalars as the parameter entry leaves them for Z and p'.
working_state scalars(float z, float p) {
    working_state s;
    s.slot_count = z;
    s.pole_count = p;
    s.coil_pitch = s.slot_count / s.pole_count;
    s.slots_per_pole_phase = s.coil_pitch / extended(3);
    s.left_margin_px = 20;
    s.slot_pitch_px = 580 / s.slot_count;
    s.height_unit_px = 60;
    return s;
}

TEST(scheme_geometry, z_24_p_4_phase_origins_and_the_first_point_of_phase_3) {
    working_state s = scalars(24, 4);
    const std::vector<float> origins = {20, 116.666664f, 213.333328f};
    for (int p = 1; p <= 3; ++p) {
        s.phase = p;
        EXPECT_EQ(single(phase_origin(s)).stored(), origins[std::size_t(p - 1)]) << p;
    }
    // Just below 237.5: a line end there is the float 237.5 (pixel 238 after
    // rounding to even), a circle centre the double below it (pixel 237).
    const extended x = point_x(s, 1);
    EXPECT_NEAR(double(x), 237.4999942779541, 1e-12);
    EXPECT_EQ(single(x).stored(), 237.5f);
    EXPECT_LT(double(x), 237.5);
    EXPECT_EQ(single(point_y(s, 5.2f)).stored(), float(5.2f * 60.0L));
    EXPECT_LT(double(point_y(s, 5.2f)), 312.0);
}

struct wrap_case {
    float z, p;
    int phase;
    float first_slot;
    bool wraps;
};

TEST(scheme_geometry, wrap_test) {
    const std::vector<wrap_case> cases = {
        // Z = 24, p' = 4: more than 18, 14 and 10 slots in phases 1, 2, 3.
        {24, 4, 1, 18, false},
        {24, 4, 1, 19, true},
        {24, 4, 2, 14, false},
        {24, 4, 2, 16.5f, true},
        {24, 4, 3, 10, false},
        {24, 4, 3, 10.5f, true},
        // Z = 30, p' = 2: 10 dx rounds up to a float above it, so a first
        // point exactly Z - y1 slots out wraps in phase 2, not in phase 1.
        {30, 2, 2, 5, true},
        {30, 2, 1, 15, false},
        // p' = 0: NaN offset in phase 1, infinite in phases 2 and 3.
        {24, 0, 1, 0, false},
        {24, 0, 2, 0, true},
    };
    for (const auto& c : cases) {
        working_state s = scalars(c.z, c.p);
        s.phase = c.phase;
        EXPECT_EQ(wraps_around(s, c.first_slot), c.wraps) << c.z << " " << c.p << " phase " << c.phase << " slot "
                                                          << c.first_slot;
    }
}

}  // namespace
}  // namespace winding
