#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "screen_test_support.h"

namespace screen {
namespace {

using screen_test::cell_shows;
using screen_test::count_colour;
using screen_test::headless_screen;
using screen_test::row_mismatch;

struct zone_case {
    int from_column;
    int to_row, to_column;
};

TEST(print_zone, advances_to_15_29_43_57_else_80) {
    const std::vector<zone_case> cases = {
        {1, 5, 15},  {13, 5, 15}, {14, 5, 15}, {15, 5, 29}, {28, 5, 29}, {41, 5, 43},
        {43, 5, 57}, {56, 5, 57}, {57, 5, 80}, {58, 5, 80}, {78, 5, 80}, {79, 5, 80},
    };
    for (const auto& c : cases) {
        headless_screen h;
        h.screen.set_text_position(5, c.from_column);
        h.screen.print_next_zone();
        EXPECT_EQ(h.screen.cursor_row(), c.to_row) << c.from_column;
        EXPECT_EQ(h.screen.cursor_column(), c.to_column) << c.from_column;
    }
}

TEST(print_zone, stops_on_column_80_with_no_line_end) {
    headless_screen h;
    h.screen.set_text_position(3, 58);
    h.screen.print_next_zone();
    h.screen.print_string("x", false);
    EXPECT_TRUE(cell_shows(h.screen, 3, 80, 'x', 15));
    EXPECT_EQ(h.screen.cursor_row(), 3);
}

TEST(print_zone, from_column_80_the_blank_fills_it_and_the_next_print_starts_a_line) {
    headless_screen h;
    h.screen.set_text_position(3, 80);
    h.screen.print_next_zone();
    h.screen.print_string("y", false);
    EXPECT_TRUE(cell_shows(h.screen, 4, 1, 'y', 15));
}

TEST(print_zone, performs_a_pending_line_end_instead) {
    headless_screen h;
    h.screen.set_text_position(3, 79);
    h.screen.print_string("ab", false);  // column 80 filled: line end pending
    h.screen.print_next_zone();
    EXPECT_EQ(h.screen.cursor_row(), 4);
    EXPECT_EQ(h.screen.cursor_column(), 1);
}

struct wrap_case {
    int column;
    std::size_t length;
    bool wraps;
};

TEST(wrap_before_print, new_line_when_the_item_would_run_past_column_80) {
    const std::vector<wrap_case> cases = {
        {72, 9, false},  // " 1.666667" with its blank would need 10
        {72, 10, true},  {80, 1, false}, {80, 2, true}, {1, 200, false}, {2, 79, false}, {2, 80, true},
    };
    for (const auto& c : cases) {
        headless_screen h;
        h.screen.set_text_position(3, c.column);
        h.screen.wrap_before_print(c.length);
        EXPECT_EQ(h.screen.cursor_row(), c.wraps ? 4 : 3) << c.column << " " << c.length;
        EXPECT_EQ(h.screen.cursor_column(), c.wraps ? 1 : c.column) << c.column << " " << c.length;
    }
}

TEST(wrap_before_print, no_new_line_while_a_line_end_is_pending) {
    headless_screen h;
    h.screen.set_text_position(3, 80);
    h.screen.print_string("z", false);
    h.screen.wrap_before_print(5);
    h.screen.print_string("w", false);
    EXPECT_TRUE(cell_shows(h.screen, 4, 1, 'w', 15));  // one line end, not two
}

TEST(print_string, fills_whole_cells_over_graphics) {
    headless_screen h;
    h.screen.draw_line(0, 30, 639, 30, 12);
    h.screen.set_text_position(3, 10);
    h.screen.set_colour(11);
    h.screen.print_string("24", false);
    EXPECT_TRUE(cell_shows(h.screen, 3, 10, '2', 11));
    EXPECT_TRUE(cell_shows(h.screen, 3, 11, '4', 11));
    EXPECT_EQ(h.screen.pixel(95, 30), 12);  // the line outside the cells stays
}

TEST(print_string, a_full_line_and_its_line_end_advance_one_row) {
    headless_screen h;
    h.screen.set_text_position(2, 1);
    h.screen.print_string(std::string(80, '-'), true);
    EXPECT_EQ(h.screen.cursor_row(), 3);
    EXPECT_EQ(h.screen.cursor_column(), 1);
}

TEST(print_string, long_text_continues_on_the_next_row) {
    headless_screen h;
    h.screen.set_text_position(7, 78);
    h.screen.print_string("abcde", false);
    EXPECT_EQ(row_mismatch(h.screen, 7, 78, "abc", 15), "");
    EXPECT_EQ(row_mismatch(h.screen, 8, 1, "de", 15), "");
}

TEST(print_string, line_end_from_row_24_scrolls_rows_1_to_24_with_their_graphics) {
    headless_screen h;
    h.screen.draw_line(0, 20, 639, 20, 14);    // in text row 2
    h.screen.draw_line(0, 340, 639, 340, 13);  // in text row 25
    h.screen.set_text_position(24, 1);
    h.screen.print_string("last", true);
    EXPECT_EQ(h.screen.cursor_row(), 24);
    EXPECT_EQ(count_colour(h.screen, 14, 0, 6, 639, 6), 640);
    EXPECT_EQ(count_colour(h.screen, 14, 0, 20, 639, 20), 0);
    EXPECT_EQ(row_mismatch(h.screen, 23, 1, "last", 15), "");
    EXPECT_EQ(count_colour(h.screen, 0, 0, 322, 639, 335), 640 * 14);  // row 24 cleared
    EXPECT_EQ(count_colour(h.screen, 13, 0, 340, 639, 340), 640);      // row 25 untouched
}

TEST(set_text_position, outside_the_screen_is_an_illegal_function_call) {
    const std::vector<std::pair<int, int>> cases = {{0, 1}, {26, 1}, {1, 0}, {1, 81}, {-5, 100}};
    for (auto [row, column] : cases) {
        headless_screen h;
        h.screen.set_text_position(4, 9);
        h.screen.set_text_position(row, column);
        EXPECT_TRUE(h.screen.error_pending()) << row << "," << column;
        EXPECT_EQ(h.screen.cursor_row(), 4);
        EXPECT_EQ(h.screen.cursor_column(), 9);
    }
    headless_screen h;
    h.screen.set_text_position(25, 80);
    EXPECT_FALSE(h.screen.error_pending());
}

}  // namespace
}  // namespace screen
