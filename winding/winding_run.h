// One run of the demonstration: the working state, the screen it draws on,
// and the rules that every step follows.
#pragma once

#include <string_view>

#include "screen/screen_layer.h"
#include "winding/working_state.h"

namespace winding {

class winding_run {
public:
    explicit winding_run(screen::screen_layer& screen) : screen_(screen) {}
    // Runs every section in order; ends inside end_program or earlier.
    void run();
    const working_state& state() const { return s_; }

private:
    // ---- sections, in the order of the run ----
    void screen_header();
    void parameter_entry();
    void exit_wait();

    // ---- the rules of a step ----
    // After each step: the event check, only while the indicator is set.
    void end_step(int step_number);
    // A test step: an error pending (or raised while testing) takes the true
    // branch; the event check follows only when the branch is taken.
    bool test(int step_number, bool condition);
    // Print items: each text goes through the wrap test, then out without a
    // line end; a number is its text and one blank.
    void print_item(std::string_view text);
    void print_number(single value);
    void print_line_end();
    // Number entry into a scalar; ends the program thread on a stop request.
    void enter_number(single& variable);

    screen::screen_layer& screen_;
    working_state s_;
};

}  // namespace winding
