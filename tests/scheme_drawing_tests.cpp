// The drawn scheme: frame, animation and speed keys, terminal marks,
// segments and their shifted copies, checked against worked examples.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "scheme_run.h"
#include "screen_test_support.h"
#include "screen/circle_raster.h"
#include "screen/line_raster.h"

namespace {

using scheme_test::scheme_run;
using screen::framebuffer;
using screen_test::cells_show;
using screen_test::count_colour;

// The picture at the first wait at which `when` holds.
struct snapshot {
    std::optional<framebuffer> pixels;
    winding::working_state state;
};

void snapshot_when(scheme_run& r, snapshot& out, std::function<bool()> when) {
    r.at_first_wait_when(when, [&r, &out] {
        out.pixels = r.screen.pixels_snapshot();
        out.state = r.state();
    });
}

// The end of phase 1: its last segment is drawn, phase 2 has begun.
void at_phase_2(scheme_run& r, snapshot& out) {
    snapshot_when(r, out, [&r] { return r.in_phase(2); });
}

framebuffer final_picture(scheme_run& r) { return r.screen.pixels_snapshot(); }

// ---- the frame ----

TEST(scheme_frame, z_24_slot_numbers_slot_lines_and_pole_boundaries_before_the_animation) {
    scheme_run r;
    snapshot before;
    snapshot_when(r, before, [&r] { return r.in_phase(1); });
    r.enter("24", "4", false).finish(200).run();
    ASSERT_TRUE(before.pixels);
    const framebuffer& fb = *before.pixels;
    // Dotted slot lines from y 105 to 193, every fourth pixel.
    const std::vector<int> slot_x = {44,  68,  92,  117, 141, 165, 189, 213, 238, 262, 286, 310,
                                     334, 358, 382, 407, 431, 455, 479, 503, 528, 552, 576, 600};
    for (int x : slot_x) {
        for (int y = 105; y <= 153; y += 4) EXPECT_EQ(fb.at(x, y), 3) << x << "," << y;
        for (int y = 106; y <= 153; y += 4) EXPECT_EQ(fb.at(x, y), 0) << x << "," << y;
        EXPECT_EQ(fb.at(x, 193), 3) << x;
        EXPECT_EQ(fb.at(x, 197), 0) << x;
    }
    EXPECT_EQ(count_colour(fb, 3, 20, 105, 20, 195), 0);  // none at slot position 0
    // Dashed pole boundary lines, 227 of 301 pixels each.
    for (int x : {32, 177, 322, 467, 612}) EXPECT_EQ(count_colour(fb, 2, x, 30, x, 330), 227) << x;
    EXPECT_EQ(count_colour(fb, 2, 0, 0, 639, 349), 5 * 227);
}

TEST(scheme_frame, z_24_final_picture_margins_help_and_numbers_over_the_drawing) {
    scheme_run r;
    r.enter("24", "4").finish().run();
    const framebuffer fb = final_picture(r);
    // Strips x 0..31 and 613..639 cleared from y 30 down (the prompt aside).
    EXPECT_EQ(count_colour(fb, 0, 0, 30, 31, 335), 32 * 306);
    EXPECT_EQ(count_colour(fb, 0, 613, 30, 639, 349), 27 * 320);
    EXPECT_NE(count_colour(fb, 0, 32, 30, 32, 335), 306);  // the first pole line stays
    // The help is blank; the header icons stay.
    EXPECT_EQ(count_colour(fb, 14, 0, 14, 639, 27), 0);
    EXPECT_EQ(fb.at(40, 18), 15);
    // The numbers stand over the drawing: the pole line at x 177 loses
    // y 154..167 to the leading blank of number 7.
    EXPECT_EQ(count_colour(fb, 0, 177, 154, 177, 167), 14);
    // Number i at column 3i + 2: odd ones on row 12, even ones on row 13.
    for (int i = 1; i <= 24; ++i)
        EXPECT_TRUE(cells_show(fb, i % 2 ? 12 : 13, 3 * i + 2, std::string(" ").append(std::to_string(i)).append(" "), 11)) << i;
}

struct margin_case {
    const char* z;
    const char* p;
    std::vector<int> reports;
};

TEST(scheme_frame, margin_strip_corners_off_the_screen_are_illegal_function_calls) {
    const std::vector<margin_case> cases = {
        {"7", "1", {438}},
        {"8", "1", {}},
        {".4", "1", {436, 438}},
    };
    for (const auto& c : cases) {
        scheme_run r;
        r.enter(c.z, c.p).finish().run();
        EXPECT_EQ(r.reported_steps(436, 440), c.reports) << c.z;
        EXPECT_EQ(r.how, screen::run_end::end_prompt);
    }
}

TEST(scheme_frame, z_20_left_strip_erases_the_first_pole_line_and_the_right_one_stops_short) {
    scheme_run r;
    r.enter("20", "4").finish().run();
    const framebuffer fb = final_picture(r);
    EXPECT_EQ(count_colour(fb, 0, 34, 30, 34, 335), 306);
    EXPECT_GT(count_colour(fb, 2, 614, 30, 614, 330), 0);
    EXPECT_EQ(count_colour(fb, 0, 616, 30, 639, 335), 24 * 306);
}

TEST(scheme_frame, no_slot_numbers_from_z_50_on) {
    scheme_run r;
    r.enter("50", "5").finish().run();
    // The drawing ran to its end and the prompt took the last key.
    EXPECT_EQ(r.how, screen::run_end::end_prompt);
    const framebuffer fb = final_picture(r);
    EXPECT_EQ(count_colour(fb, 11, 0, 154, 639, 181), 0);
}

// ---- the animation and the speed keys ----

TEST(speed_keys, each_key_is_taken_by_the_next_segment) {
    struct speed_case {
        const char* keys;
        double stop_after;  // seconds after the entry
        float segment, pause;
    };
    const std::vector<speed_case> cases = {
        // Three "-" typed at once double the pause at each of three segments.
        {"---", 2 + 4 + 1, 3, 8},
        {"---", 2 + 4 + 8 + 1, 4, 8},
        // A "-" and a "+" cancel out over two segments.
        {"-+", 2 + 0.5, 2, 1},
        {"-+", 2 + 1 + 0.5, 3, 1},
        // Letters, Return, Escape and extended keys are taken and ignored.
        {"a\r\x1b", 3.5, 4, 1},
    };
    for (const auto& c : cases) {
        scheme_run r;
        r.enter("24", "4", false).type_ahead(c.keys);
        r.backend.stop_at(r.entered_at + c.stop_after);
        r.run();
        EXPECT_EQ(r.how, screen::run_end::stopped);
        EXPECT_EQ(r.state().loop_i.stored(), c.segment) << c.keys << " " << c.stop_after;
        EXPECT_EQ(r.state().step_delay_s.stored(), c.pause) << c.keys << " " << c.stop_after;
    }
}

TEST(speed_keys, one_hundred_fifty_plus_make_the_pause_zero_for_good) {
    scheme_run r;
    r.enter("30", "2", false);  // 3 x 58 segments
    r.key_per_segment([](int n) { return n <= 150 ? "+" : "-"; });
    float pause_at_the_end = -1;
    r.backend.on_each_wait([&](double) {
        if (r.in_phase(3) && r.state().loop_i.stored() == 58) pause_at_the_end = r.state().step_delay_s.stored();
    });
    r.finish_when_drawn().run();
    EXPECT_EQ(r.how, screen::run_end::end_prompt);
    EXPECT_EQ(pause_at_the_end, 0.0f);  // 24 "-" after the 150 "+" change nothing
    EXPECT_TRUE(r.reported_steps().empty());
}

TEST(speed_keys, twenty_two_more_minus_than_plus_are_refused_at_every_segment) {
    scheme_run r;
    r.enter("24", "4", false);
    // 2^22 s from segment 22 on: error 5 at step 241 until the "+" of
    // segment 26 brings the pause back to 2^21 s.
    r.key_per_segment([](int n) { return n <= 22 ? "-" : n >= 26 ? "+" : ""; });
    r.finish_when_drawn().run();
    EXPECT_EQ(r.how, screen::run_end::end_prompt);
    EXPECT_EQ(r.reported_steps(), (std::vector<int>{241, 241, 241, 241}));
    for (const auto& q : r.backend.questions()) EXPECT_EQ(q.title, "Unhandled Error #5");
}

TEST(animation, phase_colours_and_segment_limits) {
    // Z < 1.5: no segment in any phase.
    scheme_run small;
    small.enter("1.4", "1").finish(5).run();
    EXPECT_EQ(small.how, screen::run_end::end_prompt);
    EXPECT_EQ(small.state().phase_colour.stored(), 9);
    EXPECT_EQ(small.state().arrow_y.stored(), 0);  // no segment drawn
    // A fractional limit: Z + Z - 2 = 46.5 ends each phase at segment 46,
    // and no segment equals 46.5: no end mark.
    scheme_run fractional;
    float last_segment = 0;
    fractional.backend.on_each_wait([&](double) {
        if (fractional.in_phase(1)) last_segment = std::max(last_segment, fractional.state().loop_i.stored());
    });
    snapshot end_of_phase_1;
    at_phase_2(fractional, end_of_phase_1);
    fractional.enter("24.25", "4").finish().run();
    EXPECT_EQ(last_segment, 46);
    ASSERT_TRUE(end_of_phase_1.pixels);
    EXPECT_EQ(count_colour(*end_of_phase_1.pixels, 15, 400, 294, 639, 307), 0);  // no "U2"
}

// ---- edge cases of the whole picture ----

// The picture in the final wait, before the end prompt clears the bottom row.
framebuffer picture_before_prompt(const char* z, const char* p) {
    scheme_run r;
    snapshot before_prompt;
    snapshot_when(r, before_prompt, [&r] { return r.drawing_done(); });
    // Fifteen "+" typed ahead that no segment takes would end the final wait
    // at once, before the snapshot.
    const bool any_segment = std::atof(z) >= 1.5;
    r.enter(z, p, any_segment).finish().run();
    EXPECT_TRUE(before_prompt.pixels) << z << " " << p;
    return before_prompt.pixels ? *before_prompt.pixels : framebuffer{};
}

TEST(scheme_edges, z_49_numbers_overwrite_the_last_digit_two_slots_before) {
    const framebuffer fb = picture_before_prompt("49", "7");
    // 13's leading blank over 11's last digit; 39 over 37; 26 over 24.
    EXPECT_TRUE(cells_show(fb, 12, 20, "1 13 ", 11));
    EXPECT_TRUE(cells_show(fb, 12, 58, "3 39 ", 11));
    EXPECT_TRUE(cells_show(fb, 13, 39, "2 26 ", 11));
    EXPECT_TRUE(cells_show(fb, 13, 8, " 4  6 ", 11));  // elsewhere the numbers keep apart
}

TEST(scheme_edges, z_60_rings_at_slot_position_0_keep_three_pixels_in_column_25) {
    const framebuffer fb = picture_before_prompt("60", "4");
    std::string column;
    for (int y = 331; y <= 349; ++y) column += fb.at(25, y) ? '#' : '.';
    EXPECT_EQ(column, "...###.......###...");
    EXPECT_EQ(count_colour(fb, 0, 0, 30, 24, 335), 25 * 306);  // the cleared strip
}

TEST(scheme_edges, z_18_p_3_phase_3_copies_the_last_group_s_upward_sides_to_slots_3_and_4) {
    const framebuffer fb = picture_before_prompt("18", "3");
    for (int x : {117, 149}) {
        // Crosses in both symbol rows, the rings around them, all in light blue.
        for (int y : {335, 345}) {
            EXPECT_EQ(fb.at(x, y), 9) << x << "," << y;
            EXPECT_EQ(fb.at(x - 2, y - 2), 9) << x << "," << y;
            EXPECT_EQ(fb.at(x + 5, y), 9) << x << "," << y;
        }
    }
}

TEST(scheme_edges, z_0_clears_everything_below_y_30) {
    const framebuffer fb = picture_before_prompt("0", "4");
    EXPECT_EQ(count_colour(fb, 0, 0, 30, 639, 349), 640 * 320);
}

TEST(scheme_edges, z_1_5_one_segment_carries_both_terminal_marks) {
    scheme_run r;
    snapshot after_phase_1;
    at_phase_2(r, after_phase_1);
    r.enter("1.5", "1").finish().run();
    ASSERT_TRUE(after_phase_1.pixels);
    // Both points lie at x 406.67: "U2" is printed over "U1".
    EXPECT_TRUE(cells_show(*after_phase_1.pixels, 22, 52, "U2", 15));
    EXPECT_EQ(after_phase_1.pixels->at(404, 312), 15);
    EXPECT_EQ(r.reported_steps(), (std::vector<int>{438}));  // the right strip starts off the screen
}

// ---- terminal marks ----

TEST(terminal_marks, z_24_p_4_labels_and_circles) {
    scheme_run r;
    snapshot after_1, after_2;
    at_phase_2(r, after_1);
    snapshot_when(r, after_2, [&r] { return r.in_phase(3); });
    r.enter("24", "4").finish().run();
    const framebuffer fb = final_picture(r);
    ASSERT_TRUE(after_1.pixels && after_2.pixels);
    // Each phase's labels as its last segment leaves them (later phases
    // draw through some of them).
    EXPECT_TRUE(cells_show(*after_1.pixels, 22, 7, "U1", 15));
    EXPECT_TRUE(cells_show(*after_1.pixels, 22, 61, "U2", 15));
    EXPECT_TRUE(cells_show(*after_2.pixels, 22, 19, "V1", 12));
    // V2's own last segment runs down through the first pixel column of "V".
    EXPECT_TRUE(cells_show(*after_2.pixels, 22, 74, "2", 12));
    EXPECT_EQ(count_colour(*after_2.pixels, 12, 576, 294, 576, 307), 14);
    EXPECT_TRUE(cells_show(fb, 22, 31, "W1", 9));
    EXPECT_TRUE(cells_show(fb, 22, 13, "W2", 9));
    // Circles of radius 3 centred on row 312: U1 at column 44, W1 at 237,
    // the shifted W2 at 92.
    for (auto [x, colour] : std::vector<std::pair<int, int>>{{44, 15}, {237, 9}, {92, 9}}) {
        EXPECT_EQ(fb.at(x - 3, 312), colour) << x;
        EXPECT_EQ(fb.at(x + 3, 312), colour) << x;
        EXPECT_EQ(fb.at(x, 310), colour) << x;
        EXPECT_EQ(fb.at(x, 314), colour) << x;
    }
}

TEST(terminal_marks, p_0_overflows_at_the_label_column) {
    scheme_run r;
    r.enter("24", "0").finish().run();
    EXPECT_EQ(r.reported_steps(), (std::vector<int>{249, 269, 249, 290, 269, 310, 249, 290, 269, 310}));
    EXPECT_EQ(r.reported_errors(), std::vector<int>(10, 6));
    EXPECT_EQ(r.how, screen::run_end::end_prompt);
}

TEST(terminal_marks, p_0_draws_nothing_of_the_phases) {
    const framebuffer fb = picture_before_prompt("24", "0");
    for (int colour : {15, 12, 9}) EXPECT_EQ(count_colour(fb, colour, 0, 30, 639, 349), 0) << colour;
}

TEST(terminal_marks, z_12_p_2_shifted_end_mark_carries_w2_at_column_22) {
    scheme_run r;
    r.enter("12", "2").finish().run();
    EXPECT_TRUE(cells_show(final_picture(r), 22, 22, "W2", 9));
}

// Every text position (row, column) at which `label` shows in `colour`;
// pixel column `line_x` may hold anything (a line drawn through the label).
std::vector<std::pair<int, int>> label_positions(const framebuffer& fb, const std::string& label, int colour,
                                                 int line_x) {
    const screen_test::overlay line = [&](int x, int y) { return x == line_x ? fb.at(x, y) : -1; };
    std::vector<std::pair<int, int>> at;
    for (int row = 1; row <= 25; ++row)
        for (int column = 1; column + int(label.size()) - 1 <= 80; ++column)
            if (screen_test::row_mismatch(fb, row, column, label, colour, line).empty())
                at.emplace_back(row, column);
    return at;
}

TEST(terminal_marks, label_column_77_is_drawn_in_columns_79_and_80_and_78_is_skipped) {
    struct boundary_case {
        const char* z;
        const char* p;
        int phase, segment;  // the picture as this segment's pause starts
        const char* label;
        int colour;
        int line_x;  // the pixel column of the segment drawn after the mark, through its label
        std::vector<std::pair<int, int>> shown_at;
    };
    const std::vector<boundary_case> cases = {
        // End mark at x 627.62: 627.62 x 79 / 640 = 77.47 gives column 77.
        // Its shifted copy (x 47.62, column 6) stands at column 8.
        {"21", "7", 2, 1, "U2", 15, 628, {{22, 8}, {22, 79}}},
        // End mark at x 624.17 (77.04), column 77; its shifted copy at x 44.17.
        {"12", "8", 3, 1, "V2", 12, 624, {{22, 7}, {22, 79}}},
        // End mark at x 632.22: 78.04 gives column 78, no label; only the
        // shifted copy's (x 52.22).
        {"9", "6", 3, 1, "V2", 12, 632, {{22, 8}}},
        // Phase 3's start mark at x 632.22, column 78: likewise. (A label let
        // through there would find no room in column 80 and start row 23,
        // hence the search of the whole screen.)
        {"6", "1.5", 3, 2, "W1", 9, 632, {{22, 8}}},
    };
    for (const auto& c : cases) {
        scheme_run r;
        snapshot s;
        snapshot_when(r, s,
                      [&r, &c] { return r.in_phase(c.phase) && r.state().loop_i.stored() == float(c.segment); });
        r.enter(c.z, c.p).finish().run();
        ASSERT_TRUE(s.pixels) << c.z << " " << c.p;
        EXPECT_EQ(label_positions(*s.pixels, c.label, c.colour, c.line_x), c.shown_at) << c.z << " " << c.p;
    }
}

// ---- segments ----

TEST(segment_drawing, z_24_phase_1_lines_arrowheads_and_symbols) {
    scheme_run r;
    snapshot s, first_four;
    at_phase_2(r, s);
    // Segments 1 to 4 drawn; slot 7's other side (segment 22) not yet.
    snapshot_when(r, first_four, [&r] { return r.in_phase(1) && r.state().loop_i.stored() == 5; });
    r.enter("24", "4").finish().run();
    ASSERT_TRUE(s.pixels && first_four.pixels);
    const framebuffer& fb = *s.pixels;
    // Segment 1: solid, up from the terminal level, arrowhead up at y 140,
    // cross in row 335.
    EXPECT_EQ(count_colour(fb, 15, 44, 200, 44, 300), 101);
    for (auto [x, y] : std::vector<std::pair<int, int>>{{41, 143}, {44, 140}, {47, 143}, {39, 335}, {49, 335},
                                                        {42, 337}, {46, 333}, {42, 333}, {46, 337}})
        EXPECT_EQ(fb.at(x, y), 15) << x << "," << y;
    // Segment 4: dashed from y 105 down, arrowhead down, dot in row 345.
    std::string dashes;
    for (int y = 105; y <= 136; ++y) dashes += first_four.pixels->at(189, y) == 15 ? '#' : '.';
    EXPECT_EQ(dashes, "########........########........");
    for (auto [x, y] : std::vector<std::pair<int, int>>{{186, 140}, {189, 143}, {192, 140}, {184, 345}, {194, 345},
                                                        {189, 344}, {189, 346}, {188, 345}, {190, 345}})
        EXPECT_EQ(fb.at(x, y), 15) << x << "," << y;
    // Segment 16: kind 2, downwards, solid, dot in row 335.
    for (auto [x, y] : std::vector<std::pair<int, int>>{{213, 334}, {213, 336}, {208, 335}, {218, 335}})
        EXPECT_EQ(fb.at(x, y), 15) << x << "," << y;
    // Segment 13: kind 2, upwards, dashed, cross in row 345 at x 358.
    for (auto [x, y] : std::vector<std::pair<int, int>>{{356, 347}, {360, 343}, {353, 345}, {363, 345}})
        EXPECT_EQ(fb.at(x, y), 15) << x << "," << y;
}

struct segment_row {
    int i;
    float x1, y1, x2, y2;
    bool dashed;
    int coil;  // 0: no coil side; +1 traced upwards (arrowhead up, cross); -1 downwards (dot)
    double symbol_row;
};

// The figures a segment should leave, drawn on an empty picture.
framebuffer expected_figures(const segment_row& r) {
    framebuffer fb;
    const screen::viewport all;
    screen::rasterise_line(fb, all, r.x1, r.y1, r.x2, r.y2, 15, r.dashed ? 0xFF00 : 0xFFFF);
    if (r.coil == 0) return fb;
    const float s = r.x1, tip = r.coil > 0 ? 140 : 143, barbs = r.coil > 0 ? 143 : 140;
    screen::rasterise_line(fb, all, s - 3, barbs, s, tip, 15, 0xFFFF);
    screen::rasterise_line(fb, all, s, tip, s + 3, barbs, 15, 0xFFFF);
    screen::rasterise_circle(fb, all, s, r.symbol_row, 5, 15);
    const float row = float(r.symbol_row);
    if (r.coil > 0) {
        screen::rasterise_line(fb, all, s - 2, row + 2, s + 2, row - 2, 15, 0xFFFF);
        screen::rasterise_line(fb, all, s - 2, row - 2, s + 2, row + 2, 15, 0xFFFF);
    } else {
        screen::rasterise_circle(fb, all, s, r.symbol_row, 1, 15);
    }
    return fb;
}

TEST(segment_drawing, z_24_phase_1_first_13_segments_by_kind_direction_and_coil_side) {
    const std::vector<segment_row> rows = {
        {1, 44.17f, 312, 44.17f, 105, false, +1, 335},
        {2, 44.17f, 105, 116.67f, 60, false, 0, 0},
        {3, 116.67f, 60, 189.17f, 105, true, 0, 0},
        {4, 189.17f, 105, 189.17f, 195, true, -1, 345},
        {5, 189.17f, 195, 128.75f, 240, true, 0, 0},
        {6, 128.75f, 240, 68.33f, 195, false, 0, 0},
        {7, 68.33f, 195, 68.33f, 105, false, +1, 335},
        {8, 68.33f, 105, 140.83f, 60, false, 0, 0},
        {9, 140.83f, 60, 213.33f, 105, true, 0, 0},
        {10, 213.33f, 105, 213.33f, 251.94f, true, -1, 345},
        {11, 213.33f, 251.94f, 285.83f, 252, true, 0, 0},
        {12, 285.83f, 252, 358.33f, 252.06f, true, 0, 0},
        {13, 358.33f, 252.06f, 358.33f, 105, true, +1, 345},
    };
    // The picture as each segment of phase 1 starts, before its pause.
    scheme_run r;
    std::vector<framebuffer> at_start(16);
    std::vector<bool> seen(16, false);
    r.backend.on_each_wait([&](double) {
        const auto& st = r.state();
        const int i = int(st.loop_i.stored());
        if (r.in_phase(1) && i >= 1 && i <= 14 && !seen[std::size_t(i)] && st.step_delay_s.stored() != 0) {
            seen[std::size_t(i)] = true;
            at_start[std::size_t(i)] = r.screen.pixels_snapshot();
        }
    });
    r.enter("24", "4").finish().run();
    for (const auto& row : rows) {
        ASSERT_TRUE(seen[std::size_t(row.i)] && seen[std::size_t(row.i + 1)]) << row.i;
        const framebuffer& before = at_start[std::size_t(row.i)];
        const framebuffer& after = at_start[std::size_t(row.i + 1)];
        const framebuffer want = expected_figures(row);
        int missing = 0, stray = 0;
        for (int y = 0; y < screen::screen_height; ++y)
            for (int x = 0; x < screen::screen_width; ++x) {
                if (want.at(x, y) && after.at(x, y) != 15) ++missing;
                // Segment 1 also brings the terminal mark U1 (circle and label).
                const bool terminal = row.i == 1 && y >= 294 && y <= 315;
                if (!want.at(x, y) && after.at(x, y) != before.at(x, y) && !terminal) ++stray;
            }
        EXPECT_EQ(missing, 0) << "segment " << row.i;
        EXPECT_EQ(stray, 0) << "segment " << row.i;
    }
}

TEST(segment_drawing, with_no_coil_side_every_segment_stands_at_slot_position_0) {
    scheme_run r;
    snapshot s;
    at_phase_2(r, s);
    r.enter("12", "12").finish().run();
    ASSERT_TRUE(s.pixels);
    // All points at x 20, kind 0: arrowheads and symbols there.
    EXPECT_EQ(s.pixels->at(20, 140), 15);
    EXPECT_EQ(s.pixels->at(17, 143), 15);
    EXPECT_EQ(s.pixels->at(15, 335), 15);
    EXPECT_EQ(s.pixels->at(15, 345), 15);
}

// ---- shifted copies ----

TEST(shifted_copies, z_24_phase_1_copies_land_in_slots_1_and_2) {
    scheme_run r;
    snapshot s;
    at_phase_2(r, s);
    r.enter("24", "4").finish().run();
    ASSERT_TRUE(s.pixels);
    const framebuffer& fb = *s.pixels;
    // Copies of segments 43 and 37: dashed, arrowhead up, cross in row 345.
    for (int x : {44, 68}) {
        for (auto [dx, y] : std::vector<std::pair<int, int>>{{-5, 345}, {5, 345}, {-2, 347}, {2, 343}, {-3, 143}})
            EXPECT_EQ(fb.at(x + dx, y), 15) << x << " " << dx << "," << y;
    }
    // The copy of the jumper's second half, from x -4 at y 252, dashed from
    // its first point: x 0..3 set, 4..11 gap, 12..19 set.
    std::string dashes;
    for (int x = 0; x <= 27; ++x) dashes += fb.at(x, 252) == 15 ? '#' : '.';
    EXPECT_EQ(dashes, "####........########........");
}

TEST(shifted_copies, z_24_phases_2_and_3_copies) {
    scheme_run r;
    snapshot end_of_2, before_prompt;
    snapshot_when(r, end_of_2, [&r] { return r.in_phase(3); });
    snapshot_when(r, before_prompt, [&r] { return r.drawing_done(); });
    r.enter("24", "4").finish().run();
    ASSERT_TRUE(end_of_2.pixels && before_prompt.pixels);
    // Phase 2: segments 43 and 37 to slots 5 and 6, crosses in row 345.
    for (int x : {141, 165}) EXPECT_EQ(end_of_2.pixels->at(x - 5, 345), 12) << x;
    const framebuffer& fb = *before_prompt.pixels;
    // Phase 3: slots 3 and 4 get dots in both rows (28 and 34 dashed, 46
    // and 40 solid); slots 9 and 10 crosses in row 345 (43 and 37).
    for (int x : {92, 117}) {
        EXPECT_EQ(fb.at(x, 344), 9) << x;
        EXPECT_EQ(fb.at(x, 334), 9) << x;
    }
    for (int x : {237, 262}) EXPECT_EQ(fb.at(x - 5, 345), 9) << x;
}

// The rows of the end points of coil sides with Z = 24, p' = 4: slot line
// ends, terminal level, and the jumper rows of odd and even pole boundaries,
// which phases 2 and 3 move down by 18 pixels each.
enum class side_end { top, bottom, lead, odd_jumper, even_jumper };

int end_row(side_end e, int phase) {
    switch (e) {
        case side_end::top: return 105;
        case side_end::bottom: return 195;
        case side_end::lead: return 312;
        case side_end::odd_jumper: return 252 + 18 * (phase - 1);
        case side_end::even_jumper: return 258 + 18 * (phase - 1);
    }
    return 0;
}

struct coil_side {
    int segment;
    bool dashed;
    side_end from, to;
};

// Where the figures of slot n stand in phase p with Z = 24, p' = 4: the
// side's x, (n - 2q (p - 1)) dx plus the phase origin, unrounded.
long double side_x(int slot, int phase) {
    const long double dx = static_cast<float>(580.0L / 24);
    const long double origin = static_cast<float>(20 + ((phase - 1) + (phase - 1)) * 2 * dx);
    return (slot - 4 * (phase - 1)) * dx + origin;
}

// The two symbols of a slot as the rules draw them: a ring of radius 5 at
// y 335 and at 345, with a cross (sides traced upwards) or a dot (downwards).
framebuffer slot_symbols(long double s, bool cross, int colour) {
    framebuffer fb;
    const screen::viewport all;
    const auto c = std::uint8_t(colour);
    for (double row : {335.0, 345.0}) {
        screen::rasterise_circle(fb, all, double(s), row, 5, c);
        const float r = float(row);
        if (cross) {
            screen::rasterise_line(fb, all, float(s - 2), r + 2, float(s + 2), r - 2, c, 0xFFFF);
            screen::rasterise_line(fb, all, float(s - 2), r - 2, float(s + 2), r + 2, c, 0xFFFF);
        } else {
            screen::rasterise_circle(fb, all, double(s), row, 1, c);
        }
    }
    return fb;
}

// The first pixel of the inclusive rectangle where two pictures differ, or
// an empty text.
std::string first_difference(const framebuffer& got, const framebuffer& want, int x0, int y0, int x1, int y1) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            if (got.at(x, y) != want.at(x, y))
                return std::to_string(x) + "," + std::to_string(y) + " is " + std::to_string(got.at(x, y)) +
                       ", not " + std::to_string(want.at(x, y));
    return {};
}

