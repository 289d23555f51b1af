// Whole runs of the demonstration on the headless backend.
//
// Input: the Z text, '\n', the p' text, '\n', one byte whose value mod 8 is
// the number of error reports answered Yes before the first No, then the
// key storm as events of a time byte and a key byte, timed from the end of
// the entry of p'. A time byte below 128 waits that many hundredths of a
// second, one from 128 up (byte - 128) * 2 seconds. Key byte 0 takes the
// next byte as the scan code of an extended key, 1 is the Pause key, 2 a
// stop request (close box); any other byte is that character.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "backends/headless/headless_platform.h"
#include "screen/number_entry.h"
#include "screen/screen_layer.h"
#include "winding/winding_scheme.h"

namespace {

// Bounds on what is typed for Z and p'. The run's loops have Z and p'
// passes (points, jumper rows, pole groups, segments); they stay free of
// errors only while 2Z <= 1000 and p' <= 4Z, and past that every pass
// raises an error, which the answer cap ends within a few reports. The
// bounds keep it so should that balance shift: a p' of millions in an
// error-free loop means millions of passes, and a Z of thousands drawn with
// the pauses gone (a few dozen "+") means thousands of segments, each run
// then taking seconds under the sanitizers. Values of 1E9 and more still
// pass when typed with an exponent, for the huge and infinite quotients
// and the 32-bit wrap of table indices.
constexpr float max_slots = 1000;
constexpr float max_poles = 4000;
constexpr float huge_value = 1e9f;
// Typed texts are cut here; the entry's own 80-column edge is the number
// entry fuzzer's business.
constexpr std::size_t max_text = 24;
// At most seven Yes answers, then No: every run with errors ends after a
// handful of reports, however many passes would raise one.
constexpr int answer_cap = 8;
// The storm may not reach past this much virtual time after the entry, so
// that the give-up comes at a bounded time.
constexpr double storm_span_s = 300;
constexpr double patience_s = 150;  // after the last event, the run is given up
constexpr double typing_s = 0.05;   // one key per wake-up of the entry

struct input {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    bool more() const { return at < size; }
    std::uint8_t next() { return data[at++]; }
    std::string field() {
        std::string text;
        while (more()) {
            const char c = char(next());
            if (c == '\n') break;
            text += c;
        }
        return text;
    }
};

// The text the entry would hold after these keys, keeping only the keys it
// accepts and those that keep the value within `limit` or make it huge.
std::string typed_number(const std::string& keys, float limit) {
    std::string text;
    for (char c : keys) {
        if (text.size() >= max_text) break;
        if (c == '\b') {
            if (!text.empty()) text.pop_back();
            continue;
        }
        if (!screen::number_entry_accepts(text, c)) continue;
        const float v = std::fabs(screen::number_entry_value(text + c));
        if (v <= limit || v >= huge_value) text += c;
    }
    return text;
}

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "whole run: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    input in{data, size};
    const std::string z = typed_number(in.field(), max_slots);
    const std::string p = typed_number(in.field(), max_poles);
    const int yes_answers = in.more() ? in.next() % answer_cap : 0;

    screen::headless_platform backend;
    screen::screen_layer screen(backend);
    for (int i = 0; i < yes_answers; ++i) backend.answer(true);
    backend.default_answer(false);

    double t = backend.type_at(0.5, z + "\r", typing_s) + 0.5;
    t = backend.type_at(t, p + "\r", typing_s);
    const double storm_end = t + storm_span_s;
    while (in.more()) {
        const std::uint8_t wait = in.next();
        t += wait < 128 ? wait * 0.01 : (wait - 128) * 2.0;
        if (t > storm_end || !in.more()) break;
        const std::uint8_t key = in.next();
        if (key == 0) {
            backend.key_at(t, std::string(1, '\0') + char(in.more() ? in.next() : 0));
        } else if (key == 1) {
            backend.pause_at(t);
        } else if (key == 2) {
            backend.stop_at(t);
        } else {
            backend.key_at(t, std::string(1, char(key)));
        }
    }
    const double give_up = std::min(t, storm_end) + patience_s;
    backend.give_up_at(give_up);

    const auto how = screen.run([&] { winding::main_module(screen); });
    if (how == screen::run_end::running || how == screen::run_end::returned) fail("did not end");
    if (int(backend.questions().size()) > yes_answers + 1) fail("went on after a No");
    if (backend.end_process_calls() != 1) fail("process ended other than once");
    // A give-up is a stop request: it ends every wait at once.
    if (backend.now() > give_up) fail("ran past the give-up time");
    return 0;
}
