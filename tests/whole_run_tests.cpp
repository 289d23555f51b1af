// Whole runs of the demonstration on the headless backend, from the first
// step to the end prompt, looked at pixel by pixel.
#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <fpu_control.h>

#include <gtest/gtest.h>

#include "scheme_run.h"
#include "screen_test_support.h"
#include "winding/winding_scheme.h"

namespace {

using screen::run_end;
using screen_test::cell_shows;
using screen_test::count_colour;
using screen_test::frame_pixel;
using screen_test::row_mismatch;

const std::string title = "SCHEMES: LAP, TWO LAYER, FULL PITCH WINDING";
const std::string help = " Change speed: for 2 x speed press (+), for 0,5 x speed press (-) ";

using whole_run = scheme_test::scheme_run;
using sleep = screen::headless_platform::sleep;

// The pole boundary lines at the given pixel columns, crossing the text
// rows from y 30 down in green; their dash pattern 0xFF99 counts from y 30.
screen_test::overlay pole_lines(const std::vector<int>& pole_x) {
    return [pole_x](int px, int py) {
        const bool pole = py >= 30 && std::find(pole_x.begin(), pole_x.end(), px) != pole_x.end() &&
                          ((0xFF99 >> (15 - (py - 30) % 16)) & 1);
        return pole ? 2 : -1;
    };
}

// Calls `look` once, at the first pause or question after the result line
// (step 86 has set the pause by then).
void on_first_look_after_entry(whole_run& r, std::function<void()> look) {
    r.at_first_wait_when([&r] { return r.state().step_delay_s.stored() != 0; }, look);
}

TEST(whole_run, header_draws_title_caption_help_and_icons) {
    // Stopped while Z is being typed: the header alone stands.
    whole_run r;
    r.backend.type_at(0.5, "2");
    r.backend.stop_at(1.0);
    r.run();
    EXPECT_EQ(r.screen.window_title(), title);
    EXPECT_EQ(r.screen.scaling(), screen::resize_scaling::stretch_smooth);
    EXPECT_EQ(row_mismatch(r.screen, 1, 9, "Developed winding scheme of a three-phase machine", 3), "");
    EXPECT_EQ(row_mismatch(r.screen, 2, 8, help, 14), "");
    // The full-pitch coil: dots of the two slot lines at y 18 and 2 remain
    // below and above its solid sides (y 5 to 15).
    for (int x : {40, 50}) {
        std::string column;
        for (int y = 0; y <= 19; ++y) column += r.screen.pixel(x, y) == 15 ? '#' : '.';
        EXPECT_EQ(column, "..#..###########..#.") << x;
    }
    // The lap coil: its sides at x 5, 8 and 15, its apexes at y 1 and 19.
    EXPECT_EQ(count_colour(r.screen, 15, 5, 5, 5, 15), 11);
    EXPECT_EQ(count_colour(r.screen, 15, 8, 5, 8, 15), 11);
    EXPECT_EQ(count_colour(r.screen, 15, 15, 5, 15, 15), 11);
    EXPECT_EQ(r.screen.pixel(10, 1), 15);
    EXPECT_EQ(r.screen.pixel(13, 1), 15);
    EXPECT_EQ(r.screen.pixel(11, 19), 15);
    // The two-layer slot: bottom at y 17 from x 23 to 31, two conductors.
    EXPECT_EQ(count_colour(r.screen, 15, 23, 17, 31, 17), 9);
    for (auto [x, y] : std::vector<std::pair<int, int>>{{24, 13}, {30, 13}, {27, 11}, {27, 15}, {24, 7}, {27, 5}})
        EXPECT_EQ(r.screen.pixel(x, y), 15) << x << "," << y;
    // The icons stay within x 0..50, y 0..19.
    EXPECT_EQ(count_colour(r.screen, 15, 51, 0, 639, 27), 0);
    EXPECT_EQ(count_colour(r.screen, 15, 0, 20, 639, 27), 0);
}

struct result_cell {
    int column;
    std::string text;
    int colour;
};

TEST(whole_run, z_24_p_4_result_line_by_columns) {
    whole_run r;
    r.enter("24", "4").finish();
    r.run();
    const std::vector<result_cell> row3 = {
        {1, std::string(6, ' '), 0}, {7, " Z=", 14},      {10, "24", 14},           {12, std::string(10, ' '), 0},
        {22, " p'=", 14},            {26, "4", 14},       {27, std::string(10, ' '), 0},
        {37, " y1=", 11},            {41, "  ", 11},      {43, " 6 ", 11},          {46, std::string(6, ' '), 0},
        {52, " z=", 11},             {55, " 6 ", 11},     {58, std::string(9, ' '), 11},
        {67, " m = ", 11},           {72, " 2 ", 11},     {75, std::string(6, ' '), 11},
    };
    // The pole boundary lines cross the row from y 30 down.
    const std::vector<int> poles = {32, 177, 322, 467, 612};
    for (const auto& c : row3)
        EXPECT_EQ(row_mismatch(r.screen, 3, c.column, c.text, c.colour, pole_lines(poles)), "");
    const auto& s = r.state();
    EXPECT_EQ(s.slot_count.stored(), 24);
    EXPECT_EQ(s.pole_count.stored(), 4);
    EXPECT_EQ(s.coil_pitch.stored(), 6);
    EXPECT_EQ(s.slots_per_pole_phase.stored(), 2);
    EXPECT_EQ(s.slot_pitch_px.stored(), 24.16666603f);
    EXPECT_EQ(s.back_step.stored(), 5);
}

TEST(whole_run, background_is_dark_blue_and_the_end_prompt_light_cyan_on_row_25) {
    whole_run r;
    r.enter("24", "4").finish();
    r.run();
    EXPECT_EQ(r.how, run_end::end_prompt);
    EXPECT_EQ(r.backend.exit_code(), 0);
    EXPECT_TRUE(r.backend.questions().empty());
    EXPECT_EQ(r.screen.pixel_rgb(630, 200), 0x000055u);
    EXPECT_EQ(r.screen.pixel_rgb(0, 349), 0x000055u);
    EXPECT_EQ(row_mismatch(r.screen, 25, 1, "Press any key to continue", 11), "");
    EXPECT_EQ(count_colour(r.screen, 0, 25 * 8, 336, 639, 349), (640 - 25 * 8) * 14);
    EXPECT_EQ(frame_pixel(r.backend.last_frame(), 300, 349), 0x000055u);
}

TEST(whole_run, z_20_p_4_wraps_q_to_row_4) {
    whole_run r;
    r.enter("20", "4").finish();
    std::string row4;
    // Later the left margin strip clears the start of row 4.
    on_first_look_after_entry(r, [&] { row4 = row_mismatch(r.screen, 4, 1, " 1.666667 ", 11, pole_lines({34})); });
    r.run();
    const std::vector<int> poles = {180, 324, 470, 614};  // the one at x 34 is cleared with the margin
    EXPECT_EQ(row_mismatch(r.screen, 3, 43, " 5 ", 11, pole_lines(poles)), "");
    EXPECT_EQ(row_mismatch(r.screen, 3, 55, " 5 ", 11, pole_lines(poles)), "");
    EXPECT_EQ(row_mismatch(r.screen, 3, 67, " m =      ", 11, pole_lines(poles)), "");
    EXPECT_EQ(row4, "");
}

TEST(whole_run, result_line_leaves_the_cursor_on_the_next_row) {
    // Z of 50 and more print no slot numbers, which move the cursor.
    struct cursor_case {
        std::string z, p, q_text;
        int row_q, column_q, cursor_row;
        std::vector<int> poles;
    };
    const std::vector<cursor_case> cases = {
        {"60", "4", " 5 ", 3, 72, 4, {}},
        {"50", "4", " 4.166667 ", 4, 1, 5, {26}},
    };
    for (const auto& c : cases) {
        whole_run r;
        r.enter(c.z, c.p).finish();
        std::string q_text;
        int row = 0, column = 0;
        on_first_look_after_entry(r, [&] {
            q_text = row_mismatch(r.screen, c.row_q, c.column_q, c.q_text, 11, pole_lines(c.poles));
            row = r.screen.cursor_row();
            column = r.screen.cursor_column();
        });
        r.run();
        EXPECT_EQ(q_text, "") << c.z;
        EXPECT_EQ(row, c.cursor_row) << c.z;
        EXPECT_EQ(column, 1) << c.z;
    }
}

TEST(whole_run, empty_entries_give_zero_and_not_a_number) {
    whole_run r;
    r.enter("", "").finish();
    std::string y1_text;
    // Z = 0 clears everything below y 30 at the end.
    on_first_look_after_entry(r, [&] { y1_text = row_mismatch(r.screen, 3, 43, " NAN ", 11); });
    r.run();
    EXPECT_EQ(r.how, run_end::end_prompt);
    EXPECT_EQ(y1_text, "");
    EXPECT_EQ(r.state().slot_count.stored(), 0);
    EXPECT_EQ(r.state().pole_count.stored(), 0);
    // Z = 0: the lead height at point 2Z - 1 has index -1.
    EXPECT_EQ(r.reported_steps(), (std::vector<int>{108}));
}

TEST(whole_run, stop_during_the_entry_of_z_ends_without_asking_for_p_or_prompting) {
    whole_run r;
    r.backend.type_at(0.2, "2");
    r.backend.stop_at(0.6);
    r.backend.key_at(2.0, "4");
    r.run();
    EXPECT_EQ(r.how, run_end::halted);
    EXPECT_EQ(r.backend.exit_code(), 0);
    EXPECT_EQ(r.backend.end_process_calls(), 1);
    EXPECT_TRUE(cell_shows(r.screen, 3, 10, '2', 14));
    EXPECT_EQ(row_mismatch(r.screen, 3, 22, "    ", 0), "");            // no " p'="
    EXPECT_EQ(count_colour(r.screen, 0, 0, 336, 639, 349), 640 * 14);  // no prompt
    EXPECT_LT(r.backend.now(), 1.0);
}

TEST(whole_run, stop_during_the_final_wait_ends_without_the_prompt) {
    whole_run r;
    r.enter("24", "4");
    r.backend.stop_at(r.entered_at + 10);
    r.run();
    EXPECT_EQ(r.how, run_end::stopped);
    EXPECT_EQ(r.backend.exit_code(), 0);
    EXPECT_FALSE(cell_shows(r.screen, 25, 1, 'P', 11));
    EXPECT_GE(r.backend.now(), r.entered_at + 10);
}

TEST(whole_run, stop_during_the_animation_ends_the_pause_at_once) {
    whole_run r;
    r.enter("24", "4", false);
    r.backend.stop_at(r.entered_at + 20.5);
    r.run();
    EXPECT_EQ(r.how, run_end::stopped);
    EXPECT_EQ(r.backend.now(), r.entered_at + 20.5);
    EXPECT_EQ(r.state().phase.stored(), 1);
}

TEST(whole_run, a_key_waiting_when_the_drawing_ends_ends_the_wait_and_the_prompt_wants_a_new_one) {
    whole_run r;
    r.enter("24", "4");
    // The first fourteen segments take the fourteen "+"; the drawing is
    // done long before "a" and "b" come.
    r.backend.key_at(r.entered_at + 5, "a").key_at(r.entered_at + 5, "b");  // after the animation
    r.backend.key_at(r.entered_at + 20, "c");
    r.run();
    EXPECT_EQ(r.how, run_end::end_prompt);
    EXPECT_GE(r.backend.now(), r.entered_at + 20);  // "b" was discarded by the prompt
}

TEST(whole_run, pause_in_the_final_wait_swallows_the_key_that_ends_it) {
    whole_run r;
    r.enter("24", "4");
    const double t = r.entered_at + 10;
    r.backend.pause_at(t);
    r.backend.key_at(t + 3, "p");  // ends the pause, taken by no one
    r.backend.key_at(t + 5, "w");  // ends the final wait
    r.backend.key_at(t + 7, "e");  // ends the prompt
    r.run();
    EXPECT_EQ(r.how, run_end::end_prompt);
    EXPECT_GE(r.backend.now(), t + 7);
}

// Z = 9, p' = 3, typed a key every half second from 0.5: the entry ends at
// 2, and 48 segments with pauses of 1 s end at 50, unless something comes
// between.
void type_z_9_p_3(whole_run& r) { r.backend.key_at(0.5, "9").key_at(1, "\r").key_at(1.5, "3").key_at(2, "\r"); }

std::string sleep_log(const std::vector<sleep>& sleeps) {
    std::ostringstream out;
    for (const sleep& s : sleeps) {
        out << s.from << " to " << s.to;
        if (s.deadline) out << " (deadline " << *s.deadline << ")";
        out << (s.woken ? " woken\n" : "\n");
    }
    return out.str();
}

TEST(whole_run, the_segment_loop_polls_the_keyboard_for_free) {
    whole_run r;
    r.enter("12", "2").finish(10);
    r.run();
    EXPECT_EQ(r.how, run_end::end_prompt);
    // 66 segments: fourteen "+" halve the pause from 1 s to 2^-14 s over
    // the first fourteen, and the other 52 wait 2^-14 s each. Nothing else
    // takes time: each pause is one sleep to its end, and the segment's key
    // poll never sleeps.
    std::vector<sleep> pauses, others;
    for (const sleep& s : r.backend.sleeps()) (s.deadline ? pauses : others).push_back(s);
    ASSERT_EQ(pauses.size(), 66u);
    for (const sleep& s : pauses) EXPECT_EQ(s.to, *s.deadline);
    ASSERT_GE(others.size(), 2u);
    const double drawn_at = others[others.size() - 2].from;  // the final wait
    const double return_typed_at = r.entered_at - 0.05;
    const double paused = (1 - std::ldexp(1, -14)) + 52 * std::ldexp(1, -14);
    EXPECT_NEAR(drawn_at - return_typed_at, paused, 1e-9);
}

TEST(whole_run, each_wait_is_one_sleep_until_its_end_or_the_key_that_ends_it) {
    whole_run r;
    type_z_9_p_3(r);
    r.backend.key_at(60, "x").key_at(61, "y");
    r.run();
    ASSERT_EQ(r.how, run_end::end_prompt);
    EXPECT_TRUE(r.backend.questions().empty());
    std::vector<sleep> expected = {{0, {}, 0.5, true}, {0.5, {}, 1, true}, {1, {}, 1.5, true}, {1.5, {}, 2, true}};
    for (int k = 0; k < 48; ++k) expected.push_back({2.0 + k, 3.0 + k, 3.0 + k, false});
    expected.push_back({50, {}, 60, true});  // the final wait
    expected.push_back({60, {}, 61, true});  // the end prompt
    EXPECT_EQ(sleep_log(r.backend.sleeps()), sleep_log(expected));
}

TEST(whole_run, a_key_pause_or_close_request_ends_any_wait_at_once) {
    using screen::headless_platform;
    struct interruption {
        const char* name;
        std::vector<std::pair<double, std::string>> events;  // "pause", "stop" or a key
        run_end how;
        double ends_at;
        std::size_t sleeps;
    };
    // The sleeps: four in the entry, one per segment's pause, one in the
    // final wait and one at the prompt, as far as the run gets, and one more
    // for each interruption that does not end the run.
    const std::vector<interruption> cases = {
        {"close box in the entry", {{0.75, "stop"}}, run_end::halted, 0.75, 2},
        {"close box in a pause", {{6.25, "stop"}}, run_end::stopped, 6.25, 4 + 5},
        {"close box while Pause holds", {{6.25, "pause"}, {8.5, "stop"}}, run_end::stopped, 8.5, 4 + 5 + 1},
        {"close box in the final wait", {{55, "stop"}}, run_end::stopped, 55, 4 + 48 + 1},
        {"close box at the end prompt", {{60, "x"}, {60.5, "stop"}}, run_end::stopped, 60.5, 4 + 48 + 2},
        // Pause outlasts the pause of segment 5 (6 to 7): the segment is
        // drawn with the key that ends it, and the 43 left take 43 s.
        {"Pause in a pause", {{6.25, "pause"}, {9.5, "p"}, {60, "x"}, {61, "y"}}, run_end::end_prompt, 61,
         4 + 48 + 1 + 2},
        {"Pause in the final wait", {{55, "pause"}, {57, "p"}, {60, "x"}, {61, "y"}}, run_end::end_prompt, 61,
         4 + 48 + 2 + 2},
        // Taken by segment 6: the 43 segments from there pause 2 s each.
        {"a key in a pause", {{6.5, "-"}, {120, "x"}, {121, "y"}}, run_end::end_prompt, 121, 4 + 48 + 1 + 2},
    };
    for (const auto& c : cases) {
        whole_run r;
        type_z_9_p_3(r);
        std::vector<double> times = {0.5, 1, 1.5, 2};
        for (const auto& [at, what] : c.events) {
            if (what == "pause") r.backend.pause_at(at);
            else if (what == "stop") r.backend.stop_at(at);
            else r.backend.key_at(at, what);
            times.push_back(at);
        }
        r.run();
        EXPECT_EQ(r.how, c.how) << c.name;
        EXPECT_EQ(r.backend.now(), c.ends_at) << c.name;
        EXPECT_EQ(r.backend.sleeps().size(), c.sleeps) << c.name << "\n" << sleep_log(r.backend.sleeps());
        // Every sleep ended at its deadline or was woken by the event of
        // that moment, and every event reached woke one.
        for (const sleep& s : r.backend.sleeps()) {
            const bool at_an_event = std::find(times.begin(), times.end(), s.to) != times.end();
            EXPECT_TRUE(s.woken ? at_an_event : s.deadline == s.to) << c.name << ": " << sleep_log({s});
        }
        for (double t : times) {
            const bool woke = std::any_of(r.backend.sleeps().begin(), r.backend.sleeps().end(),
                                          [t](const sleep& s) { return s.woken && s.to == t; });
            EXPECT_TRUE(woke || t > c.ends_at) << c.name << ": nothing woke at " << t;
        }
    }
}

TEST(whole_run, sets_its_own_control_word_whatever_the_caller_left) {
    // A caller that left a 53-bit significand and rounding toward zero: the
    // run itself goes back to a 64-bit significand, rounding to nearest.
    fpu_control_t before = 0;
    _FPU_GETCW(before);
    fpu_control_t foreign = (_FPU_DEFAULT & ~(_FPU_EXTENDED | _FPU_RC_ZERO)) | _FPU_DOUBLE | _FPU_RC_ZERO;
    _FPU_SETCW(foreign);
    whole_run r;
    r.enter("24", "4").finish();
    fpu_control_t in_run = foreign;
    r.at_first_wait_when([] { return true; }, [&in_run] { _FPU_GETCW(in_run); });
    const run_end how = r.run();
    _FPU_SETCW(before);
    EXPECT_EQ(how, run_end::end_prompt);
    EXPECT_EQ(in_run, fpu_control_t(_FPU_DEFAULT));
}

TEST(whole_run, main_module_runs_from_the_first_step_to_the_end) {
    screen::headless_platform backend;
    screen::screen_layer screen{backend};
    double t = backend.type_at(0.5, "24\r4\r");
    backend.type_at(t, std::string(15, '+'), 0);
    backend.key_at(t + 10, "x").key_at(t + 11, "y");
    EXPECT_EQ(screen.run([&] { winding::main_module(screen); }), run_end::end_prompt);
    EXPECT_EQ(backend.exit_code(), 0);
    EXPECT_TRUE(backend.questions().empty());
    EXPECT_EQ(row_mismatch(screen, 3, 43, " 6 ", 11), "");
}

}  // namespace
