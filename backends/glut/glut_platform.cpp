#include "backends/glut/glut_platform.h"

// GLEW must come before any other GL header.
#include <GL/glew.h>
#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <string_view>
#include <thread>

#include "backends/glut/gl_picture.h"
#include "backends/glut/scan_codes.h"
#include "backends/glut/wake_up.h"
#include "backends/glut/window_geometry.h"
#include "backends/glut/window_manager.h"
#include "backends/glut/x11_break_keys.h"
#include "backends/glut/yes_no_dialog.h"
#include "screen/framebuffer.h"

namespace screen {
namespace {

using clock_type = std::chrono::steady_clock;

// The refresh step: a changed picture becomes a frame at most this often.
// The window thread sleeps while nothing changes; a wake-up costs about as
// much as the check it would make.
constexpr auto refresh_period = std::chrono::milliseconds(32);
// After the close box the program stops at its next check, well within this.
constexpr auto program_end_patience = std::chrono::seconds(5);

void on_glut_error(const char* format, va_list arguments) {
    std::fputs("winding_scheme: window library: ", stderr);
    std::vfprintf(stderr, format, arguments);
    std::fputc('\n', stderr);
    // freeglut does not come back from here; the program thread may be running.
    std::_Exit(1);
}

}  // namespace

struct glut_platform::state {
    core_link* core = nullptr;
    const clock_type::time_point start = clock_type::now();

    // ---- between the threads ----
    std::mutex frame_mutex;
    screen_frame newest;  // under frame_mutex
    // The window thread's sleep ends on X input or on this: a change of the
    // picture, a frame handed over, the end of the process, the bench asking.
    wake_up wake;
    std::atomic<bool> refresh_wanted{true};
    std::atomic<bool> end_requested{false};
    std::atomic<int> exit_code{0};
    // The program thread's end, and the window's opening and end.
    std::mutex program_mutex;
    std::condition_variable program_cv;
    bool program_done = false;   // under program_mutex
    bool window_gone = false;    // under program_mutex
    unsigned long x_window = 0;  // under program_mutex
    yes_no_dialog dialog;
    // The core's wake-ups of the program thread: a key, Pause, Break or the
    // close box.
    std::mutex wake_mutex;
    std::condition_variable wake_cv;
    bool woken = false;  // under wake_mutex
    // Frames handed over, uploaded, redrawn: always counted, printed only
    // when the bench asks (set at the start of run, before other threads).
    bool counters_wanted = false;
    std::atomic<unsigned long> presented{0};

    // ---- window thread only ----
    gl_picture picture;
    std::uint64_t uploaded_version = 0;
    std::string shown_title;
    resize_scaling scaling = resize_scaling::none;
    screen_fill fill = screen_fill::windowed;
    int width = screen_width, height = screen_height;
    int asked_width = 0, asked_height = 0;  // the last shape asked of the window manager
    bool window_closed = false;  // the close box: freeglut has destroyed the window
    std::unique_ptr<x11_break_keys> break_keys;
    unsigned long uploads = 0, redraws = 0;

