// The spine of the run: the sections in their fixed order, and the end.
#include <fpu_control.h>

#include "winding/winding_run.h"
#include "winding/winding_scheme.h"

namespace winding {

void main_module(screen::screen_layer& screen) {
    winding_run run(screen);
    run.run();
}

void winding_run::run() {
    // The run's arithmetic: a 64-bit significand, round to nearest, every
    // floating-point exception masked (a division by zero gives an infinity).
    // Set here, on the path of the program, the tests and the fuzzers alike.
    fpu_control_t control = _FPU_DEFAULT;
    _FPU_SETCW(control);
    screen_header();
    parameter_entry();
    height_profile();
    side_sequence();
    phase_path();
    slot_numbering(172);
    scheme_grid();
    winding_animation();
    slot_numbering(420);
    margin_clearing();
    exit_wait();
}

void winding_run::exit_wait() {
    // Any entry of the keyboard buffer ends the wait; the key is dropped.
    for (;;) {
        end_step(450);
        const bool none = screen_.read_key().empty();
        if (!none && !screen_.error_pending()) break;
        end_step(450);
    }
    screen_.end_program();
}

}  // namespace winding
