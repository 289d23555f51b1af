// One run of the demonstration: the working state, the screen it draws on,
// and the rules that every step follows.
#pragma once

#include <string_view>

#include "screen/screen_layer.h"
#include "winding/step_rules.h"
#include "winding/working_state.h"

namespace winding {

struct terminal_mark_steps;

// The winding layer of a coil side: the upper one is drawn solid with its
// symbol in the upper row, the lower one dashed with its symbol in the lower row.
enum class layer { upper, lower };
enum class traced { upwards, downwards };
// A figure in its place, or its copy shifted left by Z slots.
enum class placement { original, shifted };

class winding_run : private step_rules {
public:
    explicit winding_run(screen::screen_layer& screen) : step_rules(screen) {}
    // Sets the run's floating-point control word, then runs every section in
    // order; ends inside end_program or earlier.
    void run();
    const working_state& state() const { return s_; }

    // ---- sections, in the order of the run ----
    void screen_header();
    void parameter_entry();
    void height_profile();
    void side_sequence();
    void phase_path();
    // Run twice: from step 172 before the animation, from 420 after it.
    void slot_numbering(int first_step);
    void scheme_grid();
    void winding_animation();
    void margin_clearing();
    void exit_wait();
    // The jumper rows of one phase (1 to 3) between its pole groups.
    void jumper_levels(int phase);

private:
    // ---- parts of the sections ----
    void terminal_marking();
    void mark_terminal(const terminal_mark_steps& steps, extended point, placement where, char terminal);
    void segment_drawing();
    void shifted_segment_copy();
    void draw_segment(int first_step, layer side_layer, traced direction, placement where);
    bool traced_upwards();

    // Whether segment loop_i also gets a copy shifted left by Z slots.
    bool wrap_test();

    // ---- print items and number entry ----
    // Print items: each text goes through the wrap test, then out without a
    // line end; a number is its text and one blank.
    void print_item(std::string_view text);
    void print_number(single value);
    void print_line_end();
    // Number entry into a scalar; ends the program thread on a stop request.
    void enter_number(single& variable);

    working_state s_;
};

}  // namespace winding
