// Entry of Z and p' on text row 3, the derived values and the result line.
#include "winding/winding_run.h"

namespace winding {

void winding_run::parameter_entry() {
    screen_.set_colour(14, 8);
    end_step(54);
    screen_.set_text_position(3, 7);
    end_step(56);
    screen_.print_string(" Z=", false);
    enter_number(s_.slot_count);
    end_step(57);
    screen_.set_text_position(3, 22);
    end_step(59);
    screen_.print_string(" p'=", false);
    enter_number(s_.pole_count);
    end_step(60);

    s_.phase = 3;
    end_step(63);
    s_.coil_pitch = s_.slot_count / s_.pole_count;
    end_step(64);
    s_.slots_per_pole_phase = s_.coil_pitch / s_.phase;
    end_step(65);
    s_.group_count = s_.pole_count;
    end_step(66);
    s_.left_margin_px = 20;
    end_step(67);
    s_.slot_pitch_px = 580 / s_.slot_count;
    end_step(68);
    s_.height_unit_px = 60;
    end_step(69);
    s_.forward_step = s_.coil_pitch;
    end_step(70);
    s_.back_step = s_.coil_pitch - 1;
    end_step(71);

    screen_.set_colour(11, 8);
    end_step(73);
    screen_.set_text_position(3, 37);
    end_step(75);
    print_item(" y1=");
    screen_.print_next_zone();
    print_number(s_.coil_pitch);
    print_line_end();
    end_step(76);
    screen_.set_text_position(3, 52);
    end_step(79);
    print_item(" z=");
    print_number(s_.coil_pitch);
    screen_.print_next_zone();
    end_step(80);
    screen_.set_text_position(3, 67);
    end_step(83);
    print_item(" m = ");
    print_number(s_.slots_per_pole_phase);
    print_line_end();
    end_step(84);

    s_.step_delay_s = 1;
    end_step(86);
}

}  // namespace winding
