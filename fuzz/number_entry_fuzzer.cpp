// Key sequences for the number entry. The first byte picks the column the
// entry starts in (so the right-edge limit is reached with few keys) and,
// with its top bit, ends the script with a stop instead of a Return; every
// further byte is one key, a zero byte taking the next byte as the scan
// code of an extended key.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "backends/headless/headless_platform.h"
#include "screen/screen_layer.h"

namespace {

// Each key at a moment of its own wakes the entry, which takes it before
// the next comes: none is lost to a full buffer, the final Return arrives.
constexpr double key_spacing_s = 0.05;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "number entry: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const int column = 1 + data[0] % 80;
    const bool end_by_stop = (data[0] & 0x80) != 0;

    screen::headless_platform backend;
    screen::screen_layer screen(backend);
    double t = 0.1;
    bool return_typed = false;
    for (std::size_t i = 1; i < size; ++i, t += key_spacing_s) {
        std::string key(1, char(data[i]));
        if (data[i] == 0 && i + 1 < size) key += char(data[++i]);
        return_typed = return_typed || key == "\r";
        backend.key_at(t, key);
    }
    if (end_by_stop)
        backend.stop_at(t);
    else
        backend.key_at(t, "\r"), return_typed = true;
    backend.give_up_at(t + 1);

    float value = 0;
    bool stopped = false;
    const auto how = screen.run([&] {
        screen.set_screen_mode();
        screen.set_text_position(3, column);
        stopped = screen.input_values(value);
    });
    if (how != screen::run_end::returned) fail("did not return");
    if (stopped == return_typed) fail("ended the wrong way");
    if (!stopped && !std::isfinite(value)) fail("value not finite");
    return 0;
}
