// A screen layer on the headless backend, and ways to look at its pixels.
#pragma once

#include <functional>
#include <string>

#include "screen/font_8x14.h"
#include "screen/headless_platform.h"
#include "screen/screen_layer.h"

namespace screen_test {

struct headless_screen {
    screen::headless_platform backend;
    screen::screen_layer screen{backend};
    headless_screen() { screen.set_screen_mode(); }
};

// Counts pixels of `colour` in the inclusive rectangle.
inline int count_colour(const screen::screen_layer& s, int colour, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) n += s.pixel(x, y) == colour;
    return n;
}

inline int count_set(const screen::screen_layer& s) {
    return screen::screen_width * screen::screen_height -
           count_colour(s, 0, 0, 0, screen::screen_width - 1, screen::screen_height - 1);
}

// True when text cell (row, column) shows `ch` in `foreground` on colour 0.
inline bool cell_shows(const screen::screen_layer& s, int row, int column, unsigned char ch, int foreground) {
    const auto& glyph = screen::font_8x14[ch];
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 8; ++x) {
            const int want = (glyph[std::size_t(y)] >> (7 - x)) & 1 ? foreground : 0;
            if (s.pixel((column - 1) * 8 + x, (row - 1) * 14 + y) != want) return false;
        }
    return true;
}

// The columns of `text` from `column` on, each as cell_shows; empty when
// they all match, else a description of the first cell that does not.
inline std::string row_mismatch(const screen::screen_layer& s, int row, int column, const std::string& text,
                                int foreground) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!cell_shows(s, row, column + int(i), static_cast<unsigned char>(text[i]), foreground))
            return "row " + std::to_string(row) + " column " + std::to_string(column + int(i)) + " is not '" +
                   text[i] + "' in colour " + std::to_string(foreground);
    return {};
}

}  // namespace screen_test
