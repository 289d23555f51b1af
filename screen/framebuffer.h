// The 640x350 picture as colour indices, and the view port that clips drawing.
#pragma once

#include <array>
#include <cstdint>

namespace screen {

constexpr int screen_width = 640;
constexpr int screen_height = 350;

// A rectangle of the screen, inclusive; drawing coordinates are relative to
// its top-left corner.
struct viewport {
    int x0 = 0, y0 = 0, x1 = screen_width - 1, y1 = screen_height - 1;
    bool contains(int x, int y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
};

class framebuffer {
public:
    std::uint8_t at(int x, int y) const { return pixels_[index(x, y)]; }
    void set(int x, int y, std::uint8_t colour) { pixels_[index(x, y)] = colour; }
    // Fills the inclusive rectangle, which must lie on the screen.
    void fill(int x0, int y0, int x1, int y1, std::uint8_t colour);
    // Moves pixel rows [top + lines, bottom] up by `lines` and clears the
    // freed rows at the bottom.
    void scroll_up(int top, int bottom, int lines, std::uint8_t fill_colour);
    const std::array<std::uint8_t, screen_width * screen_height>& pixels() const { return pixels_; }

private:
    static std::size_t index(int x, int y) { return std::size_t(y) * screen_width + std::size_t(x); }
    std::array<std::uint8_t, screen_width * screen_height> pixels_{};
};

}  // namespace screen
