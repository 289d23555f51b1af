// Pause and Ctrl+Break, which freeglut does not report: a second Xlib
// connection selects key presses on the same window and watches for them
// on a thread of its own, which calls on_pause and on_break. Made and
// destroyed on the window thread; needs XInitThreads before any other Xlib
// call.
#pragma once

#include <functional>
#include <thread>

#include "backends/glut/wake_up.h"

namespace screen {

class x11_break_keys {
public:
    // Starts watching `window` (an X window id); does nothing when the
    // display cannot be opened.
    x11_break_keys(unsigned long window, std::function<void()> on_pause, std::function<void()> on_break);
    ~x11_break_keys();
    x11_break_keys(const x11_break_keys&) = delete;
    x11_break_keys& operator=(const x11_break_keys&) = delete;

private:
    void watch();

    void* display_ = nullptr;  // Display*, kept out of this header
    wake_up stop_;
    std::function<void()> on_pause_, on_break_;
    std::thread thread_;
};

}  // namespace screen
