#include "backends/glut/yes_no_dialog.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace screen {
namespace {

constexpr int margin = 16;
constexpr int button_width = 80, button_height = 26, button_gap = 16;
constexpr int least_width = 300;

// Errors on the question's own connection (a focus change that lost a race
// with the window manager, an owner that has just gone) are harmless; the
// default handler would end the process. Others go where they went before.
Display* quiet_display = nullptr;
XErrorHandler previous_handler = nullptr;

int quiet_errors(Display* d, XErrorEvent* e) {
    if (d == quiet_display) return 0;
    return previous_handler ? previous_handler(d, e) : 0;
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines(1);
    for (char c : text) {
        if (c == '\n')
            lines.emplace_back();
        else
            lines.back() += c;
    }
    return lines;
}

struct button {
    int x, y;
    const char* label;
    bool contains(int px, int py) const {
        return px >= x && px < x + button_width && py >= y && py < y + button_height;
    }
};

struct layout {
    int width = 0, height = 0, line_height = 0, ascent = 0;
    button yes{0, 0, "Yes"}, no{0, 0, "No"};
};

layout lay_out(XFontStruct* font, const std::vector<std::string>& lines) {
    layout l;
    l.ascent = font ? font->ascent : 10;
    l.line_height = (font ? font->ascent + font->descent : 13) + 4;
    int text_width = 0;
    for (const auto& line : lines)
        text_width = std::max(text_width, font ? XTextWidth(font, line.c_str(), int(line.size())) : 0);
    l.width = std::max({least_width, text_width + 2 * margin, 2 * button_width + button_gap + 2 * margin});
    const int buttons_y = margin + int(lines.size()) * l.line_height + margin;
    l.height = buttons_y + button_height + margin;
    const int buttons_x = (l.width - 2 * button_width - button_gap) / 2;
    l.yes = {buttons_x, buttons_y, "Yes"};
    l.no = {buttons_x + button_width + button_gap, buttons_y, "No"};
    return l;
}

void draw(Display* d, Window w, GC gc, XFontStruct* font, const std::vector<std::string>& lines, const layout& l) {
    XClearWindow(d, w);
    for (std::size_t i = 0; i < lines.size(); ++i)
        XDrawString(d, w, gc, margin, margin + int(i) * l.line_height + l.ascent, lines[i].c_str(),
                    int(lines[i].size()));
    for (const button* b : {&l.yes, &l.no}) {
        XDrawRectangle(d, w, gc, b->x, b->y, button_width - 1, button_height - 1);
        const int label_width = font ? XTextWidth(font, b->label, int(std::char_traits<char>::length(b->label))) : 0;
        XDrawString(d, w, gc, b->x + (button_width - label_width) / 2,
                    b->y + (button_height - l.line_height + 4) / 2 + l.ascent, b->label,
                    int(std::char_traits<char>::length(b->label)));
    }
    // Yes is the default button: Return answers it.
    XDrawRectangle(d, w, gc, l.yes.x + 2, l.yes.y + 2, button_width - 5, button_height - 5);
}

void set_atom_property(Display* d, Window w, const char* property, const char* value) {
    Atom a = XInternAtom(d, value, False);
    XChangeProperty(d, w, XInternAtom(d, property, False), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&a), 1);
}

// The question's window on its own connection, with what it is drawn from.
struct question {
    Display* d;
    std::vector<std::string> lines;
    XFontStruct* font;
    layout l;
    Window w;
    GC gc;
    Atom delete_window;
};

