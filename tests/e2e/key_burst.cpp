// Types one key many times as a single burst, through the X server's test
// input like any typing tool, but sent all at once: typed one by one with
// round trips in between, 500 keys on a loaded machine can take seconds and
// so spread over several of the animation's pauses.
// Usage: key_burst KEYSYM COUNT   (Shift is held around the burst where the
// key needs it, as for "plus")
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const int count = argc == 3 ? std::atoi(argv[2]) : 0;
    const KeySym sym = argc == 3 ? XStringToKeysym(argv[1]) : NoSymbol;
    if (sym == NoSymbol || count <= 0) {
        std::fputs("usage: key_burst KEYSYM COUNT\n", stderr);
        return 2;
    }
    Display* d = XOpenDisplay(nullptr);
    int event_base, error_base, major, minor;
    if (!d || !XTestQueryExtension(d, &event_base, &error_base, &major, &minor)) {
        std::fputs("key_burst: no display with the XTEST extension\n", stderr);
        return 1;
    }
    const KeyCode key = XKeysymToKeycode(d, sym);
    const KeyCode shift = XKeysymToKeycode(d, XK_Shift_L);
    const bool shifted = key && XkbKeycodeToKeysym(d, key, 0, 0) != sym && XkbKeycodeToKeysym(d, key, 0, 1) == sym;
    if (!key || (shifted && !shift) || (!shifted && XkbKeycodeToKeysym(d, key, 0, 0) != sym)) {
        std::fprintf(stderr, "key_burst: %s is not on the keyboard map\n", argv[1]);
        return 1;
    }
    if (shifted) XTestFakeKeyEvent(d, shift, True, CurrentTime);
    for (int i = 0; i < count; ++i) {
        XTestFakeKeyEvent(d, key, True, CurrentTime);
        XTestFakeKeyEvent(d, key, False, CurrentTime);
    }
    if (shifted) XTestFakeKeyEvent(d, shift, False, CurrentTime);
    // Back from here, the server has taken every event of the burst.
    XSync(d, False);
    XCloseDisplay(d);
    return 0;
}
