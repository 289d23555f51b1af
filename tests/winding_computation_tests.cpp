// The winding computation (heights, coil sides, path) for the numbers a
// user types, checked against worked examples.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "scheme_run.h"

namespace winding {
namespace {

struct computed {
    working_state state;  // when the animation starts (phase 1, first pause)
    working_state end;    // at the end of the run
    std::vector<int> reported_steps;
};

// A whole run for Z and p' as typed, every error answered with Yes.
computed compute(const std::string& z, const std::string& p) {
    scheme_test::scheme_run r;
    computed c;
    bool seen = false;
    r.at_first_wait_when([&r] { return r.in_phase(1); }, [&] {
        c.state = r.state();
        seen = true;
    });
    r.enter(z, p).finish().run();
    if (!seen) c.state = r.state();
    c.end = r.state();
    c.reported_steps = r.reported_steps();
    return c;
}

std::vector<float> elements(const working_table& t, std::size_t first, std::size_t last) {
    std::vector<float> v;
    for (std::size_t i = first; i <= last; ++i) v.push_back(t[i].stored());
    return v;
}

std::vector<int> pixel_rows(const working_table& t, std::size_t first, std::size_t last) {
    std::vector<int> v;
    for (std::size_t i = first; i <= last; ++i) v.push_back(int(std::lround(t[i].stored() * 60.0)));
    return v;
}

std::vector<int> steps_from(const std::vector<int>& all, std::size_t first, std::size_t count) {
    return {all.begin() + std::ptrdiff_t(first), all.begin() + std::ptrdiff_t(std::min(all.size(), first + count))};
}

// ---- heights ----

TEST(height_profile, z_24_p_4_rows_and_jumper_values) {
    const computed c = compute("24", "4");
    EXPECT_EQ(pixel_rows(c.state.path_height, 0, 47),
              (std::vector<int>{240, 312, 105, 60,  105, 195, 240, 195, 105, 60,  105, 252, 252, 252, 105, 60,
                                105, 195, 240, 195, 105, 60,  105, 258, 258, 258, 105, 60,  105, 195, 240, 195,
                                105, 60,  105, 252, 252, 252, 105, 60,  105, 195, 240, 195, 105, 60,  105, 312}));
    EXPECT_EQ(elements(c.state.path_height, 11, 13), (std::vector<float>{4.199f, 4.2f, 4.201f}));
    EXPECT_EQ(elements(c.state.path_height, 23, 25), (std::vector<float>{4.299f, 4.3f, 4.301f}));
    EXPECT_EQ(elements(c.state.path_height, 35, 37), (std::vector<float>{4.199f, 4.2f, 4.201f}));
    EXPECT_EQ(c.state.path_height[1].stored(), 5.2f);
    EXPECT_EQ(c.state.path_height[47].stored(), 5.2f);
    EXPECT_EQ(c.state.path_height[48].stored(), 0.0f);
    EXPECT_TRUE(c.reported_steps.empty());
}

TEST(height_profile, z_24_p_4_elements_0_to_11_to_the_last_bit) {
    const computed c = compute("24", "4");
    const float u = std::ldexp(1.0f, -23);
    EXPECT_EQ(elements(c.state.path_height, 0, 11),
              (std::vector<float>{4, 5.2f, 1.75f - u, 1, 1.75f + u, 3.25f - 2 * u, 4, 3.25f, 1.75f - 3 * u, 1,
                                  1.75f - 2 * u, 4.199f}));
}

TEST(height_profile, stored_values_carry_the_rounding_of_the_angle_to_a_float) {
    const computed c = compute("500", "1");  // no jumpers; elements 0..999
    const float u = std::ldexp(1.0f, -23);
    EXPECT_EQ(elements(c.state.path_height, 2, 11),
              (std::vector<float>{1.75f - u, 1, 1.75f + u, 3.25f - 2 * u, 4, 3.25f, 1.75f - 3 * u, 1,
                                  1.75f - 2 * u, 3.25f - 4 * u}));
    const std::vector<float> ideal = {4, 3.25f, 1.75f, 1, 1.75f, 3.25f};
    const std::vector<int> rows = {240, 195, 105, 60, 105, 195};
    for (std::size_t j = 2; j < 999; ++j) {
        EXPECT_NEAR(c.state.path_height[j].stored(), ideal[j % 6], 0.0001) << j;
        EXPECT_EQ(std::lround(c.state.path_height[j].stored() * 60.0), rows[j % 6]) << j;
    }
    EXPECT_EQ(c.state.path_height[999].stored(), 5.2f);
}

TEST(jumper_levels, phases_2_and_3_rewrite_the_jumper_rows_only) {
    scheme_test::scheme_run r;
    working_state in_phase_2;
    r.backend.on_each_wait([&](double) {
        if (r.in_phase(2)) in_phase_2 = r.state();
    });
    r.enter("24", "4").finish().run();
    EXPECT_EQ(elements(in_phase_2.path_height, 11, 13), (std::vector<float>{4.499f, 4.5f, 4.501f}));
    EXPECT_EQ(elements(in_phase_2.path_height, 23, 25), (std::vector<float>{4.599f, 4.6f, 4.601f}));
    EXPECT_EQ(elements(in_phase_2.path_height, 35, 37), (std::vector<float>{4.499f, 4.5f, 4.501f}));
    const computed c = compute("24", "4");
    EXPECT_EQ(elements(c.end.path_height, 11, 13), (std::vector<float>{4.799f, 4.8f, 4.801f}));
    EXPECT_EQ(elements(c.end.path_height, 23, 25), (std::vector<float>{4.899f, 4.9f, 4.901f}));
    EXPECT_EQ(elements(c.end.path_height, 35, 37), (std::vector<float>{4.799f, 4.8f, 4.801f}));
    for (std::size_t j = 0; j <= 47; ++j) {
        if ((j >= 11 && j <= 13) || (j >= 23 && j <= 25) || (j >= 35 && j <= 37)) continue;
        EXPECT_EQ(c.end.path_height[j].stored(), c.state.path_height[j].stored()) << j;
    }
}

TEST(jumper_levels, z_equal_to_p_puts_phases_2_and_3_on_their_jumper_row_at_the_terminals) {
    const computed c = compute("4", "4");
    EXPECT_EQ(c.state.path_height[1].stored(), 5.2f);
    EXPECT_EQ(c.state.path_height[7].stored(), 5.2f);
    EXPECT_EQ(c.end.path_height[1].stored(), 4.799f);  // boundary 1, odd
    EXPECT_EQ(c.end.path_height[7].stored(), 4.801f);  // boundary 3, odd
}

TEST(height_profile, boundaries_between_elements_round_to_even) {
    const computed c = compute("15", "4");
    // b = 7.5: stores at 6, 8, 8; b = 22.5: stores at 22, 22, 24.
    EXPECT_EQ(c.state.path_height[6].stored(), 4.199f);
    EXPECT_EQ(c.state.path_height[8].stored(), 4.201f);
    EXPECT_EQ(std::lround(c.state.path_height[7].stored() * 60), 195);
    EXPECT_EQ(elements(c.state.path_height, 14, 16), (std::vector<float>{4.299f, 4.3f, 4.301f}));
    EXPECT_EQ(c.state.path_height[22].stored(), 4.2f);
    EXPECT_EQ(c.state.path_height[24].stored(), 4.201f);
}

struct error_case {
    const char* z;
    const char* p;
    std::vector<int> first_reports;
};

TEST(height_profile, subscript_errors_and_their_steps) {
    const std::vector<error_case> cases = {
        // Phases 2 and 3 rewrite the jumper rows with the same indices.
        {"0", "4", {102, 98, 102, 108, 211, 207, 211, 225, 221, 225}},
        {"-24", "4", {102, 103, 104, 98, 99, 100, 102, 103, 104, 108}},
        {"0", "1", {108}},
        {"501", "3", {92, 108, 160, 161}},
        // Points 1001, 1002 and 1003 fail at their own steps.
        {"502", "3", {92, 92, 92, 108, 160, 161, 164, 165, 155, 156}},
    };
    for (const auto& c : cases) {
        scheme_test::scheme_run r;
        r.enter(c.z, c.p).finish().run();
        EXPECT_EQ(steps_from(r.reported_steps(), 0, c.first_reports.size()), c.first_reports) << c.z << " " << c.p;
        for (std::size_t k = 0; k < c.first_reports.size() && k < r.backend.questions().size(); ++k)
            EXPECT_EQ(r.backend.questions()[k].title, "Unhandled Error #9") << c.z << " " << k;
    }
    // Z = 0, p' = 4, as left by the height profile, when step 108 is reported.
    scheme_test::scheme_run zero;
    working_state at_108;
    zero.backend.on_each_wait([&](double) {
        if (zero.backend.questions().size() == 4) at_108 = zero.state();
    });
    zero.enter("0", "4").finish().run();
    EXPECT_EQ(elements(at_108.path_height, 0, 2), (std::vector<float>{4.2f, 5.2f, 0}));
    const computed negative = compute("-24", "4");
    EXPECT_EQ(negative.state.path_height[1].stored(), 5.2f);
    EXPECT_EQ(negative.state.path_height[0].stored(), 0.0f);
}

TEST(height_profile, huge_negative_z_stores_into_element_0_without_a_report) {
    // Indices of magnitude 2^63 and more convert to 0.
    const computed c = compute("-1E+20", "4");
    EXPECT_TRUE(c.reported_steps.empty());
    EXPECT_EQ(c.end.path_height[0].stored(), 4.801f);  // phase 3's last jumper store
    EXPECT_EQ(c.end.path_height[1].stored(), 5.2f);
}

TEST(height_profile, no_to_a_report_ends_the_run_at_once) {
    scheme_test::scheme_run r;
    r.backend.default_answer(false);
    r.enter("0", "4").finish().run();
    EXPECT_EQ(r.how, screen::run_end::error_declined);
    EXPECT_EQ(r.reported_steps(), (std::vector<int>{102}));
    EXPECT_EQ(r.backend.exit_code(), 0);
    EXPECT_EQ(r.backend.end_process_calls(), 1);
}

TEST(height_profile, z_600_reports_each_point_past_the_table_then_the_lead) {
    const computed c = compute("600", "4");
    ASSERT_GE(c.reported_steps.size(), 200u);
    EXPECT_EQ(steps_from(c.reported_steps, 0, 199), std::vector<int>(199, 92));
    EXPECT_EQ(c.reported_steps[199], 108);
}

TEST(counted_loops, a_p_of_2_to_the_24_plus_2_ends_the_loops_over_pole_groups) {
    // The boundary and group loops stop at 2^24, where their float variable
    // can no longer advance (the pole boundary lines loop alike).
    screen::headless_platform backend;
    backend.default_answer(true);
    const double t = backend.type_at(backend.type_at(0.5, "24\r") + 0.5, "16777218\r");
    backend.give_up_at(t + 10);
    screen::screen_layer screen(backend);
    winding_run run(screen);
    const auto how = screen.run([&] {
        run.screen_header();
        run.parameter_entry();
        run.height_profile();
        run.side_sequence();
        run.jumper_levels(2);
        run.phase_path();
    });
    EXPECT_EQ(how, screen::run_end::returned);
    EXPECT_EQ(run.state().group_boundary.stored(), 16777216.0f);
    EXPECT_EQ(run.state().pole_group.stored(), 16777216.0f);
    // Boundaries with b - 1 below -0.5 report error 9: b = 2 g Z / p' < 0.5.
    EXPECT_EQ(backend.questions().size(), 2u * 174762u);
}

// ---- coil sides ----

struct side_case {
    const char* z;
    const char* p;
    std::vector<float> slots;
    std::vector<float> kinds;  // empty: not checked
};

TEST(side_sequence, slots_and_kinds_in_connection_order) {
    const std::vector<side_case> cases = {
        {"24", "4", {1, 7, 2, 8, 14, 8, 13, 7, 13, 19, 14, 20, 26, 20, 25, 19},
         {1, 1, 1, 1, 2, 2, 2, 2, 1, 1, 1, 1, 2, 2, 2, 2}},
        {"18", "3", {1, 7, 2, 8, 14, 8, 13, 7, 13, 19, 14, 20}, {1, 1, 1, 1, 2, 2, 2, 2, 1, 1, 1, 1}},
        {"6", "1", {1, 7, 2, 8}, {1, 1, 1, 1}},
        {"20", "4", {1, 6, 2, 7, 11, 6, 11, 16, 12, 17, 21, 16}, {1, 1, 1, 2, 2, 2, 1, 1, 1, 2, 2, 2}},
        {"18", "4", {1, 5.5f, 2, 6.5f, 10, 5.5f, 10, 14.5f, 11, 15.5f, 19, 14.5f}, {}},
        // The reversal's read index rounds up past the group's last side.
        {"22", "4", {1, 6.5f, 2, 13, 7.5f, 12}, {}},
        // ... and to the even neighbour at exactly one half.
        {"15", "4", {1, 4.75f, 8.5f, 8.5f}, {}},
    };
    for (const auto& c : cases) {
        const computed r = compute(c.z, c.p);
        EXPECT_EQ(elements(r.state.side_slot, 1, c.slots.size()), c.slots) << c.z << " " << c.p;
        if (!c.kinds.empty()) {
            EXPECT_EQ(elements(r.state.side_kind, 1, c.kinds.size()), c.kinds) << c.z;
        }
    }
}

TEST(side_sequence, z_24_p_4_counts_16_sides_and_leaves_the_entry_past_the_last) {
    const computed c = compute("24", "4");
    // The path reuses the counter: 1, then one more after each of its 15 connections.
    EXPECT_EQ(c.state.side_counter.stored(), 1 + 15);
    EXPECT_EQ(elements(c.state.side_slot_fwd, 1, 17),
              (std::vector<float>{1, 7, 2, 8, 7, 13, 8, 14, 13, 19, 14, 20, 19, 25, 20, 26, 21}));
    EXPECT_EQ(c.state.side_slot[17].stored(), 0.0f);
}

TEST(side_sequence, no_group_or_no_side) {
    for (const auto& [z, p] : std::vector<std::pair<const char*, const char*>>{{"24", ".5"}, {"24", "0"}, {"24", "-3"}}) {
        const computed c = compute(z, p);
        EXPECT_EQ(elements(c.state.side_slot, 0, 3), (std::vector<float>{0, 0, 0, 0})) << p;
        EXPECT_EQ(elements(c.state.side_slot_fwd, 0, 1), (std::vector<float>{0, 0})) << p;
    }
    const computed zero = compute("0", "4");
    EXPECT_EQ(zero.state.side_slot_fwd[1].stored(), 1.0f);
    EXPECT_EQ(zero.state.side_slot_ordered[1].stored(), 1.0f);
    EXPECT_EQ(zero.state.side_slot[1].stored(), 0.0f);
    const computed one = compute("1", "1");  // 2q < 1: no side
    EXPECT_EQ(one.state.side_slot_fwd[1].stored(), 1.0f);
    EXPECT_EQ(elements(one.state.side_slot, 1, 2), (std::vector<float>{0, 0}));
    const computed fractional = compute("24", "2.5");
    EXPECT_EQ(fractional.state.side_slot_fwd[1].stored(), 1.0f);
    EXPECT_EQ(fractional.state.side_slot[1].stored(), 1.0f);
    // 2q = 6.4: six sides a group; the second, reversed, starts at 10.6.
    EXPECT_EQ(fractional.state.side_slot_fwd[7].stored(), 10.6f);
    EXPECT_EQ(fractional.state.side_slot[12].stored(), 10.6f);
    EXPECT_EQ(fractional.state.side_slot[13].stored(), 0.0f);
}

TEST(side_sequence, a_thousandth_side_fails_first_at_its_store_past_the_table) {
    for (const auto& [p, first] : std::vector<std::pair<const char*, int>>{{"2", 120}, {"1", 135}}) {
        const computed c = compute("1500", p);
        int first_side_report = 0;
        for (int step : c.reported_steps)
            if (step >= 112 && step <= 147) {
                first_side_report = step;
                break;
            }
        EXPECT_EQ(first_side_report, first) << p;
    }
}

// ---- the path ----

struct path_case {
    const char* z;
    const char* p;
    std::size_t first;
    std::vector<float> x;
    std::vector<float> kinds;
};

TEST(phase_path, x_and_kind_of_every_point) {
    const std::vector<path_case> cases = {
        {"24", "4", 1,
         {1,  1,  4,  7,  7,  4.5f, 2,  2,  5,  8,  8,  11,   14, 14, 11, 8,  8,  10.5f, 13, 13, 10, 7,  7,  10,
          13, 13, 16, 19, 19, 16.5f, 14, 14, 17, 20, 20, 23,   26, 26, 23, 20, 20, 22.5f, 25, 25, 22, 19, 19},
         {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,
          1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2}},
        {"6", "2", 1, {1, 1, 2.5f, 4, 4, 5.5f, 7, 7, 5.5f, 4, 4}, {1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2}},
        {"6", "1", 1, {1, 1, 4, 7, 7, 4.5f, 2, 2, 5, 8, 8}, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
        {"20", "4", 34, {16, 16, 8, 0, 0, 0}, {2, 2, 2, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        const computed r = compute(c.z, c.p);
        const std::size_t last = c.first + c.x.size() - 1;
        EXPECT_EQ(elements(r.state.path_x, c.first, last), c.x) << c.z << " " << c.p;
        EXPECT_EQ(elements(r.state.path_kind, c.first, last), c.kinds) << c.z << " " << c.p;
        EXPECT_EQ(r.state.path_x[last + 1].stored(), 0.0f) << c.z;
    }
}

TEST(phase_path, fractional_and_small_z) {
    // 2Z - 1 = 47.5: points 1 to 47. Four groups of four sides (2q = 4.04),
    // the last connected 26.25, 20.1875, 25.25, 19.1875; a pass for point 48
    // would store the halfway point (0 + 19.1875) / 2 = 9.59375 of kind 2.
    const computed fractional = compute("24.25", "4");
    EXPECT_EQ(elements(fractional.state.path_x, 45, 48), (std::vector<float>{22.21875f, 19.1875f, 19.1875f, 0}));
    EXPECT_EQ(elements(fractional.state.path_kind, 45, 48), (std::vector<float>{2, 2, 2, 0}));
    const computed small = compute(".9", "1");
    EXPECT_EQ(elements(small.state.path_x, 0, 2), (std::vector<float>{0, 0, 0}));
    const computed no_sides = compute("12", ".5");
    EXPECT_EQ(elements(no_sides.state.path_x, 1, 23), std::vector<float>(23, 0));
    EXPECT_EQ(elements(no_sides.state.path_kind, 1, 23), std::vector<float>(23, 0));
}

}  // namespace
}  // namespace winding
