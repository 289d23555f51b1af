#include "screen/glut_platform.h"

// GLEW must come before any other GL header.
#include <GL/glew.h>
#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#ifdef WINDING_BENCH_COUNTERS
#include <csignal>
#endif
#include <thread>

#include "screen/framebuffer.h"
#include "screen/x11_break_keys.h"
#include "screen/yes_no_dialog.h"

namespace screen {
namespace {

using clock_type = std::chrono::steady_clock;

// The refresh step: a changed picture becomes a frame at most this often.
// The window thread sleeps while nothing changes; a wake-up costs about as
// much as the check it would make.
constexpr auto refresh_period = std::chrono::milliseconds(32);
// One pass of a polling loop waits this long unless a key comes first: the
// final wait spins on read_key, and a 1 ms sleep there costs ~2 % of a core.
constexpr auto moment = std::chrono::milliseconds(10);
// A sleep here wakes ~0.1 ms late, and a few times a minute by 2 to 3 ms
// (the machine's scheduler). Event checks inside a delay are meant to be
// about 9 ms and never more than 10 ms apart: aiming at 7.5 ms keeps them so.
constexpr double delay_check_s = 0.0075;
// GL 1.x wants powers of two; the picture sits in the top-left corner.
constexpr int texture_width = 1024, texture_height = 512;
// After the close box the program stops at its next check, well within this.
constexpr auto program_end_patience = std::chrono::seconds(5);

enum class screen_fill { windowed, full_letterboxed, full_filled };

struct rect {
    int x, y, w, h;
};

// Where the picture goes in a window of w x h pixels.
rect picture_rect(int w, int h, resize_scaling scaling, screen_fill fill) {
    if (fill == screen_fill::full_filled) return {0, 0, w, h};
    if (scaling == resize_scaling::none && fill == screen_fill::windowed)
        return {(w - screen_width) / 2, (h - screen_height) / 2, screen_width, screen_height};
    // Keep 640:350; the side that is short for it decides.
    if (long(w) * screen_height <= long(h) * screen_width) {
        const int ph = (w * screen_height + screen_width / 2) / screen_width;
        return {0, (h - ph) / 2, w, ph};
    }
    const int pw = (h * screen_width + screen_height / 2) / screen_height;
    return {(w - pw) / 2, 0, pw, h};
}

// The PC scan code of a freeglut special key; 0 for the keys that leave
// nothing in the buffer (modifiers alone, NumLock, keypad 5).
int scan_code(int key) {
    if (key >= GLUT_KEY_F1 && key <= GLUT_KEY_F10) return 59 + (key - GLUT_KEY_F1);
    switch (key) {
        case GLUT_KEY_F11: return 133;
        case GLUT_KEY_F12: return 134;
        case GLUT_KEY_HOME: return 71;
        case GLUT_KEY_UP: return 72;
        case GLUT_KEY_PAGE_UP: return 73;
        case GLUT_KEY_LEFT: return 75;
        case GLUT_KEY_RIGHT: return 77;
        case GLUT_KEY_END: return 79;
        case GLUT_KEY_DOWN: return 80;
        case GLUT_KEY_PAGE_DOWN: return 81;
        case GLUT_KEY_INSERT: return 82;
        case GLUT_KEY_DELETE: return 83;
        default: return 0;
    }
}

std::string extended_key(int scan) { return std::string{'\0', char(scan)}; }

// Makes an eventfd readable; safe in a signal handler too.
void signal_event(int fd) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = write(fd, &one, sizeof one);
}

// Whether a window manager runs: an EWMH one shows a check window naming itself, which a dead one's leftover fails.
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

void on_glut_error(const char* format, va_list arguments) {
    std::fputs("winding_scheme: window library: ", stderr);
    std::vfprintf(stderr, format, arguments);
    std::fputc('\n', stderr);
    // freeglut does not come back from here; the program thread may be running.
    std::_Exit(1);
}

}  // namespace

struct glut_platform::state {
    key_sink* sink = nullptr;
    screen_layer* screen = nullptr;
    const clock_type::time_point start = clock_type::now();

    std::mutex frame_mutex;
    screen_frame newest;  // under frame_mutex

    std::atomic<bool> end_requested{false};
    // The window thread's sleep ends on X input or on a write here: a change
    // of the picture, a frame handed over, the end of the process.
    int wake_fd = -1;
    std::atomic<bool> refresh_wanted{true};
    std::atomic<int> exit_code{0};
    // The program thread's end, and the window's opening and end.
    std::mutex program_mutex;
    std::condition_variable program_cv;
    bool program_done = false;      // under program_mutex
    bool window_gone = false;       // under program_mutex
    unsigned long x_window = 0;     // under program_mutex
    yes_no_dialog dialog;

