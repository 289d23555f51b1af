#include "screen/text_layer.h"

#include <array>

#include "screen/font_8x14.h"

namespace screen {

void text_layer::reset() { move_to(1, 1); }

void text_layer::move_to(int row, int column) {
    row_ = row;
    column_ = column;
}

void text_layer::draw_cell(framebuffer& fb, int row, int column, unsigned char ch,
                           std::uint8_t foreground) {
    const auto& glyph = font_8x14[ch];
    const int x0 = (column - 1) * cell_width, y0 = (row - 1) * cell_height;
    for (int y = 0; y < cell_height; ++y)
        for (int x = 0; x < cell_width; ++x)
            fb.set(x0 + x, y0 + y, (glyph[std::size_t(y)] >> (7 - x)) & 1 ? foreground : 0);
}

void text_layer::line_end(framebuffer& fb) {
    column_ = 1;
    if (row_ == text_window_rows) {
        fb.scroll_up(0, text_window_rows * cell_height - 1, cell_height, 0);
    } else if (row_ < text_window_rows) {
        ++row_;
    }
}

void text_layer::print(framebuffer& fb, std::string_view text, std::uint8_t foreground) {
    for (char c : text) {
        if (line_end_pending()) line_end(fb);
        draw_cell(fb, row_, column_, static_cast<unsigned char>(c), foreground);
        ++column_;
    }
}

void text_layer::wrap_before_print(framebuffer& fb, std::size_t length) {
    if (column_ != 1 && !line_end_pending() && std::size_t(column_ - 1) + length > text_columns)
        line_end(fb);
}

void text_layer::next_zone(framebuffer& fb, std::uint8_t foreground) {
    if (line_end_pending()) {
        line_end(fb);
        return;
    }
    print(fb, " ", foreground);
    if (line_end_pending()) return;
    constexpr std::array<int, 4> zone_starts = {15, 29, 43, 57};
    int target = text_columns;
    for (int z : zone_starts) {
        if (z >= column_) {
            target = z;
            break;
        }
    }
    while (column_ < target) print(fb, " ", foreground);
}

}  // namespace screen