TEST(shifted_copies, z_24_final_picture_every_slot_shows_one_solid_and_one_dashed_side) {
    // The sides of phase 1 in connection order are in slots 1, 7, 2, 8 |
    // 14, 8, 13, 7 | 13, 19, 14, 20 | 26, 20, 25, 19, kinds 1, 2, 1, 2 by
    // pole group; side k is segment 3k - 2, traced upwards for odd k. Kind 1
    // upwards and kind 2 downwards are solid with the symbol in row 335;
    // kind 1 downwards and kind 2 upwards dashed with it in row 345; upwards
    // gives a cross, downwards a dot. Sides past slot 24 are copied Z slots
    // left, so each slot gets two sides of one direction, one of each line
    // style. Phases 2 and 3 repeat this 4 and 8 slots further right (slots
    // past 24 by their copies) in light red and light blue.
    struct slot_sides {
        int slot;  // in phase 1
        bool cross;
        coil_side first, second;  // in the order they are drawn
    };
    using e = side_end;
    const std::vector<slot_sides> slots = {
        {1, true, {1, false, e::lead, e::top}, {43, true, e::bottom, e::top}},        // sides 1 and 15
        {2, true, {7, false, e::bottom, e::top}, {37, true, e::odd_jumper, e::top}},  // 3 and 13
        {7, false, {4, true, e::top, e::bottom}, {22, false, e::top, e::even_jumper}},  // 2 and 8
        {8, false, {10, true, e::top, e::odd_jumper}, {16, false, e::top, e::bottom}},  // 4 and 6
        {13, true, {19, true, e::bottom, e::top}, {25, false, e::even_jumper, e::top}},  // 7 and 9
        {14, true, {13, true, e::odd_jumper, e::top}, {31, false, e::bottom, e::top}},   // 5 and 11
        {19, false, {28, true, e::top, e::bottom}, {46, false, e::top, e::lead}},        // 10 and 16
        {20, false, {34, true, e::top, e::odd_jumper}, {40, false, e::top, e::bottom}},  // 12 and 14
    };
    const int colours[3] = {15, 12, 9};

    // The picture as each segment starts (before its pause), and the final
    // picture before the end prompt clears the lower symbol row.
    scheme_run r;
    std::vector<framebuffer> at_segment(3 * 47 + 1);
    std::optional<framebuffer> final_picture_before_prompt;
    r.backend.on_each_wait([&, last = -1](double) mutable {
        const auto& st = r.state();
        if (r.drawing_done()) {
            if (!final_picture_before_prompt) final_picture_before_prompt = r.screen.pixels_snapshot();
            return;
        }
        if (!r.in_a_phase() || st.loop_i.stored() < 1 || st.loop_i.stored() > 46) return;
        const int key = int(st.phase.stored() - 1) * 47 + int(st.loop_i.stored());
        if (key != last) at_segment[std::size_t(key)] = r.screen.pixels_snapshot();
        last = key;
    });
    r.enter("24", "4").finish().run();
    ASSERT_TRUE(final_picture_before_prompt);
    const framebuffer& fb = *final_picture_before_prompt;
    const auto before = [&](int phase, int i) -> const framebuffer& {
        return at_segment[std::size_t((phase - 1) * 47 + i)];
    };
    const auto after = [&](int phase, int i) -> const framebuffer& {
        if (i < 46) return before(phase, i + 1);
        return phase < 3 ? before(phase + 1, 1) : fb;
    };

    for (int phase = 1; phase <= 3; ++phase) {
        const int colour = colours[phase - 1];
        for (const auto& sides : slots) {
            int slot = sides.slot + 4 * (phase - 1);
            if (slot > 24) slot -= 24;
            const long double s = side_x(slot, phase);
            const int x = int(std::nearbyint(float(s)));  // a line end rounds to even
            const framebuffer want = slot_symbols(s, sides.cross, colour);
            const std::string where = "phase " + std::to_string(phase) + " slot " + std::to_string(slot);
            // Both symbols stand in the final picture, and nothing else near them.
            EXPECT_EQ(first_difference(fb, want, x - 7, 331, x + 7, 349), "") << where;

            for (const coil_side& side : {sides.first, sides.second}) {
                const framebuffer& was = before(phase, side.segment);
                const framebuffer& is = after(phase, side.segment);
                const std::string of = where + " segment " + std::to_string(side.segment);
                // The line: solid, or dashed 8 on 8 off counted from its
                // first point; the pixels it leaves out keep what was there
                // (slot line dots, the other side). Rows 154 to 181 belong to
                // the slot numbers, printed again over the drawing at the end.
                // A dashed copy drawn over its solid partner (slots 1 and 2 of
                // phase 1) shows only where it reaches past it: side 13 below
                // row 195, down to its jumper row.
                const int y0 = end_row(side.from, phase), y1 = end_row(side.to, phase);
                std::string line_fault;
                for (int y = std::min(y0, y1) + 1; y < std::max(y0, y1) && line_fault.empty(); ++y) {
                    if (y >= 154 && y <= 181) continue;
                    const bool drawn = !side.dashed || std::abs(y - y0) % 16 < 8;
                    if (is.at(x, y) != (drawn ? colour : was.at(x, y)))
                        line_fault = "y " + std::to_string(y) + (drawn ? " not drawn" : " drawn in a gap");
                }
                EXPECT_EQ(line_fault, "") << of << (side.dashed ? " (dashed)" : " (solid)");
                // The symbol: in row 335 for a solid side, 345 for a dashed
                // one; the other row keeps what it had.
                const int own = side.dashed ? 345 : 335, other = side.dashed ? 335 : 345;
                EXPECT_EQ(first_difference(is, want, x - 7, own - 4, x + 7, own + 4), "") << of;
                EXPECT_EQ(first_difference(is, was, x - 7, other - 4, x + 7, other + 4), "") << of;
            }
        }
    }
    // Nothing of the copies stays in the cleared left strip.
    EXPECT_EQ(count_colour(fb, 0, 0, 30, 31, 335), 32 * 306);
}