    // ---- window thread only ----
    GLuint texture = 0;
    std::uint64_t uploaded_version = 0;
    std::string shown_title;
    resize_scaling scaling = resize_scaling::none;
    screen_fill fill = screen_fill::windowed;
    int width = screen_width, height = screen_height;
    int asked_width = 0, asked_height = 0;  // the last shape asked of the window manager
    bool window_closed = false;  // the close box: freeglut has destroyed the window
    std::unique_ptr<x11_break_keys> break_keys;

    // A key, Pause, Break or the close box; wakes a program in yield_moment.
    std::mutex input_mutex;
    std::condition_variable input_cv;
    std::uint64_t input_count = 0;  // under input_mutex
    std::uint64_t input_seen = 0;   // under input_mutex

    // Until input comes in or `time` has passed; input since the last wait
    // (perhaps just before the program looked for a key) ends it at once.
    void wait_for_input(std::chrono::duration<double> time) {
        std::unique_lock lock(input_mutex);
        input_cv.wait_for(lock, time, [this] { return input_count != input_seen; });
        input_seen = input_count;
    }

    void wake() const { signal_event(wake_fd); }

    void input_arrived() {
        {
            std::lock_guard lock(input_mutex);
            ++input_count;
        }
        input_cv.notify_all();
    }

#ifdef WINDING_BENCH_COUNTERS
    // The bench build's figures: frames handed over, uploaded, redrawn.
    std::atomic<unsigned long> presented{0};
    unsigned long uploads = 0, redraws = 0;  // window thread only
    void print_counters(const char* when) const {
        std::fprintf(stderr, "bench-counters %s presented=%lu uploads=%lu redraws=%lu\n", when, presented.load(),
                     uploads, redraws);
    }
#endif
};

namespace {

// The glut callbacks' way to the backend (they carry no user data).
glut_platform::state* active = nullptr;

#ifdef WINDING_BENCH_COUNTERS
// SIGUSR1 asks for the counters; the window thread wakes and prints them.
volatile std::sig_atomic_t counters_asked = 0;
int counters_wake_fd = -1;
void on_counters_signal(int) {
    counters_asked = 1;
    signal_event(counters_wake_fd);
}
#endif

void upload(const screen_frame& f) {
    glBindTexture(GL_TEXTURE_2D, active->texture);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, screen_width);
    auto put = [&](int from_x, int from_y, int x, int y, int w, int h) {
        glPixelStorei(GL_UNPACK_SKIP_PIXELS, from_x);
        glPixelStorei(GL_UNPACK_SKIP_ROWS, from_y);
        glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, w, h, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, f.rgb.data());
    };
    put(0, 0, 0, 0, screen_width, screen_height);
    // The last column and row once more beside the picture, so that linear
    // filtering at its edges does not blend in the unused texture.
    put(screen_width - 1, 0, screen_width, 0, 1, screen_height);
    put(0, screen_height - 1, 0, screen_height, screen_width, 1);
    put(screen_width - 1, screen_height - 1, screen_width, screen_height, 1, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
}

void set_up_texture() {
    glGenTextures(1, &active->texture);
    glBindTexture(GL_TEXTURE_2D, active->texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, texture_width, texture_height, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                 nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glEnable(GL_TEXTURE_2D);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1, 1, 0, -1, 1);  // y downwards, like the picture's rows
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void draw_picture() {
    auto& s = *active;
    {
        std::lock_guard lock(s.frame_mutex);
        if (s.newest.version != s.uploaded_version && !s.newest.rgb.empty()) {
            upload(s.newest);
            s.uploaded_version = s.newest.version;
#ifdef WINDING_BENCH_COUNTERS
            ++s.uploads;
#endif
        }
    }
    glViewport(0, 0, s.width, s.height);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    const rect r = picture_rect(s.width, s.height, s.scaling, s.fill);
    glViewport(r.x, s.height - r.y - r.h, r.w, r.h);  // GL counts rows from the bottom
    const GLint filter = s.scaling == resize_scaling::stretch_smooth ? GL_LINEAR : GL_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    const float s1 = float(screen_width) / texture_width, t1 = float(screen_height) / texture_height;
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0), glVertex2f(0, 0);
    glTexCoord2f(s1, 0), glVertex2f(1, 0);
    glTexCoord2f(s1, t1), glVertex2f(1, 1);
    glTexCoord2f(0, t1), glVertex2f(0, 1);
    glEnd();
    glutSwapBuffers();
#ifdef WINDING_BENCH_COUNTERS
    ++s.redraws;
#endif
}