    void print_counters(const char* when) const {
        std::fprintf(stderr, "bench-counters %s presented=%lu uploads=%lu redraws=%lu\n", when, presented.load(),
                     uploads, redraws);
    }
};

namespace {

using state = glut_platform::state;

// The glut callbacks' way to the backend (they carry no user data).
state* active = nullptr;

// SIGUSR1 asks for the counters; the window thread wakes and prints them.
volatile std::sig_atomic_t counters_asked = 0;
const wake_up* counters_wake = nullptr;
void on_counters_signal(int) {
    const int interrupted_errno = errno;
    counters_asked = 1;
    counters_wake->signal();
    errno = interrupted_errno;
}

// ---- the window ----

// A newer frame's picture into the texture, then the whole window.
void draw_window(state& s) {
    {
        std::lock_guard lock(s.frame_mutex);
        if (s.newest.version != s.uploaded_version) {
            s.picture.upload(s.newest);
            s.uploaded_version = s.newest.version;
            ++s.uploads;
        }
    }
    s.picture.draw(s.width, s.height, picture_rect(s.width, s.height, s.scaling, s.fill),
                   s.scaling == resize_scaling::stretch_smooth);
    glutSwapBuffers();
    ++s.redraws;
}

// Pulls a resized window back to 640:350: after a change of width the
// height follows, after a change of height alone the width. A shape the
// window manager refused is not asked for again until the window has had
// a fitting shape; the picture is letterboxed meanwhile.
void pull_shape(state& s, int old_width, int old_height) {
    if (s.fill != screen_fill::windowed || s.scaling == resize_scaling::none) return;
    const int w = s.width, h = s.height;
    if (h == fitting_height(w) || w == fitting_width(h)) {
        s.asked_width = s.asked_height = 0;
        return;
    }
    const bool height_alone = w == old_width && h != old_height;
    const int ask_w = height_alone ? fitting_width(h) : w, ask_h = height_alone ? h : fitting_height(w);
    if (ask_w == s.asked_width && ask_h == s.asked_height) return;
    s.asked_width = ask_w;
    s.asked_height = ask_h;
    glutReshapeWindow(ask_w, ask_h);
}

void resized(state& s, int w, int h) {
    const int old_width = s.width, old_height = s.height;
    s.width = w;
    s.height = h;
    pull_shape(s, old_width, old_height);
    glutPostRedisplay();
}

void next_fill(state& s) {
    switch (s.fill) {
        case screen_fill::windowed:
            s.fill = screen_fill::full_letterboxed;
            glutFullScreen();
            break;
        case screen_fill::full_letterboxed: s.fill = screen_fill::full_filled; break;
        case screen_fill::full_filled:
            s.fill = screen_fill::windowed;
            glutLeaveFullScreen();
            break;
    }
    glutPostRedisplay();
}

// ---- callbacks ----

void on_display() { draw_window(*active); }

void on_reshape(int w, int h) { resized(*active, w, h); }

void on_key(unsigned char key, int, int) {
    const int modifiers = glutGetModifiers() & (GLUT_ACTIVE_SHIFT | GLUT_ACTIVE_CTRL | GLUT_ACTIVE_ALT);
    if (key == '\r' && modifiers == GLUT_ACTIVE_ALT) return next_fill(*active);
    active->core->key_typed(character_entry(key));
}

void on_special_key(int key, int, int) {
    if (const std::string entry = special_key_entry(key); !entry.empty()) active->core->key_typed(entry);
}

void on_close() { active->window_closed = true; }

// ---- the window thread's loop ----

// A frame newer than the one shown: its title and scaling now, the picture
// at the next redraw.
void take_newest_frame(state& s) {
    bool newer;
    std::string title;
    resize_scaling scaling;
    {
        std::lock_guard lock(s.frame_mutex);
        newer = s.newest.version != s.uploaded_version;
        title = s.newest.title;
        scaling = s.newest.scaling;
    }
    if (title != s.shown_title) glutSetWindowTitle(title.c_str());
    s.shown_title = title;
    if (scaling != s.scaling) {
        s.scaling = scaling;
        pull_shape(s, s.width, s.height);
        newer = true;
    }
    if (newer) glutPostRedisplay();
}

// Until X input, a wake-up, or `deadline` (none: no deadline).
void sleep_for_events(state& s, Display* display, std::optional<clock_type::time_point> deadline) {
    // Events already read into Xlib's queue do not show on the connection;
    // XPending also sends what is still buffered.
    if (XPending(display)) return;
    int timeout_ms = -1;
    if (deadline) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - clock_type::now());
        timeout_ms = int(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
    }
    pollfd fds[] = {{ConnectionNumber(display), POLLIN, 0}, {s.wake.fd(), POLLIN, 0}};
    poll(fds, 2, timeout_ms);
    s.wake.drain();
}

// freeglut's events and redraws, and the refresh steps on a fixed 32 ms
// beat, skipping the beats with nothing changed; asleep while nothing
// happens. A change is taken at the beat after it, not at once: the program
// is most likely still drawing then, and half a picture would cost a
// second frame.
void run_window_loop(state& s) {
    Display* const display = glXGetCurrentDisplay();
    const auto beat_origin = clock_type::now();
    auto last_beat = beat_origin - refresh_period;
    for (;;) {
        std::optional<clock_type::time_point> deadline;
        if (s.refresh_wanted) {
            const auto now = clock_type::now();
            const auto beat = beat_origin + (now - beat_origin) / refresh_period * refresh_period;
            if (beat > last_beat) {
                // Cleared first: a change from now on asks again.
                s.refresh_wanted = false;
                last_beat = beat;
                s.core->publish_frame_if_changed();
            } else {
                deadline = beat + refresh_period;
            }
        }
        take_newest_frame(s);
        glutMainLoopEvent();
        if (s.window_closed || s.end_requested) return;
        if (counters_asked) {
            counters_asked = 0;
            s.print_counters("now");
        }
        sleep_for_events(s, display, deadline);
    }
}

// ---- the steps of run, on the main thread ----

// freeglut on the X display, which can give the window the picture needs;
// false, said on stderr, when not.
bool open_display() {
    // Mesa's software renderer wakes one helper thread per core for every
    // frame; for one small picture now and then that costs more than the
    // drawing itself. Set before any thread starts; a value of the user's
    // own stands.
    setenv("LP_NUM_THREADS", "0", 0);
    // Three threads speak X: the window thread (freeglut, GL), the Pause and
    // Break watcher and the question window.
    XInitThreads();
    // freeglut's own failure path for a missing display exits or crashes.
    // The connection stays open until freeglut has its own: an X server
    // whose last client leaves resets, and refuses connections meanwhile.
    Display* probe = XOpenDisplay(nullptr);
    if (!probe) {
        const char* name = std::getenv("DISPLAY");
        std::fprintf(stderr, "winding_scheme: cannot open the X display \"%s\"; the program needs a window.\n",
                     name ? name : "");
        return false;
    }
    // Without a window manager nobody places the window, and freeglut's
    // default corner (-1, -1) puts its top row and left column off the
    // screen. Where one runs, its placement stands.
    const bool place_at_origin = !window_manager_running(probe);
    glutInitErrorFunc(on_glut_error);
    int argc = 1;
    char name[] = "winding_scheme";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);  // no command line of ours reaches freeglut
    if (place_at_origin) glutInitWindowPosition(0, 0);
    XCloseDisplay(probe);
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    if (!glutGet(GLUT_DISPLAY_MODE_POSSIBLE)) {
        std::fputs("winding_scheme: the display cannot give a double-buffered RGBA window with a depth buffer.\n",
                   stderr);
        glutExit();
        return false;
    }
    return true;
}

