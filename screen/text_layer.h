// The 80x25 text layer over the picture: cursor, printing, print zones and
// the scrolling text window (rows 1 to 24).
#pragma once

#include <cstdint>
#include <string_view>

#include "screen/framebuffer.h"

namespace screen {

constexpr int text_rows = 25;
constexpr int text_columns = 80;
constexpr int text_window_rows = 24;
constexpr int cell_width = 8;
constexpr int cell_height = 14;

class text_layer {
public:
    // Cursor home, no line end pending.
    void reset();
    void move_to(int row, int column);
    int row() const { return row_; }
    // The column the next character goes to (80 while a line end is pending).
    int column() const { return line_end_pending() ? text_columns : column_; }
    bool line_end_pending() const { return column_ > text_columns; }

    // Prints at the cursor; a character after column 80 first ends the line.
    void print(framebuffer& fb, std::string_view text, std::uint8_t foreground);
    void line_end(framebuffer& fb);
    // New line first when the item would run past column 80.
    void wrap_before_print(framebuffer& fb, std::size_t length);
    // Blanks up to the next print zone (15, 29, 43, 57, else 80), or the
    // pending line end.
    void next_zone(framebuffer& fb, std::uint8_t foreground);

    // Fills one 8x14 cell: glyph in the foreground, the rest in colour 0.
    static void draw_cell(framebuffer& fb, int row, int column, unsigned char ch,
                          std::uint8_t foreground);

private:
    int row_ = 1;
    int column_ = 1;  // text_columns + 1 means a line end is pending
};

}  // namespace screen
