#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "screen/keyboard_buffer.h"
#include "screen/number_entry.h"
#include "screen_test_support.h"

namespace screen {
namespace {

using screen_test::cell_shows;
using screen_test::count_colour;
using screen_test::count_set;
using screen_test::frame_pixel;
using screen_test::headless_screen;
using screen_test::reported_steps;
using screen_test::row_mismatch;

// ---- palette ----

TEST(screen_palette, default_colours_and_the_dark_blue_background) {
    const screen_palette p = default_palette();
    const screen_palette standard = {0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA,
                                     0xAA5500, 0xAAAAAA, 0x555555, 0x5555FF, 0x55FF55, 0x55FFFF,
                                     0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF};
    EXPECT_EQ(p, standard);
    headless_screen h;
    EXPECT_EQ(h.screen.pixel_rgb(300, 300), 0x000000u);
    h.screen.set_colour(3, 8);
    EXPECT_EQ(h.screen.pixel_rgb(300, 300), 0x000055u);  // colour 0 shows dark blue everywhere
    EXPECT_EQ(h.screen.palette()[3], 0x00AAAAu);
    h.screen.set_colour(15);  // a foreground alone keeps the background
    EXPECT_EQ(h.screen.palette()[0], 0x000055u);
}

TEST(set_colour, out_of_range_is_an_illegal_function_call) {
    for (auto [fg, bg] : std::vector<std::pair<int, int>>{{16, 8}, {-1, 8}, {3, 64}, {3, -1}}) {
        headless_screen h;
        h.screen.set_colour(fg, bg);
        EXPECT_TRUE(h.screen.error_pending()) << fg << " " << bg;
        EXPECT_EQ(h.screen.foreground(), 15);
        EXPECT_EQ(h.screen.palette()[0], 0u);
    }
}

// ---- view port and clearing ----

struct viewport_case {
    int x1, y1, x2, y2;
    bool accepted;
};

TEST(set_viewport, a_corner_off_the_screen_is_an_illegal_function_call) {
    const std::vector<viewport_case> cases = {
        {0, 30, 31, 349, true},  {613, 30, 639, 349, true}, {0, 0, 639, 349, true},
        {31, 349, 0, 30, true},  // corners given the other way round
        {0, 30, -1, 349, false}, {642, 30, 639, 349, false}, {0, 30, 31, 350, false},
        {0, -1, 31, 349, false}, {640, 0, 640, 0, false},
    };
    for (const auto& c : cases) {
        headless_screen h;
        h.screen.set_viewport(10, 20, 30, 40);
        h.screen.set_viewport(c.x1, c.y1, c.x2, c.y2);
        EXPECT_EQ(h.screen.error_pending(), !c.accepted);
        const viewport v = h.screen.active_viewport();
        // Each corner: an accepted view port runs from its smaller to its
        // larger coordinates; a refused one leaves the last one as it was.
        const std::array<int, 4> want = c.accepted ? std::array<int, 4>{std::min(c.x1, c.x2), std::min(c.y1, c.y2),
                                                                         std::max(c.x1, c.x2), std::max(c.y1, c.y2)}
                                                   : std::array<int, 4>{10, 20, 30, 40};
        EXPECT_EQ((std::array<int, 4>{v.x0, v.y0, v.x1, v.y1}), want)
            << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
    }
}

TEST(clear_screen, clears_the_active_view_port_only) {
    headless_screen h;
    h.screen.draw_line(0, 100, 639, 100, 14);
    h.screen.set_viewport(613, 30, 639, 349);
    h.screen.clear_screen();
    EXPECT_EQ(count_colour(h.screen, 14, 0, 100, 639, 100), 613);
    h.screen.set_viewport(0, 0, 639, 349);
    h.screen.draw_line(0, 0, 0, 0, 14);
    EXPECT_EQ(h.screen.pixel(0, 0), 14);  // the origin is the screen's corner again
}

// ---- keyboard ----

TEST(read_key, buffer_holds_15_entries_oldest_first) {
    headless_screen h;
    for (int i = 0; i < 20; ++i) h.screen.key_typed(std::string(1, char('a' + i)));
    for (int i = 0; i < 15; ++i) EXPECT_EQ(h.screen.read_key(), std::string(1, char('a' + i)));
    EXPECT_EQ(h.screen.read_key(), "");
}

TEST(read_key, extended_keys_are_a_zero_and_the_scan_code) {
    headless_screen h;
    h.screen.key_typed(std::string("\0H", 2));
    h.screen.key_typed("+");
    const std::string up = h.screen.read_key();
    ASSERT_EQ(up.size(), 2u);
    EXPECT_EQ(up[0], '\0');
    EXPECT_EQ(up[1], 'H');
    EXPECT_EQ(h.screen.read_key(), "+");
}

TEST(read_key, never_waits) {
    headless_screen h;
    h.backend.key_at(100, "z");
    const double before = h.backend.now();
    EXPECT_EQ(h.screen.read_key(), "");
    EXPECT_LT(h.backend.now() - before, 0.01);
}

TEST(read_key, only_an_empty_read_right_after_an_empty_read_sleeps_and_then_until_a_key) {
    headless_screen h;
    h.backend.key_at(100, "z");
    h.screen.read_key();
    h.screen.draw_line(0, 0, 1, 1);
    h.screen.read_key();  // an operation came between: a poll, not a polling loop
    h.screen.delay_seconds(0);
    h.screen.read_key();
    EXPECT_TRUE(h.backend.sleeps().empty());
    EXPECT_EQ(h.screen.read_key(), "");  // a polling loop: asleep until the key
    ASSERT_EQ(h.backend.sleeps().size(), 1u);
    EXPECT_EQ(h.backend.now(), 100);
    EXPECT_TRUE(h.backend.sleeps()[0].woken);
    EXPECT_EQ(h.screen.read_key(), "z");
    h.screen.read_key();
    h.screen.key_typed("k");
    EXPECT_EQ(h.screen.read_key(), "k");  // a key is never held back
    EXPECT_EQ(h.backend.sleeps().size(), 1u);
}

// ---- number entry ----

struct entry_case {
    const char* name;
    std::string keys;
    float value;
    std::string echo;
};

TEST(input_values, editing_and_refusal_of_characters_that_cannot_continue_a_number) {
    const std::vector<entry_case> cases = {
        {"plain", "24\r", 24, "24"},
        {"letters refused", "2x4\r", 24, "24"},
        {"second point refused", "1.5.2\r", 1.52f, "1.52"},
        {"sign only first", "--3-\r", -3, "-3"},
        {"exponent", "1e3\r", 1000, "1e3"},
        {"exponent that overflows a float refused", "1e39\r", 1000, "1e3"},
        {"exponent needs a mantissa digit", "e5\r", 5, "5"},
        {"leading point", ".5\r", 0.5f, ".5"},
        {"empty is 0", "\r", 0, ""},
        {"sign alone is 0", "-\r", 0, "-"},
        {"backspace", "12\b3\r", 13, "13"},
        {"backspace on empty", "\b\b5\r", 5, "5"},
        {"extended keys ignored", std::string("7\0H8\r", 5), 78, "78"},
        {"escape ignored", "9\x1b\r", 9, "9"},
    };
    for (const auto& c : cases) {
        headless_screen h;
        h.backend.type_at(0.1, c.keys);
        h.screen.set_colour(14, 8);
        h.screen.set_text_position(3, 10);
        float value = -77;
        EXPECT_FALSE(h.screen.input_values(value)) << c.name;
        EXPECT_EQ(value, c.value) << c.name;
        EXPECT_EQ(row_mismatch(h.screen, 3, 10, c.echo + "  ", 14), "") << c.name;
        EXPECT_EQ(h.screen.cursor_row(), 4) << c.name;
        EXPECT_EQ(h.screen.cursor_column(), 1) << c.name;
    }
}

TEST(input_values, a_number_too_large_for_a_float_is_refused_digit_by_digit) {
    headless_screen h;
    h.backend.type_at(0.1, std::string(45, '9') + "\r");
    h.screen.set_text_position(5, 1);
    float value = 0;
    h.screen.input_values(value);
    EXPECT_TRUE(std::isfinite(value));
    EXPECT_GT(value, 9e37f);
    EXPECT_TRUE(number_entry_accepts("", '-'));
    EXPECT_FALSE(number_entry_accepts("1", '+'));
    EXPECT_TRUE(number_entry_accepts("1E", '+'));
}

TEST(input_values, echo_stops_before_the_last_column) {
    headless_screen h;
    h.backend.type_at(0.1, std::string(20, '1') + "\r");
    h.screen.set_text_position(3, 70);
    float value = 0;
    h.screen.input_values(value);
    EXPECT_EQ(value, 1111111111.0f);  // columns 70..79: ten digits
    EXPECT_EQ(h.screen.cursor_row(), 4);
}

TEST(input_values, shows_a_block_cursor_in_the_frame_only_while_waiting) {
    headless_screen h;
    h.screen.set_colour(14, 8);
    h.screen.set_text_position(3, 10);
    h.backend.type_at(0.1, "5");
    h.backend.stop_at(0.5);
    screen_frame during;
    h.backend.on_each_wait([&](double now) {
        if (now >= 0.3 && during.rgb.empty()) during = h.screen.make_frame();
    });
    float value = 1;
    EXPECT_TRUE(h.screen.input_values(value));  // ended by the stop request
    EXPECT_EQ(value, 1);                         // and stores nothing
    ASSERT_FALSE(during.rgb.empty());
    // Column 11 of row 3 (after the echoed 5) is a block in the foreground.
    for (int y = 28; y < 42; ++y)
        for (int x = 80; x < 88; ++x) EXPECT_EQ(frame_pixel(during, x, y), 0xFFFF55u) << x << "," << y;
    const screen_frame after = h.screen.make_frame();
    EXPECT_EQ(frame_pixel(after, 84, 35), 0x000055u);
    EXPECT_EQ(h.screen.pixel(84, 35), 0);  // never part of the picture itself
    EXPECT_TRUE(cell_shows(h.screen, 3, 10, '5', 14));
}

// ---- errors and the event check ----

TEST(runtime_errors, stay_pending_block_later_operations_and_the_first_one_wins) {
    headless_screen h;
    h.backend.answer(true);
    h.screen.set_viewport(-1, 0, 10, 10);  // error 5
    h.screen.raise_error(9);               // ignored
    h.screen.draw_line(0, 0, 100, 0, 15);
    h.screen.print_string("x", false);
    h.screen.set_colour(4);
    EXPECT_EQ(count_set(h.screen), 0);
    EXPECT_EQ(h.screen.foreground(), 15);
    ASSERT_TRUE(h.screen.event_pending());
    h.screen.step_event_check(436);
    ASSERT_EQ(h.backend.questions().size(), 1u);
    const auto& q = h.backend.questions()[0];
    EXPECT_EQ(q.title, "Unhandled Error #5");
    EXPECT_EQ(q.text, "Line:436\nIllegal function call\nContinue?");
    EXPECT_EQ(q.error_number, 5);
    EXPECT_EQ(q.step_number, 436);
    // Yes: cleared, and operations work again.
    EXPECT_FALSE(h.screen.error_pending());
    EXPECT_FALSE(h.screen.event_pending());
    h.screen.draw_line(0, 0, 100, 0, 15);
    EXPECT_EQ(count_set(h.screen), 101);
}

TEST(runtime_errors, messages) {
    EXPECT_EQ(error_report_text(9, 92), "Line:92\nSubscript out of range\nContinue?");
    EXPECT_EQ(error_report_text(6, 249), "Line:249\nOverflow\nContinue?");
    EXPECT_EQ(error_report_title(6), "Unhandled Error #6");
}

TEST(runtime_errors, no_ends_the_process_at_once_with_exit_code_0) {
    headless_screen h;
    h.backend.answer(false);
    bool went_on = false;
    const run_end how = h.screen.run([&] {
        h.screen.delay_seconds(3e6);
        h.screen.step_event_check(241);
        went_on = true;
    });
    EXPECT_EQ(how, run_end::error_declined);
    EXPECT_FALSE(went_on);
    EXPECT_EQ(h.backend.exit_code(), 0);
    EXPECT_EQ(h.backend.end_process_calls(), 1);
    EXPECT_EQ(reported_steps(h.backend), std::vector<int>{241});
}

// ---- delays, pause and stop ----

TEST(delay_seconds, accepts_0_to_2147483_647_seconds) {
    const std::vector<std::pair<double, bool>> cases = {
        {0, true}, {1, true}, {2147483.647, true}, {2147483.6470001, false}, {4194304, false}, {-1, false},
        {std::numeric_limits<double>::quiet_NaN(), false}, {std::numeric_limits<double>::infinity(), false},
    };
    for (const auto& [delay, accepted] : cases) {
        const double seconds = delay;  // clang 14 cannot capture a structured binding
        headless_screen h;
        h.backend.stop_at(2);  // a long delay is accepted once it starts waiting
        const double before = h.backend.now();
        h.screen.run([&] { h.screen.delay_seconds(seconds); });
        EXPECT_EQ(h.screen.error_pending(), !accepted) << seconds;
        if (!accepted) {
            EXPECT_EQ(h.backend.now(), before) << seconds;  // and waits not at all
        }
    }
}

TEST(delay_seconds, waits_its_time_on_the_clock) {
    headless_screen h;
    h.screen.delay_seconds(1.0);
    EXPECT_NEAR(h.backend.now(), 1.0, 1e-9);
    h.screen.delay_seconds(0);
    EXPECT_NEAR(h.backend.now(), 1.0, 1e-9);
}

TEST(delay_seconds, a_stop_request_ends_the_program_at_once) {
    headless_screen h;
    h.backend.stop_at(0.5);
    const run_end how = h.screen.run([&] { h.screen.delay_seconds(100); });
    EXPECT_EQ(how, run_end::stopped);
    EXPECT_EQ(h.backend.now(), 0.5);
    EXPECT_EQ(h.backend.exit_code(), 0);
}

TEST(pause, holds_the_program_at_its_next_check_and_swallows_the_key_that_ends_it) {
    headless_screen h;
    h.backend.pause_at(0.2).key_at(5.0, "q").key_at(6.0, "r");
    h.screen.delay_seconds(1.0);  // paused from 0.2 to 5.0 inside the delay
    EXPECT_EQ(h.backend.now(), 5.0);
    h.screen.delay_seconds(2.0);
    EXPECT_EQ(h.screen.read_key(), "r");  // "q" only ended the pause
    EXPECT_EQ(h.screen.read_key(), "");
}

TEST(pause, at_a_step_event_check) {
    headless_screen h;
    h.screen.pause_key();
    h.backend.key_at(3.0, " ");
    ASSERT_TRUE(h.screen.event_pending());
    h.screen.step_event_check(450);
    EXPECT_EQ(h.backend.now(), 3.0);
    EXPECT_TRUE(h.backend.questions().empty());
    EXPECT_EQ(h.screen.read_key(), "");
}

TEST(stop_request, ends_the_program_thread_at_the_event_check) {
    headless_screen h;
    bool after = false;
    const run_end how = h.screen.run([&] {
        h.screen.stop_request();
        h.screen.step_event_check(12);
        after = true;
    });
    EXPECT_EQ(how, run_end::stopped);
    EXPECT_FALSE(after);
    EXPECT_EQ(h.backend.exit_code(), 0);
}

TEST(halt_program, ends_the_program_and_then_the_process) {
    headless_screen h;
    EXPECT_EQ(h.screen.run([&] { h.screen.halt_program(); }), run_end::halted);
    EXPECT_EQ(h.backend.end_process_calls(), 1);
}

// ---- frames ----

// A window that sleeps until the picture changes relies on hearing of the
// first change after every frame, and on no frame without a change.
TEST(frames, one_per_change_and_the_backend_hears_of_the_first_change_after_each) {
    headless_screen h;
    EXPECT_TRUE(h.screen.publish_frame_if_changed());
    EXPECT_FALSE(h.screen.publish_frame_if_changed());
    const int heard = h.backend.picture_changes();
    h.screen.set_colour(14);               // not visible: no change
    h.screen.set_text_position(3, 4);      // likewise, with no cursor shown
    EXPECT_EQ(h.backend.picture_changes(), heard);
    EXPECT_FALSE(h.screen.publish_frame_if_changed());
    h.screen.draw_line(0, 0, 10, 10);
    h.screen.draw_circle(100, 100, 20);
    h.screen.print_string("A", false);
    EXPECT_EQ(h.backend.picture_changes(), heard + 1);
    EXPECT_TRUE(h.screen.publish_frame_if_changed());
    EXPECT_EQ(h.backend.frames_presented(), 2);
    h.screen.set_window_title("T");
    EXPECT_EQ(h.backend.picture_changes(), heard + 2);
    EXPECT_TRUE(h.screen.publish_frame_if_changed());
    EXPECT_EQ(h.backend.last_frame().title, "T");
}

// ---- the end prompt ----

TEST(end_program, clears_the_bottom_row_prompts_and_waits_for_a_new_key) {
    headless_screen h;
    h.screen.set_colour(11, 8);
    h.screen.draw_line(0, 336, 639, 336, 12);
    h.screen.draw_line(0, 335, 639, 335, 12);
    h.screen.key_typed("x");  // typed before the prompt: discarded
    h.backend.key_at(4.0, "k");
    const run_end how = h.screen.run([&] { h.screen.end_program(); });
    EXPECT_EQ(how, run_end::end_prompt);
    EXPECT_GE(h.backend.now(), 4.0);
    EXPECT_EQ(h.backend.exit_code(), 0);
    EXPECT_EQ(row_mismatch(h.screen, 25, 1, "Press any key to continue ", 11), "");
    EXPECT_EQ(count_colour(h.screen, 12, 0, 336, 639, 336), 0);
    EXPECT_EQ(count_colour(h.screen, 12, 0, 335, 639, 335), 640);  // above the bottom text row
    EXPECT_EQ(frame_pixel(h.backend.last_frame(), 639, 349), 0x000055u);
}

}  // namespace
}  // namespace screen