std::thread start_program_thread(state& s, const std::function<void()>& program) {
    return std::thread([&s, &program] {
        program();
        std::lock_guard lock(s.program_mutex);
        s.program_done = true;
        s.program_cv.notify_all();
    });
}

// The window, opening with whatever the program thread has set so far, its
// picture, the Pause and Break watcher and the callbacks; false, said on
// stderr and with freeglut closed, without OpenGL 1.2.
bool open_window(state& s) {
    s.core->publish_frame_if_changed();
    {
        std::lock_guard lock(s.frame_mutex);
        s.shown_title = s.newest.title;
        s.scaling = s.newest.scaling;
    }
    glutInitWindowSize(screen_width, screen_height);
    glutCreateWindow(s.shown_title.c_str());
    if (glewInit() != GLEW_OK || !GLEW_VERSION_1_2) {
        std::fputs("winding_scheme: OpenGL 1.2 is not available on this display.\n", stderr);
        glutExit();
        return false;
    }
    s.picture.set_up();
    const auto x_window = static_cast<unsigned long>(glXGetCurrentDrawable());
    {
        std::lock_guard lock(s.program_mutex);
        s.x_window = x_window;
    }
    s.program_cv.notify_all();
    s.break_keys = std::make_unique<x11_break_keys>(
        x_window, [&s] { s.core->pause_key(); }, [&s] { s.core->stop_request(); });
    if (s.counters_wanted) {
        counters_wake = &s.wake;
        std::signal(SIGUSR1, on_counters_signal);
    }
    glutDisplayFunc(on_display);
    glutReshapeFunc(on_reshape);
    glutKeyboardFunc(on_key);
    glutSpecialFunc(on_special_key);
    glutCloseFunc(on_close);
    return true;
}

