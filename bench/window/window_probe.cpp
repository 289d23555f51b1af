// Looks at a program's window through the X server, for the window bench.
//   window_probe startup RUNS TITLE APP  exec to the first frame with the
//       header drawn (rows 1 and 2 no longer one colour), RUNS times
//   window_probe latency RUNS WINDOW     a digit sent with xdotool to the
//       echo on the screen; BackSpace after each one undoes it
//   window_probe drawing WINDOW Z P      Z and p' typed, fifteen "+" at
//       once after them: the Return of p' to the help line's erasure,
//       which comes right after the last segment
//   window_probe stop close|break PID WINDOW  the close box's message
//       (WM_DELETE_WINDOW, as without a window manager) or Ctrl+Break to
//       the end of process PID, once
//   window_probe resume RUNS WINDOW      in the animation's 1 s pauses:
//       Pause right after a segment, a key 1.5 s later, that key to the
//       next segment on the screen, RUNS times
// Prints seconds (median, min, max); asserts nothing. Times start once the
// event has gone out to the X server; keys go through its test input (no
// typing tool starting up in between).
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using clock_type = std::chrono::steady_clock;

double since(clock_type::time_point t) { return std::chrono::duration<double>(clock_type::now() - t).count(); }

// A window may go away or not be mapped yet while it is looked at.
int ignore_x_error(Display*, XErrorEvent*) { return 0; }

Window find_titled(Display* d, Window w, const char* title) {
    char* name = nullptr;
    if (XFetchName(d, w, &name) && name) {
        const bool same = std::strcmp(name, title) == 0;
        XFree(name);
        if (same) return w;
    }
    Window root, parent, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &n)) return 0;
    Window found = 0;
    for (unsigned i = 0; i < n && !found; ++i) found = find_titled(d, children[i], title);
    if (children) XFree(children);
    return found;
}

// A w x h corner of the window as the screen shows it (a GL window itself
// cannot be read back), null when it cannot be read; XDestroyImage it.
XImage* screen_image(Display* d, Window win, int w, int h) {
    const Window root = DefaultRootWindow(d);
    int x = 0, y = 0;
    Window child;
    if (!XTranslateCoordinates(d, win, root, 0, 0, &x, &y, &child)) return nullptr;
    // A window partly off the screen: its part on the screen.
    if (x < 0) w += x, x = 0;
    if (y < 0) h += y, y = 0;
    return XGetImage(d, root, x, y, unsigned(w), unsigned(h), AllPlanes, ZPixmap);
}

// Its pixel values, row by row; empty when unreadable.
std::vector<unsigned long> grab(Display* d, Window win, int w, int h) {
    XImage* image = screen_image(d, win, w, h);
    if (!image) return {};
    std::vector<unsigned long> px;
    px.reserve(std::size_t(image->width) * unsigned(image->height));
    for (int y = 0; y < image->height; ++y)
        for (int x = 0; x < image->width; ++x) px.push_back(XGetPixel(image, x, y));
    XDestroyImage(image);
    return px;
}

// Its bytes as they come, to tell a change as soon as it shows: no call
// per pixel. Empty when unreadable.
std::vector<char> grab_bytes(Display* d, Window win, int w, int h) {
    XImage* image = screen_image(d, win, w, h);
    if (!image) return {};
    std::vector<char> bytes(image->data, image->data + std::size_t(image->bytes_per_line) * unsigned(image->height));
    XDestroyImage(image);
    return bytes;
}

// Text drawn: a good number of pixels differ from the first one.
bool has_text(const std::vector<unsigned long>& px) {
    if (px.empty()) return false;
    return std::count_if(px.begin(), px.end(), [&](unsigned long p) { return p != px[0]; }) > 200;
}

void print_figures(const char* what, std::vector<double> t) {
    std::sort(t.begin(), t.end());
    std::printf("%s median_ms=%.1f min_ms=%.1f max_ms=%.1f runs=%zu\n", what, t[t.size() / 2] * 1e3,
                t.front() * 1e3, t.back() * 1e3, t.size());
}

