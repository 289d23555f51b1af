#include "backends/glut/window_manager.h"

#include <X11/Xatom.h>

#include <cstring>

namespace screen {

bool window_manager_running(Display* display) {
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    const auto named_window = [&](Window w) -> Window {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        Window named = None;
        if (XGetWindowProperty(display, w, check, 0, 1, False, XA_WINDOW, &type, &format, &count, &after, &data) ==
                Success &&
            type == XA_WINDOW && format == 32 && count == 1)
            std::memcpy(&named, data, sizeof named);  // format 32 comes as longs
        if (data) XFree(data);
        return named;
    };
    // A stale check window's BadWindow must not end the program; no other
    // thread speaks X yet, so the process-wide handler may change briefly.
    XSync(display, False);
    const XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    const Window wm = named_window(DefaultRootWindow(display));
    const bool running = wm != None && named_window(wm) == wm;
    XSync(display, False);
    XSetErrorHandler(previous);
    return running;
}

}  // namespace screen
