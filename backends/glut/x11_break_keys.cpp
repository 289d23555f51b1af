#include "backends/glut/x11_break_keys.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

namespace screen {

x11_break_keys::x11_break_keys(unsigned long window, std::function<void()> on_pause, std::function<void()> on_break)
    : on_pause_(std::move(on_pause)), on_break_(std::move(on_break)) {
    Display* d = XOpenDisplay(nullptr);
    if (!d) return;
    if (!stop_.ok()) {
        XCloseDisplay(d);
        return;
    }
    display_ = d;
    // Key presses may be selected by any number of clients; freeglut keeps its own.
    XSelectInput(d, window, KeyPressMask);
    XFlush(d);
    thread_ = std::thread([this] { watch(); });
}

x11_break_keys::~x11_break_keys() {
    if (!display_) return;
    stop_.signal();
    thread_.join();
    XCloseDisplay(static_cast<Display*>(display_));
}

void x11_break_keys::watch() {
    Display* d = static_cast<Display*>(display_);
    for (;;) {
        while (XPending(d) > 0) {
            XEvent e;
            XNextEvent(d, &e);
            if (e.type != KeyPress) continue;
            // Level 1 of the Pause key is Break in the PC layouts, but only
            // Ctrl counts: Lock and NumLock must not change what the key is.
            const unsigned state = e.xkey.state & (ShiftMask | ControlMask | Mod1Mask);
            const KeySym base = XkbKeycodeToKeysym(d, KeyCode(e.xkey.keycode), 0, 0);
            const KeySym shifted = XkbKeycodeToKeysym(d, KeyCode(e.xkey.keycode), 0, 1);
            const bool pause_key = base == XK_Pause || base == XK_Break || shifted == XK_Break;
            if (!pause_key) continue;
            if (state & ControlMask)
                on_break_();
            else
                on_pause_();
        }
        pollfd fds[2] = {{ConnectionNumber(d), POLLIN, 0}, {stop_.fd(), POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) continue;
        if (fds[1].revents) return;
    }
}

}  // namespace screen
