// The window backend: freeglut for the window and its events, GLEW for the
// GL entry points, Xlib for what freeglut does not report. run drives the
// window on the process's main thread (the window thread) and the program
// on a thread of its own, which makes the platform calls. Its parts: the
// geometry (window_geometry), the GL picture (gl_picture), the keys
// (scan_codes, x11_break_keys), the question (yes_no_dialog), the wake-ups
// of sleeping threads (wake_up).
//
// What it implements:
//  [x] the 640x350 frame as a texture over the window, linear filtering,
//      pixel for pixel at 1:1; a redraw only when a newer frame exists
//  [x] the refresh step (publish_frame_if_changed) on a 32 ms beat on the
//      window thread, which sleeps until X input, a change of the picture
//      or a frame handed over: no wake-ups while nothing changes
//  [x] the title and the resize mode carried by the frame; a title set
//      before the window opens is the one it opens with
//  [x] resizing stretches the picture and pulls the window back to 640:350;
//      letterboxed where the window manager refuses (maximised, full screen)
//  [x] Alt+Enter: windowed -> full screen letterboxed -> full screen filled
//  [x] keys into the buffer: characters as themselves (Return 13,
//      Backspace 8, Escape 27), extended keys as zero + PC scan code,
//      modifier keys alone as nothing
//  [x] Pause -> pause_key, Ctrl+Break -> stop_request (second Xlib connection)
//  [x] the close box -> stop_request, then the process ends with code 0
//  [x] the program thread sleeps until its deadline or until the core
//      wakes it for a key, Pause, Break or the close box: no wake-ups while
//      the program waits, and every wait answers at once
//  [x] the Yes/No question as an X window of its own (yes_no_dialog)
//  [x] exit code 1 without a display or without a double-buffered RGBA
//      window with a depth buffer, before any window opens; without
//      OpenGL 1.2 once the window has opened
//  [x] frames handed over, uploaded and redrawn counted; with
//      WINDING_BENCH_COUNTERS=1 in the environment at the start, printed to
//      stderr on SIGUSR1 and at the end (the window bench's figures);
//      otherwise nothing printed and SIGUSR1 left alone
//
// What the platform cannot give:
//  [ ] a veto of the close box: freeglut destroys the window first, so the
//      program is stopped after the window has gone
//  [ ] the relative order of Pause/Break and ordinary keys typed within a
//      few milliseconds of each other: they arrive on two X connections
//  [ ] Alt+letter and Shift/Ctrl/Alt+function-key scan codes: such keys
//      come in as the plain character or the plain scan code
#pragma once

#include <functional>
#include <memory>

#include "screen/platform.h"

namespace screen {

class glut_platform final : public platform {
public:
    glut_platform();
    ~glut_platform() override;
    glut_platform(const glut_platform&) = delete;
    glut_platform& operator=(const glut_platform&) = delete;

    // Opens the window, runs `program` on a program thread of its own and
    // drives the window until the process is to end; returns the exit code.
    // Call it once, on the process's main thread, after the core has
    // attached itself; `program` runs the program through the core.
    int run(const std::function<void()>& program);

    // ---- platform ----
    void attach(core_link& core) override;
    double clock_seconds() override;
    void sleep_until(std::optional<double> deadline) override;
    void wake_program() override;
    bool ask_yes_no(const std::string& title, const std::string& text) override;
    void present_frame(const screen_frame& frame) override;
    void picture_changed() override;
    void end_process(int exit_code) override;

    struct state;

private:
    std::unique_ptr<state> s_;
};

}  // namespace screen
