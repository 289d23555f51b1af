// The 640x350 frame as a GL texture drawn as one quad over its place in the
// window. The window thread uses it, with the window's GL context current.
#pragma once

#include "backends/glut/window_geometry.h"
#include "screen/platform.h"

namespace screen {

class gl_picture {
public:
    // Once, after the GL context exists: the texture and the projection.
    void set_up();
    // The frame's pixels into the texture.
    void upload(const screen_frame& frame);
    // Clears a window of w x h pixels to black and draws the picture at `r`,
    // smoothly filtered or pixel by pixel; the caller swaps the buffers.
    void draw(int w, int h, rect r, bool smooth);

private:
    unsigned texture_ = 0;  // a GLuint
};

}  // namespace screen
