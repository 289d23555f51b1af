// A whole run of the demonstration on the headless backend, scripted as a
// user would type it.
#pragma once

#include <string>
#include <vector>

#include "screen/headless_platform.h"
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

    // Types Z and p', each with Return; with `fast`, fifteen "+" follow at
    // once, so that the segments pass in a blink after the first fifteen.
    scheme_run& enter(const std::string& z, const std::string& p, bool fast = true) {
        entered_at = backend.type_at(backend.type_at(0.5, z + "\r") + 0.5, p + "\r");
        if (fast) type_ahead(std::string(15, '+'));
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
    screen::run_end run() {
        how = screen.run([&] { program.run(); });
        return how;
    }
    const winding::working_state& state() const { return program.state(); }
    std::vector<int> reported_steps() const {
        std::vector<int> steps;
        for (const auto& q : backend.questions()) steps.push_back(q.step_number);
        return steps;
    }
};

}  // namespace scheme_test
