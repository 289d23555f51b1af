// Where the 640x350 picture goes in the window, and the window shape that
// keeps 640:350: plain arithmetic, no GL. The window thread uses it.
#pragma once

#include "screen/platform.h"

namespace screen {

// Alt+Enter steps through these in order.
enum class screen_fill { windowed, full_letterboxed, full_filled };

// A rectangle of window pixels, counted from the top-left corner.
struct rect {
    int x, y, w, h;
    bool operator==(const rect&) const = default;
};

// The height that keeps 640:350 at this width, and the width at this
// height, each rounded to the nearest pixel.
int fitting_height(int width);
int fitting_width(int height);

// Where the picture goes in a window of w x h pixels: the whole window when
// full_filled; 1:1 and centred in a window without scaling; otherwise as
// large as fits at 640:350, centred, the short side deciding.
rect picture_rect(int w, int h, resize_scaling scaling, screen_fill fill);

}  // namespace screen