int startup(Display* d, int runs, const char* title, char* app) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        // The last run's window must be gone, or it would be found instead.
        for (int j = 0; j < 2000 && find_titled(d, DefaultRootWindow(d), title); ++j)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        const auto t0 = clock_type::now();
        const pid_t pid = fork();
        if (pid == 0) {
            char* argv[] = {app, nullptr};
            execv(app, argv);
            _exit(127);
        }
        double t = -1;
        while (since(t0) < 20) {
            const Window win = find_titled(d, DefaultRootWindow(d), title);
            if (win && has_text(grab(d, win, 640, 28))) {
                t = since(t0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        if (t < 0) {
            std::fputs("window_probe: no header within 20 s\n", stderr);
            return 1;
        }
        times.push_back(t);
    }
    print_figures("start_to_first_frame", times);
    return 0;
}

// Seconds from t0 until the window's picture differs from `from` (then in
// `now`); -1 after `limit` seconds.
double until_changed(Display* d, Window win, const std::vector<char>& from, clock_type::time_point t0, double limit,
                     std::vector<char>& now) {
    while (since(t0) < limit) {
        now = grab_bytes(d, win, 640, 350);
        if (!now.empty() && now != from) return since(t0);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return -1;
}

int latency(Display* d, int runs, Window win) {
    std::vector<double> times, xdotool_times;
    std::vector<char> before = grab_bytes(d, win, 640, 350), after, back;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = clock_type::now();
        if (std::system("xdotool key 5") != 0) return 1;
        xdotool_times.push_back(since(t0));
        const double t = until_changed(d, win, before, t0, 10, after);
        if (t < 0) {
            std::fputs("window_probe: the digit did not show within 10 s\n", stderr);
            return 1;
        }
        times.push_back(t);
        if (std::system("xdotool key BackSpace") != 0) return 1;
        if (until_changed(d, win, after, clock_type::now(), 10, back) < 0) return 1;
        before = back;
    }
    print_figures("key_to_screen", times);
    print_figures("of_which_xdotool_itself", xdotool_times);
    return 0;
}

// True while the help line (text row 2, right of the header icons) shows.
bool help_shown(Display* d, Window win) {
    const std::vector<unsigned long> px = grab(d, win, 640, 28);
    if (px.size() != 640u * 28) return true;
    for (int y = 14; y < 28; ++y)
        for (int x = 60; x < 640; ++x)
            if (px[std::size_t(y) * 640 + std::size_t(x)] != px[14 * 640 + 60]) return true;
    return false;
}

int drawing(Display* d, Window win, const std::string& z, const std::string& p) {
    const std::string entry = "xdotool type " + z + " && xdotool key Return && xdotool type " + p;
    if (std::system(entry.c_str()) != 0 || std::system("xdotool key Return") != 0) return 1;
    const auto t0 = clock_type::now();
    if (std::system("xdotool type --delay 0 +++++++++++++++") != 0) return 1;
    while (help_shown(d, win)) {
        if (since(t0) > 120) {
            std::fputs("window_probe: the drawing did not end within 120 s\n", stderr);
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::printf("drawing_z%s_p%s seconds=%.3f\n", z.c_str(), p.c_str(), since(t0));
    return 0;
}

// Presses and releases a key, Ctrl held around it when asked, on the window
// with the keyboard, and sends it to the server at once.
bool tap(Display* d, KeySym sym, bool ctrl) {
    const KeyCode key = XKeysymToKeycode(d, sym);
    const KeyCode control = XKeysymToKeycode(d, XK_Control_L);
    if (!key || (ctrl && !control)) return false;
    if (ctrl) XTestFakeKeyEvent(d, control, True, CurrentTime);
    XTestFakeKeyEvent(d, key, True, CurrentTime);
    XTestFakeKeyEvent(d, key, False, CurrentTime);
    if (ctrl) XTestFakeKeyEvent(d, control, False, CurrentTime);
    XFlush(d);
    return true;
}

bool has_xtest(Display* d) {
    int event_base, error_base, major, minor;
    if (XTestQueryExtension(d, &event_base, &error_base, &major, &minor)) return true;
    std::fputs("window_probe: the display has no XTEST extension\n", stderr);
    return false;
}

// True once the process has ended: a zombie, or already reaped by its parent
// (the script that started it) and gone.
bool process_ended(pid_t pid) {
    char path[48];
    std::snprintf(path, sizeof path, "/proc/%d/stat", int(pid));
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return true;
    char text[512];
    const ssize_t n = read(fd, text, sizeof text - 1);
    close(fd);
    if (n <= 0) return true;
    text[n] = 0;
    // The state follows the name in parentheses, which may itself hold any.
    const char* paren = std::strrchr(text, ')');
    if (!paren || paren[1] != ' ') return true;
    return paren[2] == 'Z' || paren[2] == 'X';
}

int stop(Display* d, const std::string& way, pid_t pid, Window win) {
    if (way != "close" && way != "break") return 2;
    if (process_ended(pid)) {
        std::fputs("window_probe: the program had ended before the event\n", stderr);
        return 1;
    }
    XEvent e{};
    if (way == "close") {
        // Atoms first: looking them up takes round trips of its own.
        e.xclient.type = ClientMessage;
        e.xclient.window = win;
        e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = long(XInternAtom(d, "WM_DELETE_WINDOW", False));
        e.xclient.data.l[1] = CurrentTime;
        if (!XSendEvent(d, win, False, NoEventMask, &e)) return 1;
        XFlush(d);
    } else if (!has_xtest(d) || !tap(d, XK_Pause, true)) {
        return 1;
    }
    const auto t0 = clock_type::now();
    // Polled rather than waited for: the program is not this probe's child.
    while (!process_ended(pid)) {
        if (since(t0) > 10) {
            std::fprintf(stderr, "window_probe: the program did not end within 10 s of %s\n", way.c_str());
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    std::printf("stop_%s seconds=%.6f\n", way.c_str(), since(t0));
    return 0;
}

int resume(Display* d, int runs, Window win) {
    if (!has_xtest(d)) return 1;
    std::vector<double> times, reads;
    std::vector<char> before = grab_bytes(d, win, 640, 350), now, held;
    for (int i = 0; i < runs; ++i) {
        // A segment appears: its pause of 1 s has just begun.
        if (until_changed(d, win, before, clock_type::now(), 5, now) < 0) {
            std::fputs("window_probe: no segment within 5 s\n", stderr);
            return 1;
        }
        if (!tap(d, XK_Pause, false)) return 1;
        // Past the rest of the pause: the delay is due once the key comes.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        held = grab_bytes(d, win, 640, 350);
        std::this_thread::sleep_for(std::chrono::milliseconds(1400));
        const auto r0 = clock_type::now();
        before = grab_bytes(d, win, 640, 350);
        reads.push_back(since(r0));
        if (before != held) {
            std::fputs("window_probe: the picture changed while paused\n", stderr);
            return 1;
        }
        if (!tap(d, XK_a, false)) return 1;
        const double t = until_changed(d, win, before, clock_type::now(), 10, now);
        if (t < 0) {
            std::fputs("window_probe: no segment within 10 s of the key that ends Pause\n", stderr);
            return 1;
        }
        times.push_back(t);
        before = now;
    }
    print_figures("pause_key_to_next_segment", times);
    print_figures("one_picture_read", reads);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Display* d = XOpenDisplay(nullptr);
    if (!d || argc < 4) {
        std::fputs("usage: window_probe startup RUNS TITLE APP | latency RUNS WINDOW | drawing WINDOW Z P"
                   " | stop close|break PID WINDOW | resume RUNS WINDOW (with a display)\n", stderr);
        return 2;
    }
    XSetErrorHandler(ignore_x_error);
    const int runs = std::atoi(argv[2]);
    if (std::strcmp(argv[1], "startup") == 0 && argc == 5) return startup(d, runs, argv[3], argv[4]);
    if (std::strcmp(argv[1], "latency") == 0) return latency(d, runs, Window(std::strtoul(argv[3], nullptr, 0)));
    if (std::strcmp(argv[1], "drawing") == 0 && argc == 5)
        return drawing(d, Window(std::strtoul(argv[2], nullptr, 0)), argv[3], argv[4]);
    if (std::strcmp(argv[1], "stop") == 0 && argc == 5)
        return stop(d, argv[2], pid_t(std::atoi(argv[3])), Window(std::strtoul(argv[4], nullptr, 0)));
    if (std::strcmp(argv[1], "resume") == 0) return resume(d, runs, Window(std::strtoul(argv[3], nullptr, 0)));
    return 2;
}