void close_window(state& s) {
    s.break_keys.reset();
    glutExit();
}

// The window has gone: after an end request, or the close box, for which the
// program is stopped here. Waits for the program thread to be over; one that
// does not stop ends the process with `code` regardless.
void stop_program(state& s, int code) {
    {
        std::lock_guard lock(s.program_mutex);
        s.window_gone = true;
    }
    s.program_cv.notify_all();
    if (!s.end_requested) {
        s.core->stop_request();
        s.dialog.cancel();
    }
    std::unique_lock lock(s.program_mutex);
    if (!s.program_cv.wait_for(lock, program_end_patience, [&s] { return s.program_done; })) {
        std::fputs("winding_scheme: the program did not stop; ending anyway.\n", stderr);
        std::_Exit(code);
    }
}

}  // namespace

glut_platform::glut_platform() : s_(std::make_unique<state>()) {}
glut_platform::~glut_platform() = default;

int glut_platform::run(const std::function<void()>& program) {
    auto& s = *s_;
    const char* counters = std::getenv("WINDING_BENCH_COUNTERS");
    s.counters_wanted = counters && std::string_view(counters) == "1";
    if (!open_display()) return 1;
    if (!s.wake.ok()) {
        std::fprintf(stderr, "winding_scheme: eventfd: %s\n", std::strerror(s.wake.open_error()));
        glutExit();
        return 1;
    }
    active = &s;
    std::thread program_thread = start_program_thread(s, program);
    const bool window_opened = open_window(s);
    if (window_opened) {
        run_window_loop(s);
        close_window(s);
    }
    stop_program(s, window_opened ? 0 : 1);
    program_thread.join();
    if (s.counters_wanted) s.print_counters("at-exit");
    active = nullptr;
    return window_opened ? s.exit_code.load() : 1;
}

// ---- platform ----

void glut_platform::attach(core_link& core) { s_->core = &core; }

double glut_platform::clock_seconds() {
    return std::chrono::duration<double>(clock_type::now() - s_->start).count();
}

void glut_platform::sleep_until(std::optional<double> deadline) {
    const auto woken = [this] { return s_->woken; };
    std::unique_lock lock(s_->wake_mutex);
    if (deadline) {
        // Rounded up: a sleep that ends a little early costs a second one.
        const auto at = s_->start + std::chrono::ceil<clock_type::duration>(std::chrono::duration<double>(*deadline));
        s_->wake_cv.wait_until(lock, at, woken);
    } else {
        s_->wake_cv.wait(lock, woken);
    }
    s_->woken = false;
}

void glut_platform::wake_program() {
    {
        std::lock_guard lock(s_->wake_mutex);
        s_->woken = true;
    }
    s_->wake_cv.notify_all();
}

bool glut_platform::ask_yes_no(const std::string& title, const std::string& text) {
    // The question belongs to the window: one raised before it opened waits for it.
    unsigned long owner = 0;
    {
        std::unique_lock lock(s_->program_mutex);
        s_->program_cv.wait_for(lock, program_end_patience, [this] { return s_->x_window || s_->window_gone; });
        owner = s_->window_gone ? 0 : s_->x_window;
    }
    return s_->dialog.ask(title, text, owner);
}

void glut_platform::present_frame(const screen_frame& frame) {
    std::lock_guard lock(s_->frame_mutex);
    ++s_->presented;
    s_->newest = frame;
    s_->wake.signal();
}

void glut_platform::picture_changed() {
    s_->refresh_wanted = true;
    s_->wake.signal();
}

void glut_platform::end_process(int exit_code) {
    // The window thread leaves its loop when it wakes; run() then returns
    // this code once the program thread has unwound.
    s_->exit_code = exit_code;
    s_->end_requested = true;
    s_->wake.signal();
}

}  // namespace screen