// Pulls a resized window back to 640:350: after a change of width the
// height follows, after a change of height alone the width. A shape the
// window manager refused is not asked for again until the window has had
// a fitting shape; the picture is letterboxed meanwhile.
void pull_shape(int old_width, int old_height) {
    auto& s = *active;
    if (s.fill != screen_fill::windowed || s.scaling == resize_scaling::none) return;
    const int w = s.width, h = s.height;
    const int fitting_height = (w * screen_height + screen_width / 2) / screen_width;
    const int fitting_width = (h * screen_width + screen_height / 2) / screen_height;
    if (h == fitting_height || w == fitting_width) {
        s.asked_width = s.asked_height = 0;
        return;
    }
    const bool height_alone = w == old_width && h != old_height;
    const int ask_w = height_alone ? fitting_width : w, ask_h = height_alone ? h : fitting_height;
    if (ask_w == s.asked_width && ask_h == s.asked_height) return;
    s.asked_width = ask_w;
    s.asked_height = ask_h;
    glutReshapeWindow(ask_w, ask_h);
}

void next_fill() {
    auto& s = *active;
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

void on_display() { draw_picture(); }

void on_reshape(int w, int h) {
    const int old_width = active->width, old_height = active->height;
    active->width = w;
    active->height = h;
    pull_shape(old_width, old_height);
    glutPostRedisplay();
}

void on_key(unsigned char key, int, int) {
    const int modifiers = glutGetModifiers() & (GLUT_ACTIVE_SHIFT | GLUT_ACTIVE_CTRL | GLUT_ACTIVE_ALT);
    if (key == '\r' && modifiers == GLUT_ACTIVE_ALT) return next_fill();
    // freeglut hands Delete over as the DEL character.
    active->sink->key_typed(key == 127 ? extended_key(83) : std::string(1, char(key)));
    active->input_arrived();
}

void on_special_key(int key, int, int) {
    if (const int scan = scan_code(key)) {
        active->sink->key_typed(extended_key(scan));
        active->input_arrived();
    }
}

void on_close() { active->window_closed = true; }

// ---- the window thread's loop ----

// A frame newer than the one shown: its title and scaling now, the picture
// at the next redraw.
void take_newest_frame() {
    auto& s = *active;
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
        pull_shape(s.width, s.height);
        newer = true;
    }
    if (newer) glutPostRedisplay();
}

// Until X input, a wake-up, or `deadline` (none: no deadline).
void sleep_for_events(Display* display, std::optional<clock_type::time_point> deadline) {
    auto& s = *active;
    // Events already read into Xlib's queue do not show on the connection;
    // XPending also sends what is still buffered.
    if (XPending(display)) return;
    int timeout_ms = -1;
    if (deadline) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - clock_type::now());
        timeout_ms = int(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
    }
    pollfd fds[] = {{ConnectionNumber(display), POLLIN, 0}, {s.wake_fd, POLLIN, 0}};
    poll(fds, 2, timeout_ms);
    std::uint64_t count;
    while (read(s.wake_fd, &count, sizeof count) > 0) {
    }
}

// freeglut's events and redraws, and the refresh steps on a fixed 32 ms
// beat, skipping the beats with nothing changed; asleep while nothing
// happens. A change is taken at the beat after it, not at once: the program
// is most likely still drawing then, and half a picture would cost a
// second frame.
void run_window_loop() {
    auto& s = *active;
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
                s.screen->publish_frame_if_changed();
            } else {
                deadline = beat + refresh_period;
            }
        }
        take_newest_frame();
        glutMainLoopEvent();
        if (s.window_closed || s.end_requested) return;
#ifdef WINDING_BENCH_COUNTERS
        if (counters_asked) {
            counters_asked = 0;
            s.print_counters("now");
        }
#endif
        sleep_for_events(display, deadline);
    }
}

}  // namespace

glut_platform::glut_platform() : s_(std::make_unique<state>()) {}
glut_platform::~glut_platform() = default;

