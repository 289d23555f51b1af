// Whole runs of the demonstration on the headless backend, from the first
// step to the end prompt, looked at pixel by pixel.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "screen_test_support.h"
#include "winding/winding_run.h"
#include "winding/winding_scheme.h"

namespace {

using screen::run_end;
using screen_test::cell_shows;
using screen_test::count_colour;
using screen_test::row_mismatch;

const std::string title = "SCHEMES: LAP, TWO LAYER, FULL PITCH WINDING";
const std::string help = " Change speed: for 2 x speed press (+), for 0,5 x speed press (-) ";

struct whole_run {
    screen::headless_platform backend;
    screen::screen_layer screen{backend};
    winding::winding_run program{screen};
    run_end how = run_end::running;

    // Types Z and p' a moment apart, then a key for the final wait at
    // entered_at + 1 and one for the end prompt at entered_at + 2.
    double entered_at = 0;
    void type_entries(const std::string& z, const std::string& p) {
        entered_at = backend.type_at(backend.type_at(0.5, z + "\r") + 0.5, p + "\r");
        backend.key_at(entered_at + 1, "x");
        backend.key_at(entered_at + 2, "y");
    }
    void run() {
        how = screen.run([&] { program.run(); });
    }
};

TEST(whole_run, header_draws_title_caption_help_and_icons) {
    whole_run r;
    screen::screen_frame during_entry;
    r.backend.on_each_sleep([&](double) {
        if (during_entry.rgb.empty()) during_entry = r.screen.make_frame();
    });
    r.type_entries("24", "4");
    r.run();
    EXPECT_EQ(during_entry.title, title);
    EXPECT_EQ(during_entry.scaling, screen::resize_scaling::stretch_smooth);
    EXPECT_EQ(r.screen.window_title(), title);
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
    r.type_entries("24", "4");
    int row_after_entry = 0, column_after_entry = 0;
    r.backend.on_each_sleep([&](double now) {
        if (now > r.entered_at + 0.5 && row_after_entry == 0) {
            row_after_entry = r.screen.cursor_row();
            column_after_entry = r.screen.cursor_column();
        }
    });
    r.run();
    const std::vector<result_cell> row3 = {
        {1, std::string(6, ' '), 0}, {7, " Z=", 14},      {10, "24", 14},           {12, std::string(10, ' '), 0},
        {22, " p'=", 14},            {26, "4", 14},       {27, std::string(10, ' '), 0},
        {37, " y1=", 11},            {41, "  ", 11},      {43, " 6 ", 11},          {46, std::string(6, ' '), 0},
        {52, " z=", 11},             {55, " 6 ", 11},     {58, std::string(9, ' '), 11},
        {67, " m = ", 11},           {72, " 2 ", 11},     {75, std::string(6, ' '), 11},
    };
    for (const auto& c : row3) EXPECT_EQ(row_mismatch(r.screen, 3, c.column, c.text, c.colour), "");
    EXPECT_EQ(row_after_entry, 4);
    EXPECT_EQ(column_after_entry, 1);
    const auto& s = r.program.state();
    EXPECT_EQ(s.slot_count.stored(), 24);
    EXPECT_EQ(s.pole_count.stored(), 4);
    EXPECT_EQ(s.coil_pitch.stored(), 6);
    EXPECT_EQ(s.slots_per_pole_phase.stored(), 2);
    EXPECT_EQ(s.slot_pitch_px.stored(), 24.16666603f);
    EXPECT_EQ(s.back_step.stored(), 5);
    EXPECT_EQ(s.step_delay_s.stored(), 1);
}

TEST(whole_run, background_is_dark_blue_and_the_end_prompt_light_cyan_on_row_25) {
    whole_run r;
    r.type_entries("24", "4");
    r.run();
    EXPECT_EQ(r.how, run_end::end_prompt);
    EXPECT_EQ(r.backend.exit_code(), 0);
    EXPECT_TRUE(r.backend.questions().empty());
    EXPECT_EQ(r.screen.pixel_rgb(320, 200), 0x000055u);
    EXPECT_EQ(r.screen.pixel_rgb(0, 349), 0x000055u);
    EXPECT_EQ(row_mismatch(r.screen, 25, 1, "Press any key to continue", 11), "");
    EXPECT_EQ(r.backend.last_frame().rgb[349 * 640 + 300], 0x000055u);
}

TEST(whole_run, z_20_p_4_wraps_q_to_row_4) {
    whole_run r;
    r.type_entries("20", "4");
    int row_after_entry = 0;
    r.backend.on_each_sleep([&](double now) {
        if (now > r.entered_at + 0.5 && row_after_entry == 0) row_after_entry = r.screen.cursor_row();
    });
    r.run();
    EXPECT_EQ(row_mismatch(r.screen, 3, 43, " 5 ", 11), "");
    EXPECT_EQ(row_mismatch(r.screen, 3, 55, " 5 ", 11), "");
    EXPECT_EQ(row_mismatch(r.screen, 3, 67, " m =      ", 11), "");
    EXPECT_EQ(row_mismatch(r.screen, 4, 1, " 1.666667 ", 11), "");
    EXPECT_EQ(row_after_entry, 5);
}

TEST(whole_run, empty_entries_give_zero_and_not_a_number) {
    struct empty_case {
        std::string z, p, y1_text;
        std::vector<int> reported_steps;
    };
    const std::vector<empty_case> cases = {
        // Z = 0: the lead height at point 2Z - 1 has index -1.
        {"", "", " NAN ", {108}},
        {"24", "", " INF ", {}},
    };
    for (const auto& c : cases) {
        whole_run r;
        r.backend.default_answer(true);
        r.type_entries(c.z, c.p);
        r.run();
        EXPECT_EQ(r.how, run_end::end_prompt);
        std::vector<int> steps;
        for (const auto& q : r.backend.questions()) steps.push_back(q.step_number);
        EXPECT_EQ(steps, c.reported_steps) << c.z;
        EXPECT_EQ(row_mismatch(r.screen, 3, 43, c.y1_text, 11), "") << c.z;
        EXPECT_EQ(r.program.state().pole_count.stored(), 0);
    }
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
    EXPECT_EQ(row_mismatch(r.screen, 3, 22, "    ", 0), "");                 // no " p'="
    EXPECT_EQ(count_colour(r.screen, 0, 0, 336, 639, 349), 640 * 14);  // no prompt
    EXPECT_LT(r.backend.now(), 1.0);
}

TEST(whole_run, stop_during_the_final_wait_ends_without_the_prompt) {
    whole_run r;
    double t = r.backend.type_at(0.5, "24\r");
    t = r.backend.type_at(t, "4\r");
    r.backend.stop_at(t + 1);
    r.run();
    EXPECT_EQ(r.how, run_end::stopped);
    EXPECT_EQ(r.backend.exit_code(), 0);
    EXPECT_EQ(count_colour(r.screen, 0, 0, 336, 639, 349), 640 * 14);
}

TEST(whole_run, a_key_waiting_when_the_drawing_ends_ends_the_wait_and_the_prompt_wants_a_new_one) {
    whole_run r;
    const double t = r.backend.type_at(0.5, "24\r");
    r.backend.type_at(t, "4\rab", 0);  // "a" and "b" are typed ahead
    r.backend.key_at(t + 10, "c");
    r.run();
    EXPECT_EQ(r.how, run_end::end_prompt);
    EXPECT_GE(r.backend.now(), t + 10);  // "b" was discarded by the prompt
}

TEST(whole_run, pause_in_the_final_wait_swallows_the_key_that_ends_it) {
    whole_run r;
    double t = r.backend.type_at(0.5, "24\r4\r");
    r.backend.pause_at(t + 1);
    r.backend.key_at(t + 3, "p");   // ends the pause, taken by no one
    r.backend.key_at(t + 5, "w");   // ends the final wait
    r.backend.key_at(t + 7, "e");   // ends the prompt
    r.run();
    EXPECT_EQ(r.how, run_end::end_prompt);
    EXPECT_GE(r.backend.now(), t + 7);
}

TEST(whole_run, main_module_runs_from_the_first_step_to_the_end) {
    screen::headless_platform backend;
    screen::screen_layer screen{backend};
    double t = backend.type_at(0.5, "24\r4\r");
    backend.key_at(t + 1, "x").key_at(t + 2, "y");
    EXPECT_EQ(screen.run([&] { winding::main_module(screen); }), run_end::end_prompt);
    EXPECT_EQ(backend.exit_code(), 0);
    EXPECT_EQ(row_mismatch(screen, 3, 43, " 6 ", 11), "");
}

}  // namespace
