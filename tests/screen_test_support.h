// A screen layer on the headless backend, and ways to look at its pixels
// and at the errors it reported.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "screen/font_8x14.h"
#include "screen/platform.h"
#include "backends/headless/headless_platform.h"
#include "screen/screen_layer.h"

namespace screen_test {

struct headless_screen {
    screen::headless_platform backend;
    screen::screen_layer screen{backend};
    headless_screen() { screen.set_screen_mode(); }
};

// Step bounds that keep every report.
constexpr int lowest_step = std::numeric_limits<int>::min();
constexpr int highest_step = std::numeric_limits<int>::max();

// The error reports answered so far, in order, by their step numbers or by
// their error numbers; with bounds, only the reports of steps `first_step`
// to `last_step`.
inline std::vector<int> report_numbers(const screen::headless_platform& backend,
                                       int screen::headless_platform::question::*number, int first_step,
                                       int last_step) {
    std::vector<int> numbers;
    for (const auto& q : backend.questions())
        if (q.step_number >= first_step && q.step_number <= last_step) numbers.push_back(q.*number);
    return numbers;
}
inline std::vector<int> reported_steps(const screen::headless_platform& backend, int first_step = lowest_step,
                                       int last_step = highest_step) {
    return report_numbers(backend, &screen::headless_platform::question::step_number, first_step, last_step);
}
inline std::vector<int> reported_errors(const screen::headless_platform& backend, int first_step = lowest_step,
                                        int last_step = highest_step) {
    return report_numbers(backend, &screen::headless_platform::question::error_number, first_step, last_step);
}

// The colour of pixel (x, y), 0..7 by 0..13, of a cell showing `ch` in
// `foreground`: the glyph in the foreground, the rest in colour 0.
inline int glyph_colour(unsigned char ch, int x, int y, int foreground) {
    return (screen::font_8x14[ch][std::size_t(y)] >> (7 - x)) & 1 ? foreground : 0;
}

// The pictures tests look at, each read through pixel_at(x, y): the live
// screen and a snapshot of it, in colour numbers, and a presented frame.
struct live_picture {
    const screen::screen_layer& s;
    int pixel_at(int x, int y) const { return s.pixel(x, y); }
};
struct snapshot_picture {
    const screen::framebuffer& fb;
    int pixel_at(int x, int y) const { return fb.at(x, y); }
};

// Pixel (x, y) of a frame as presented, 0xRRGGBB; a frame with no pixels
// fails the test rather than being read past its end.
inline std::uint32_t frame_pixel(const screen::screen_frame& f, int x, int y) {
    return f.rgb.at(std::size_t(y) * screen::screen_width + std::size_t(x));
}
struct frame_picture {
    const screen::screen_frame& f;
    std::uint32_t pixel_at(int x, int y) const { return frame_pixel(f, x, y); }
};

inline live_picture picture_of(const screen::screen_layer& s) { return {s}; }
inline snapshot_picture picture_of(const screen::framebuffer& fb) { return {fb}; }
inline frame_picture picture_of(const screen::screen_frame& f) { return {f}; }

// What a pixel of the picture `Source` holds.
template <class Source>
using colour_of = decltype(picture_of(std::declval<const Source&>()).pixel_at(0, 0));

// Counts pixels of `colour` in the inclusive rectangle.
template <class Source>
int count_colour(const Source& source, colour_of<Source> colour, int x0, int y0, int x1, int y1) {
    const auto p = picture_of(source);
    int n = 0;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) n += p.pixel_at(x, y) == colour;
    return n;
}

inline int count_set(const screen::screen_layer& s) {
    return screen::screen_width * screen::screen_height -
           count_colour(s, 0, 0, 0, screen::screen_width - 1, screen::screen_height - 1);
}

// A figure drawn over the text: the colour it leaves at pixel (x, y), or -1
// where it leaves the text to show.
using overlay = std::function<int(int x, int y)>;

// The cells of `text` from (row, column) on, each showing its character in
// `foreground` (and `over` over them, when given): empty when they all
// match, else a description of the first cell that does not.
template <class Source>
std::string row_mismatch(const Source& source, int row, int column, const std::string& text, int foreground,
                         const overlay& over = {}) {
    const auto p = picture_of(source);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int c = column + int(i);
        for (int y = 0; y < 14; ++y)
            for (int x = 0; x < 8; ++x) {
                const int px = (c - 1) * 8 + x, py = (row - 1) * 14 + y;
                const int figure = over ? over(px, py) : -1;
                const int want =
                    figure >= 0 ? figure : glyph_colour(static_cast<unsigned char>(text[i]), x, y, foreground);
                if (p.pixel_at(px, py) != colour_of<Source>(want))
                    return std::string("row ")
                        .append(std::to_string(row))
                        .append(" column ")
                        .append(std::to_string(c))
                        .append(" is not '")
                        .append(1, text[i])
                        .append("' in colour ")
                        .append(std::to_string(foreground))
                        .append(" at pixel ")
                        .append(std::to_string(px))
                        .append(",")
                        .append(std::to_string(py));
            }
    }
    return {};
}

// True when the cells from (row, column) on show `text` in `foreground`.
template <class Source>
bool cells_show(const Source& source, int row, int column, const std::string& text, int foreground) {
    return row_mismatch(source, row, column, text, foreground).empty();
}

inline bool cell_shows(const screen::screen_layer& s, int row, int column, unsigned char ch, int foreground) {
    return cells_show(s, row, column, std::string(1, char(ch)), foreground);
}

}  // namespace screen_test