TEST(shifted_copies, kind_0_copies_follow_the_kind_1_rows) {
    scheme_run r;
    snapshot before_prompt;
    snapshot_when(r, before_prompt, [&r] { return r.drawing_done(); });
    r.enter("8", "1.2").finish().run();
    ASSERT_TRUE(before_prompt.pixels);
    const framebuffer& fb = *before_prompt.pixels;
    // Phase 3, segments 13 and 14 at x 84: solid up with a cross in row 335,
    // then dashed down with a dot in row 345.
    EXPECT_EQ(fb.at(84 - 5, 335), 9);
    EXPECT_EQ(fb.at(82, 337), 9);
    EXPECT_EQ(fb.at(84, 344), 9);
    EXPECT_EQ(fb.at(84 - 5, 345), 9);
}

// ---- errors of the drawing steps ----

std::vector<int> steps_between(int first, int last) {
    std::vector<int> v;
    for (int step = first; step <= last; ++step) v.push_back(step);
    return v;
}

std::vector<int> joined(std::initializer_list<std::vector<int>> parts, int times = 1) {
    std::vector<int> v;
    for (int n = 0; n < times; ++n)
        for (const auto& part : parts) v.insert(v.end(), part.begin(), part.end());
    return v;
}

TEST(drawing_errors, each_report_names_the_failing_step_and_its_error) {
    struct error_case {
        const char* z;
        const char* p;
        int error;
        std::vector<int> steps;  // the reports from the animation on, in order
    };
    const std::vector<error_case> cases = {
        // y1 = 24000, q = 8000: phases 2 and 3 start 2q dx = 386667 and
        // 773333 pixels right, so every label column (x 79 / 640, above
        // 47000) overflows: start mark and its shifted copy at segment 1,
        // end mark and its copy at segment 46 (Z - y1 < 0: every segment
        // wraps). Phase 1's columns are 2 and -69: no report.
        {"24", "0.001", 6, joined({{249, 290, 269, 310}}, 2)},
        // y1 = -24000: the columns of phases 2 and 3 fall below -32768.5; the
        // wrap test, (Z - y1) dx = 580000 on its right, fails everywhere, so
        // no shifted mark.
        {"24", "-0.001", 6, joined({{249, 269}}, 2)},
        // 2Z - 2 = 1000 segments; only the last reads past the table, at
        // point 1001 (element 0 instead). End mark: circle, column, row;
        // segment 1000 starts on side 334 (slot 668 > Z - y1 = 0), so the
        // wrap test holds and the shifted end mark fails the same three
        // ways. The segment (kind 1) and its copy (kind other than 2): the
        // direction test, the line and the coil-side test read point 1001;
        // the arrowhead and the symbol stand on point 1000 and pass.
        {"501", "1", 9,
         joined({{268, 269, 270, 309, 310, 311}, {334, 335, 336}, {396, 397, 398}}, 3)},
        // 1002 segments. Segment 1000 starts on the last side (slot 252 >
        // Z - y1 = 251, kind 2) and fails at point 1001 in the kind-2 rows
        // of both halves. Segments 1001 and 1002 read point i past the table
        // too: a test whose read fails holds, so the wrap test (287) admits
        // the shifted marks and the kind tests take their first branches,
        // kind 1 (333) and kind 2 (372); every figure, arrowhead and symbol
        // included, then reads point i. In segment 1002 the end mark (point
        // 1003) comes first.
        {"502", "2", 9,
         joined({{353, 354, 355, 374, 375, 376},
                 {287}, steps_between(333, 341), steps_between(372, 381),
                 {268, 269, 270, 287, 309, 310, 311}, steps_between(333, 341), steps_between(372, 381)},
                3)},
    };
    for (const auto& c : cases) {
        scheme_run r;
        r.enter(c.z, c.p).finish().run();
        EXPECT_EQ(r.how, screen::run_end::end_prompt) << c.z << " " << c.p;
        // Below step 198, the computation's own reports.
        EXPECT_EQ(r.reported_steps(198), c.steps) << c.z << " " << c.p;
        EXPECT_EQ(r.reported_errors(198), std::vector<int>(c.steps.size(), c.error)) << c.z << " " << c.p;
    }
}

}  // namespace
