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

    const int screen = DefaultScreen(d);
    const auto lines = lines_of(text);
    XFontStruct* font = XLoadQueryFont(d, "fixed");
    const layout l = lay_out(font, lines);

    XSetWindowAttributes attributes{};
    attributes.background_pixel = WhitePixel(d, screen);
    attributes.event_mask = ExposureMask | KeyPressMask | ButtonPressMask | StructureNotifyMask;
    const int x = (DisplayWidth(d, screen) - l.width) / 2, y = (DisplayHeight(d, screen) - l.height) / 2;
    const Window w = XCreateWindow(d, RootWindow(d, screen), x, y, unsigned(l.width), unsigned(l.height), 0,
                                   CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWEventMask,
                                   &attributes);
    XStoreName(d, w, title.c_str());
    XChangeProperty(d, w, XInternAtom(d, "_NET_WM_NAME", False), XInternAtom(d, "UTF8_STRING", False), 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(title.c_str()), int(title.size()));
    XSizeHints* size = XAllocSizeHints();
    size->flags = PPosition | PMinSize | PMaxSize;
    size->x = x;
    size->y = y;
    size->min_width = size->max_width = l.width;
    size->min_height = size->max_height = l.height;
    XSetWMNormalHints(d, w, size);
    XFree(size);
    XWMHints* hints = XAllocWMHints();
    hints->flags = InputHint;
    hints->input = True;
    XSetWMHints(d, w, hints);
    XFree(hints);
    if (owner) XSetTransientForHint(d, w, Window(owner));
    set_atom_property(d, w, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DIALOG");
    set_atom_property(d, w, "_NET_WM_STATE", "_NET_WM_STATE_MODAL");
    Atom delete_window = XInternAtom(d, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(d, w, &delete_window, 1);
    const GC gc = XCreateGC(d, w, 0, nullptr);
    XSetForeground(d, gc, BlackPixel(d, screen));
    if (font) XSetFont(d, gc, font->fid);

    XMapRaised(d, w);

    std::optional<bool> answer;
    while (!answer && !cancelled_) {
        while (!answer && XPending(d) > 0) {
            XEvent e;
            XNextEvent(d, &e);
            switch (e.type) {
                case Expose:
                    if (e.xexpose.count == 0) draw(d, w, gc, font, lines, l);
                    break;
                case MapNotify:
                    // Without a window manager nobody else would give it the keys.
                    XSetInputFocus(d, w, RevertToParent, CurrentTime);
                    break;
                case KeyPress: {
                    char typed[8];
                    KeySym key = NoSymbol;
                    XLookupString(&e.xkey, typed, sizeof typed, &key, nullptr);
                    if (key == XK_y || key == XK_Y || key == XK_Return || key == XK_KP_Enter) answer = true;
                    if (key == XK_n || key == XK_N || key == XK_Escape) answer = false;
                    break;
                }
                case ButtonPress:
                    if (e.xbutton.button != Button1) break;
                    if (l.yes.contains(e.xbutton.x, e.xbutton.y)) answer = true;
                    if (l.no.contains(e.xbutton.x, e.xbutton.y)) answer = false;
                    break;
                case ClientMessage:
                    if (Atom(e.xclient.data.l[0]) == delete_window) answer = false;
                    break;
                default: break;
            }
        }
        if (answer || cancelled_) break;
        pollfd fds[2] = {{ConnectionNumber(d), POLLIN, 0}, {cancel_wake_.fd(), POLLIN, 0}};
        poll(fds, 2, -1);
    }

    // Hand the keys to the window the question belongs to: a window manager
    // would do so itself, without one they would go nowhere.
    Window focus = None;
    int revert = RevertToParent;
    XGetInputFocus(d, &focus, &revert);
    if (answer && owner && focus == w) XSetInputFocus(d, Window(owner), RevertToParent, CurrentTime);
    XDestroyWindow(d, w);
    XFreeGC(d, gc);
    if (font) XFreeFont(d, font);
    XSync(d, False);
    XSetErrorHandler(previous_handler);
    quiet_display = nullptr;
    XCloseDisplay(d);
    return answer.value_or(false);
}

}  // namespace screen
