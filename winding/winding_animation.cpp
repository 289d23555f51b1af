// The animation: three phases, each traced segment by segment with a pause
// before every segment that "+" halves and "-" doubles.
#include "winding/scheme_geometry.h"
#include "winding/winding_run.h"

namespace winding {

bool winding_run::wrap_test() { return wraps_around(s_, read(s_.path_x, s_.loop_i)); }

void winding_run::winding_animation() {
    loop(198, s_.phase, 3, [&] {
        if (test(199, s_.phase == 1)) {
            s_.phase_colour = 15;
            end_step(200);
        }
        if (test(203, s_.phase == 2)) {
            s_.phase_colour = 12;
            end_step(204);
            jumper_levels(2);
        }
        if (test(217, s_.phase == 3)) {
            s_.phase_colour = 9;
            end_step(218);
            jumper_levels(3);
        }
        loop(234, s_.loop_i, double(s_.slot_count + s_.slot_count - 2), [&] {
            s_.key_pressed = screen_.read_key();
            end_step(237);
            if (test(238, s_.key_pressed == "-")) {
                s_.step_delay_s = s_.step_delay_s + s_.step_delay_s;
                end_step(238);
            }
            if (test(239, s_.key_pressed == "+")) {
                s_.step_delay_s = s_.step_delay_s / 2;
                end_step(239);
            }
            screen_.delay_seconds(double(s_.step_delay_s));
            end_step(241);
            terminal_marking();
            screen_.set_colour(11);
            end_step(330);
            s_.arrow_y = 140;
            end_step(332);
            segment_drawing();
            shifted_segment_copy();
        });
    });
}

}  // namespace winding
