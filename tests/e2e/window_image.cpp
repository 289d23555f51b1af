// Reads a window's pixels for the end-to-end cases, on one X connection and
// without a process per look: a poll spawning screenshot tools ten times a
// second costs a good part of a core per case, which a parallel run cannot
// spare. A window that is gone is said at once (a screenshot tool would wait
// for a click on another one).
// Usage: window_image await WINDOW WANT.png WxH+X+Y SECONDS GOT.png
//          polls until the window's crop equals the same crop of WANT.png
//          (exit 0); after SECONDS, or when the window is gone, says why,
//          writes the crop last seen to GOT.png and exits 1
//        window_image save WINDOW OUT.png     the whole window as a PNG
//        window_image pixels WINDOW X,Y...    each pixel as RRGGBB, one a line
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "rgb_png.h"

namespace {

struct rect {
    int x, y, w, h;
};

struct picture {
    int w = 0, h = 0;
    std::vector<std::uint32_t> rgb;  // 0xRRGGBB, row by row
};

int last_error = 0;
int note_error(Display*, XErrorEvent* e) {
    last_error = e->error_code;
    return 0;
}

bool parse_rect(const char* text, rect& r) {
    char end = 0;
    return std::sscanf(text, "%dx%d+%d+%d%c", &r.w, &r.h, &r.x, &r.y, &end) == 4 && r.w > 0 && r.h > 0 &&
           r.x >= 0 && r.y >= 0;
}

int shift_of(unsigned long mask) {
    int shift = 0;
    while (mask && !(mask & 1)) mask >>= 1, ++shift;
    return shift;
}

std::uint32_t channel(unsigned long pixel, unsigned long mask) {
    const unsigned long value = (pixel & mask) >> shift_of(mask);
    const unsigned long top = mask >> shift_of(mask);
    return top ? std::uint32_t(value * 255 / top) : 0;
}

enum class grab_result { ok, gone, not_yet };

// The window's rectangle r (all of it when r is empty). A window that is not
// viewable yet, or not wholly on the screen, is "not yet".
grab_result grab(Display* d, Window w, std::optional<rect> r, picture& out) {
    last_error = 0;
    XWindowAttributes a;
    if (!XGetWindowAttributes(d, w, &a)) return last_error == BadWindow ? grab_result::gone : grab_result::not_yet;
    const rect want = r ? *r : rect{0, 0, a.width, a.height};
    if (a.map_state != IsViewable || want.x + want.w > a.width || want.y + want.h > a.height)
        return grab_result::not_yet;
    XImage* image = XGetImage(d, w, want.x, want.y, unsigned(want.w), unsigned(want.h), AllPlanes, ZPixmap);
    XSync(d, False);
    if (!image) return last_error == BadWindow ? grab_result::gone : grab_result::not_yet;
    out.w = want.w;
    out.h = want.h;
    out.rgb.resize(std::size_t(want.w) * std::size_t(want.h));
    for (int y = 0; y < want.h; ++y)
        for (int x = 0; x < want.w; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            out.rgb[std::size_t(y) * std::size_t(want.w) + std::size_t(x)] =
                channel(p, image->red_mask) << 16 | channel(p, image->green_mask) << 8 | channel(p, image->blue_mask);
        }
    XDestroyImage(image);
    return grab_result::ok;
}

bool read_png(const char* path, picture& out) { return e2e::read_rgb_png(path, out.rgb, out.w, out.h); }

bool write_png(const char* path, const picture& p) { return e2e::write_rgb_png(path, p.rgb, p.w, p.h); }

picture crop_of(const picture& p, const rect& r) {
    picture out;
    out.w = r.w;
    out.h = r.h;
    out.rgb.reserve(std::size_t(r.w) * std::size_t(r.h));
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x)
            out.rgb.push_back(p.rgb[std::size_t(y) * std::size_t(p.w) + std::size_t(x)]);
    return out;
}

long differing(const picture& a, const picture& b) {
    long n = 0;
    for (std::size_t i = 0; i < a.rgb.size(); ++i) n += a.rgb[i] != b.rgb[i];
    return n;
}

int usage() {
    std::fputs("usage: window_image await WINDOW WANT.png WxH+X+Y SECONDS GOT.png\n"
               "       window_image save WINDOW OUT.png\n"
               "       window_image pixels WINDOW X,Y...\n",
               stderr);
    return 2;
}

int await(Display* d, Window w, const char* want_path, const char* crop_text, double seconds, const char* got_path) {
    rect r{};
    picture want_full;
    if (!parse_rect(crop_text, r)) return usage();
    if (!read_png(want_path, want_full) || r.x + r.w > want_full.w || r.y + r.h > want_full.h) {
        std::fprintf(stderr, "window_image: %s is no PNG holding %s\n", want_path, crop_text);
        return 2;
    }
    const picture want = crop_of(want_full, r);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    picture got;
    bool seen = false;
    for (;;) {
        switch (grab(d, w, r, got)) {
            case grab_result::gone:
                std::fputs("the window is gone\n", stderr);
                if (seen) write_png(got_path, got);
                return 1;
            case grab_result::ok:
                seen = true;
                if (got.rgb == want.rgb) return 0;
                break;
            case grab_result::not_yet: break;
        }
        if (std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (!seen) {
        std::fprintf(stderr, "the window never showed %s in %g s\n", crop_text, seconds);
        return 1;
    }
    write_png(got_path, got);
    std::fprintf(stderr, "%ld pixels differ after %g s\n", differing(want, got), seconds);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return usage();
    const std::string mode = argv[1];
    const Window w = std::strtoul(argv[2], nullptr, 0);
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fputs("window_image: cannot open the display\n", stderr);
        return 2;
    }
    XSetErrorHandler(note_error);
    int rc = 0;
    if (mode == "await" && argc == 7) {
        rc = await(d, w, argv[3], argv[4], std::atof(argv[5]), argv[6]);
    } else if (mode == "save" && argc == 4) {
        picture p;
        const grab_result g = grab(d, w, std::nullopt, p);
        if (g != grab_result::ok || !write_png(argv[3], p)) {
            std::fputs(g == grab_result::gone ? "the window is gone\n" : "no picture of the window\n", stderr);
            rc = 1;
        }
    } else if (mode == "pixels") {
        picture p;
        const grab_result g = grab(d, w, std::nullopt, p);
        if (g != grab_result::ok) {
            std::fputs(g == grab_result::gone ? "the window is gone\n" : "no picture of the window\n", stderr);
            rc = 1;
        }
        for (int i = 3; rc == 0 && i < argc; ++i) {
            int x = -1, y = -1;
            if (std::sscanf(argv[i], "%d,%d", &x, &y) != 2 || x < 0 || y < 0 || x >= p.w || y >= p.h) {
                std::fprintf(stderr, "window_image: no pixel %s in %dx%d\n", argv[i], p.w, p.h);
                rc = 2;
            } else {
                std::printf("%06x\n", unsigned(p.rgb[std::size_t(y) * std::size_t(p.w) + std::size_t(x)]));
            }
        }
    } else {
        rc = usage();
    }
    XCloseDisplay(d);
    return rc;
}
