// A whole run of the demonstration on the headless backend, scripted as a
// user would type it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "screen_test_support.h"
#include "backends/headless/headless_platform.h"
#include "screen/keyboard_buffer.h"
#include "screen/screen_layer.h"
#include "winding/winding_run.h"

namespace scheme_test {

struct scheme_run {
    screen::headless_platform backend;
    screen::screen_layer screen{backend};
    winding::winding_run program{screen};
    screen::run_end how = screen::run_end::running;
    double entered_at = 0;  // just after the Return that ends the entry of p'

    scheme_run() { backend.default_answer(true); }

    // Types Z and p', each with Return; with `fast`, fourteen "+" come
    // with the last Return, which fill the keyboard buffer with it, so that
    // the segments pass in a blink after the first fourteen.
    scheme_run& enter(const std::string& z, const std::string& p, bool fast = true) {
        entered_at = backend.type_at(backend.type_at(0.5, z + "\r") + 0.5, p + "\r");
        if (fast) type_ahead(std::string(screen::keyboard_buffer::capacity - 1, '+'));
        return *this;
    }
    // Keys that wait in the buffer when the animation starts: the first
    // segments take them, one each.
    scheme_run& type_ahead(const std::string& keys) {
        backend.type_at(entered_at - 0.05, keys, 0);
        return *this;
    }
    // A key for the final wait `after` seconds past the entry, and one for
    // the end prompt a second later.
    scheme_run& finish(double after = 10) {
        backend.key_at(entered_at + after, "x").key_at(entered_at + after + 1, "y");
        return *this;
    }
    // The two final keys, typed as soon as the drawing is done and as soon
    // as the prompt shows, however long the animation took.
    scheme_run& finish_when_drawn() {
        backend.give_up_at(1e12);
        backend.on_each_wait([this, waited = false, prompted = false](double) mutable {
            if (!drawing_done()) return;
            const bool at_prompt = screen.cursor_row() == 25;
            if (!at_prompt && !waited) screen.key_typed("x"), waited = true;
            if (at_prompt && !prompted) screen.key_typed("y"), prompted = true;
        });
        return *this;
    }
    // Key for segment n (counted 1, 2, ... over the three phases), typed
    // while segment n - 1 runs, so that segment n takes it; an empty text
    // types nothing.
    scheme_run& key_per_segment(std::function<std::string(int)> key_for) {
        type_ahead(key_for(1));
        backend.on_each_wait([this, key_for, segments = 0, last_phase = 0.0f, last_i = 0.0f](double) mutable {
            const auto& s = state();
            const bool first = in_phase(1) && s.loop_i.stored() == 1;
            if ((segments == 0 && !first) || drawing_done()) return;
            if (s.phase.stored() == last_phase && s.loop_i.stored() == last_i) return;
            last_phase = s.phase.stored();
            last_i = s.loop_i.stored();
            const std::string key = key_for(++segments + 1);
            if (!key.empty()) screen.key_typed(key);
        });
        return *this;
    }
    // Calls `look` once, at the first wait at which `when` holds.
    scheme_run& at_first_wait_when(std::function<bool()> when, std::function<void()> look) {
        backend.on_each_wait([when, look, done = false](double) mutable {
            if (!done && when()) {
                done = true;
                look();
            }
        });
        return *this;
    }
    screen::run_end run() {
        how = screen.run([&] { program.run(); });
        return how;
    }
    const winding::working_state& state() const { return program.state(); }
    // The moments of the drawing. Its loop counts the phase from 1 to 3 and
    // leaves it at 4. Before the loop, from the entry of p' on, the phase
    // holds the number of phases, 3: a wait there (a report of the
    // computation, say) passes for phase 3 as well.
    bool in_phase(int n) const { return state().phase.stored() == float(n); }
    bool in_a_phase() const { return in_phase(1) || in_phase(2) || in_phase(3); }
    bool drawing_done() const { return state().phase.stored() == 4; }
    // The reports of the run, as screen_test::reported_steps and reported_errors.
    std::vector<int> reported_steps(int first_step = screen_test::lowest_step,
                                    int last_step = screen_test::highest_step) const {
        return screen_test::reported_steps(backend, first_step, last_step);
    }
    std::vector<int> reported_errors(int first_step = screen_test::lowest_step,
                                     int last_step = screen_test::highest_step) const {
        return screen_test::reported_errors(backend, first_step, last_step);
    }
};

}  // namespace scheme_test
