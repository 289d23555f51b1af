#include "backends/glut/window_geometry.h"

#include "screen/framebuffer.h"

namespace screen {

int fitting_height(int width) { return (width * screen_height + screen_width / 2) / screen_width; }

int fitting_width(int height) { return (height * screen_width + screen_height / 2) / screen_height; }

rect picture_rect(int w, int h, resize_scaling scaling, screen_fill fill) {
    if (fill == screen_fill::full_filled) return {0, 0, w, h};
    if (scaling == resize_scaling::none && fill == screen_fill::windowed)
        return {(w - screen_width) / 2, (h - screen_height) / 2, screen_width, screen_height};
    if (long(w) * screen_height <= long(h) * screen_width) {
        const int ph = fitting_height(w);
        return {0, (h - ph) / 2, w, ph};
    }
    const int pw = fitting_width(h);
    return {(w - pw) / 2, 0, pw, h};
}

}  // namespace screen