int glut_platform::run(screen_layer& screen, const std::function<void(screen_layer&)>& program) {
    // Mesa's software renderer wakes one helper thread per core for every
    // frame; for one small picture now and then that costs more than the
    // drawing itself (0.3 % of a core against 0.1 % at one frame a second).
    // Set before any thread starts; a value of the user's own stands.
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
        return 1;
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
    XCloseDisplay(probe);
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    if (!glutGet(GLUT_DISPLAY_MODE_POSSIBLE)) {
        std::fputs("winding_scheme: the display cannot give a double-buffered RGBA window with a depth buffer.\n",
                   stderr);
        glutExit();
        return 1;
    }

    auto& s = *s_;
    s.wake_fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (s.wake_fd < 0) {
        std::perror("winding_scheme: eventfd");
        glutExit();
        return 1;
    }
    s.screen = &screen;
    active = &s;
    std::thread program_thread([this, &screen, &program] {
        screen.run([&] { program(screen); });
        std::lock_guard lock(s_->program_mutex);
        s_->program_done = true;
        s_->program_cv.notify_all();
    });

    // Whatever the program thread has set so far goes into the window it opens with.
    screen.publish_frame_if_changed();
    {
        std::lock_guard lock(s.frame_mutex);
        s.shown_title = s.newest.title;
        s.scaling = s.newest.scaling;
    }
    glutInitWindowSize(screen_width, screen_height);
    if (place_at_origin) glutInitWindowPosition(0, 0);
    glutCreateWindow(s.shown_title.c_str());
    int code = -1;
    if (glewInit() != GLEW_OK || !GLEW_VERSION_1_2) {
        std::fputs("winding_scheme: OpenGL 1.2 is not available on this display.\n", stderr);
        glutExit();
        code = 1;
    } else {
        set_up_texture();
        const auto x_window = static_cast<unsigned long>(glXGetCurrentDrawable());
        {
            std::lock_guard lock(s.program_mutex);
            s.x_window = x_window;
        }
        s.program_cv.notify_all();
        s.break_keys = std::make_unique<x11_break_keys>(
            x_window,
            [&s] {
                s.sink->pause_key();
                s.input_arrived();
            },
            [&s] {
                s.sink->stop_request();
                s.input_arrived();
            });
#ifdef WINDING_BENCH_COUNTERS
        counters_wake_fd = s.wake_fd;
        std::signal(SIGUSR1, on_counters_signal);
#endif
        glutDisplayFunc(on_display);
        glutReshapeFunc(on_reshape);
        glutKeyboardFunc(on_key);
        glutSpecialFunc(on_special_key);
        glutCloseFunc(on_close);
        run_window_loop();
        s.break_keys.reset();
        glutExit();
    }

    // The main loop returns after an end request or when the window has been
    // closed; in the second case the program is stopped first.
    {
        std::lock_guard lock(s.program_mutex);
        s.window_gone = true;
    }
    s.program_cv.notify_all();
    if (!s.end_requested) {
        screen.stop_request();
        s.input_arrived();
        s.dialog.cancel();
    }
    {
        std::unique_lock lock(s.program_mutex);
        if (!s.program_cv.wait_for(lock, program_end_patience, [&s] { return s.program_done; })) {
            std::fputs("winding_scheme: the program did not stop; ending anyway.\n", stderr);
            std::_Exit(code < 0 ? 0 : code);
        }
    }
    program_thread.join();
#ifdef WINDING_BENCH_COUNTERS
    s.print_counters("at-exit");
#endif
    active = nullptr;
    close(s.wake_fd);
    return code < 0 ? s.exit_code.load() : code;
}

// ---- platform ----

void glut_platform::attach(key_sink& sink) { s_->sink = &sink; }

double glut_platform::clock_seconds() {
    return std::chrono::duration<double>(clock_type::now() - s_->start).count();
}

void glut_platform::sleep_seconds(double seconds) {
    // Input ends the sleep: the core's polling loops answer at once.
    if (seconds > 0) s_->wait_for_input(std::chrono::duration<double>(seconds));
}

double glut_platform::delay_check_seconds() const { return delay_check_s; }

void glut_platform::yield_moment() { s_->wait_for_input(moment); }

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
    // Both threads publish, and each hands its frame over after the core's
    // lock is released: an older frame may come in second.
    std::lock_guard lock(s_->frame_mutex);
#ifdef WINDING_BENCH_COUNTERS
    ++s_->presented;
#endif
    if (frame.version > s_->newest.version) s_->newest = frame;
    s_->wake();
}

void glut_platform::picture_changed() {
    s_->refresh_wanted = true;
    s_->wake();
}

void glut_platform::end_process(int exit_code) {
    // The window thread leaves its loop when it wakes; run() then returns
    // this code once the program thread has unwound.
    s_->exit_code = exit_code;
    s_->end_requested = true;
    s_->wake();
}

}  // namespace screen
