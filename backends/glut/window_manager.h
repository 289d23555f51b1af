// Whether a window manager places windows on this display: the window
// thread asks once, before the window opens.
#pragma once

#include <X11/Xlib.h>

namespace screen {

// A running window manager shows a check window that names itself; a dead
// one's leftover property names a window that is gone.
bool window_manager_running(Display* display);

}  // namespace screen