// Opens the question's window, centred on the screen, marked as a modal
// dialog of `owner` (0 for none).
question open_question(Display* d, const std::string& title, const std::string& text, unsigned long owner) {
    question q{d, lines_of(text), XLoadQueryFont(d, "fixed"), {}, 0, nullptr, 0};
    q.l = lay_out(q.font, q.lines);
    const int screen = DefaultScreen(d);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = WhitePixel(d, screen);
    attributes.event_mask = ExposureMask | KeyPressMask | ButtonPressMask | StructureNotifyMask;
    const int x = (DisplayWidth(d, screen) - q.l.width) / 2, y = (DisplayHeight(d, screen) - q.l.height) / 2;
    q.w = XCreateWindow(d, RootWindow(d, screen), x, y, unsigned(q.l.width), unsigned(q.l.height), 0,
                        CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &attributes);
    XStoreName(d, q.w, title.c_str());
    XChangeProperty(d, q.w, XInternAtom(d, "_NET_WM_NAME", False), XInternAtom(d, "UTF8_STRING", False), 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(title.c_str()), int(title.size()));
    XSizeHints* size = XAllocSizeHints();
    size->flags = PPosition | PMinSize | PMaxSize;
    size->x = x;
    size->y = y;
    size->min_width = size->max_width = q.l.width;
    size->min_height = size->max_height = q.l.height;
    XSetWMNormalHints(d, q.w, size);
    XFree(size);
    XWMHints* hints = XAllocWMHints();
    hints->flags = InputHint;
    hints->input = True;
    XSetWMHints(d, q.w, hints);
    XFree(hints);
    if (owner) XSetTransientForHint(d, q.w, Window(owner));
    set_atom_property(d, q.w, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DIALOG");
    set_atom_property(d, q.w, "_NET_WM_STATE", "_NET_WM_STATE_MODAL");
    q.delete_window = XInternAtom(d, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(d, q.w, &q.delete_window, 1);
    q.gc = XCreateGC(d, q.w, 0, nullptr);
    XSetForeground(d, q.gc, BlackPixel(d, screen));
    if (q.font) XSetFont(d, q.gc, q.font->fid);
    XMapRaised(d, q.w);
    return q;
}

// The answer an event on the question's window gives, if any.
std::optional<bool> answer_of(const question& q, XEvent& e) {
    switch (e.type) {
        case Expose:
            if (e.xexpose.count == 0) draw(q.d, q.w, q.gc, q.font, q.lines, q.l);
            break;
        case MapNotify:
            // Without a window manager nobody else would give it the keys.
            XSetInputFocus(q.d, q.w, RevertToParent, CurrentTime);
            break;
        case KeyPress: {
            char typed[8];
            KeySym key = NoSymbol;
            XLookupString(&e.xkey, typed, sizeof typed, &key, nullptr);
            if (key == XK_y || key == XK_Y || key == XK_Return || key == XK_KP_Enter) return true;
            if (key == XK_n || key == XK_N || key == XK_Escape) return false;
            break;
        }
        case ButtonPress:
            if (e.xbutton.button != Button1) break;
            if (q.l.yes.contains(e.xbutton.x, e.xbutton.y)) return true;
            if (q.l.no.contains(e.xbutton.x, e.xbutton.y)) return false;
            break;
        case ClientMessage:
            if (Atom(e.xclient.data.l[0]) == q.delete_window) return false;
            break;
        default: break;
    }
    return std::nullopt;
}

// Until an answer, or nothing once cancelled (`cancel_wake` then readable).
std::optional<bool> wait_for_answer(const question& q, const std::atomic<bool>& cancelled, const wake_up& cancel_wake) {
    std::optional<bool> answer;
    while (!answer && !cancelled) {
        while (!answer && XPending(q.d) > 0) {
            XEvent e;
            XNextEvent(q.d, &e);
            answer = answer_of(q, e);
        }
        if (answer || cancelled) break;
        pollfd fds[2] = {{ConnectionNumber(q.d), POLLIN, 0}, {cancel_wake.fd(), POLLIN, 0}};
        poll(fds, 2, -1);
    }
    return answer;
}

// Closes the question's window. An answered one hands the keys back to the
// window it belongs to: a window manager would do so itself, without one
// they would go nowhere.
void close_question(const question& q, bool answered, unsigned long owner) {
    Window focus = None;
    int revert = RevertToParent;
    XGetInputFocus(q.d, &focus, &revert);
    if (answered && owner && focus == q.w) XSetInputFocus(q.d, Window(owner), RevertToParent, CurrentTime);
    XDestroyWindow(q.d, q.w);
    XFreeGC(q.d, q.gc);
    if (q.font) XFreeFont(q.d, q.font);
    XSync(q.d, False);
}

}  // namespace

void yes_no_dialog::cancel() {
    cancelled_ = true;
    cancel_wake_.signal();
}

bool yes_no_dialog::ask(const std::string& title, const std::string& text, unsigned long owner) {
    if (cancelled_) return false;
    Display* d = XOpenDisplay(nullptr);
    if (!d) return false;
    quiet_display = d;
    previous_handler = XSetErrorHandler(quiet_errors);
    const question q = open_question(d, title, text, owner);
    const std::optional<bool> answer = wait_for_answer(q, cancelled_, cancel_wake_);
    close_question(q, answer.has_value(), owner);
    XSetErrorHandler(previous_handler);
    quiet_display = nullptr;
    XCloseDisplay(d);
    return answer.value_or(false);
}

}  // namespace screen
