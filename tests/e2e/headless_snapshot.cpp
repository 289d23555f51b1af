// Runs the program on the headless backend with the keys given and writes
// its last frame as a PNG: the picture the window must show after the same
// keys. Usage: headless_snapshot OUT.png [--stop-at SECONDS] KEYS...
// Each character of a KEYS argument is one key; each further argument is
// typed long after the one before (the animation is over by then).
// --stop-at stops the run at that virtual time, as the close box would.
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "backends/headless/headless_platform.h"
#include "screen/screen_layer.h"
#include "winding/winding_scheme.h"

namespace {

bool write_png(const char* path, const screen::screen_frame& frame) {
    FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = info != nullptr;
    if (ok && setjmp(png_jmpbuf(png))) ok = false;
    if (ok) {
        png_init_io(png, file);
        png_set_IHDR(png, info, screen::screen_width, screen::screen_height, 8, PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        std::basic_string<png_byte> row(std::size_t(screen::screen_width) * 3, 0);
        for (int y = 0; y < screen::screen_height; ++y) {
            for (int x = 0; x < screen::screen_width; ++x) {
                const std::uint32_t rgb = frame.rgb[std::size_t(y) * screen::screen_width + std::size_t(x)];
                row[std::size_t(x) * 3 + 0] = png_byte(rgb >> 16);
                row[std::size_t(x) * 3 + 1] = png_byte(rgb >> 8);
                row[std::size_t(x) * 3 + 2] = png_byte(rgb);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 && ok;
}

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
    if (!write_png(argv[1], backend.last_frame())) {
        std::fprintf(stderr, "headless_snapshot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
