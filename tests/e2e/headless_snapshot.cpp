// Runs the program on the headless backend with the keys given and writes
// its last frame as a PNG: the picture the window must show after the same
// keys. Usage: headless_snapshot OUT.png [--stop-at SECONDS] KEYS...
// Each character of a KEYS argument is one key; each further argument is
// typed long after the one before (the animation is over by then).
// --stop-at stops the run at that virtual time, as the close box would.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "backends/headless/headless_platform.h"
#include "rgb_png.h"
#include "screen/screen_layer.h"
#include "winding/winding_scheme.h"

namespace {

// Virtual seconds between key groups: longer than any animation at the start speed.
constexpr double group_gap_s = 1000;

}  // namespace

int main(int argc, char** argv) {
    int first_keys = 2;
    screen::headless_platform backend;
    if (argc > 3 && std::strcmp(argv[2], "--stop-at") == 0) {
        backend.give_up_at(std::atof(argv[3]));
        first_keys = 4;
    }
    if (argc <= first_keys) {
        std::fputs("usage: headless_snapshot OUT.png [--stop-at SECONDS] KEYS...\n", stderr);
        return 2;
    }
    for (int i = first_keys; i < argc; ++i) backend.type_at(0.1 + group_gap_s * (i - first_keys), argv[i]);
    screen::screen_layer screen(backend);
    screen.run([&] { winding::main_module(screen); });
    if (backend.last_frame().rgb.size() != std::size_t(screen::screen_width) * screen::screen_height) {
        std::fputs("headless_snapshot: no frame\n", stderr);
        return 1;
    }
    if (!e2e::write_rgb_png(argv[1], backend.last_frame().rgb, screen::screen_width, screen::screen_height)) {
        std::fprintf(stderr, "headless_snapshot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
