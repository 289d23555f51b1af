// The frame of the scheme: slot numbers, dotted slot lines, dashed pole
// boundary lines, and at the end the cleared margins and the erased help.
#include <string>

#include "winding/winding_run.h"

namespace winding {

void winding_run::slot_numbering(int first_step) {
    // The second run repeats the first one's steps 248 numbers later.
    const auto step = [first_step](int n) { return first_step + (n - 172); };
    if (!test(step(172), s_.slot_count < 50)) return;
    loop(step(173), s_.loop_i, double(s_.slot_count), [&] {
        s_.slot_label_col = (s_.left_margin_px + s_.loop_i * s_.slot_pitch_px) / 8.1;
        end_step(step(174));
        end_step(step(175));
        s_.pole_group = int16_checked(s_.slot_label_col);
        end_step(step(176));
        // Even numbers on row 13, odd ones on row 12.
        if (test(step(177), is_even(s_.loop_i))) {
            screen_.set_text_position(13, to_integer_argument(s_.pole_group));
            end_step(step(178));
        } else {
            screen_.set_text_position(12, to_integer_argument(s_.pole_group));
            end_step(step(180));
        }
        print_number(s_.loop_i);
        print_line_end();
        end_step(step(182));
    });
}

void winding_run::scheme_grid() {
    loop(187, s_.loop_i, double(s_.slot_count), [&] {
        const single x = s_.left_margin_px + s_.loop_i * s_.slot_pitch_px;
        screen_.draw_line(x, 1.75 * s_.height_unit_px, x, 3.25 * s_.height_unit_px, 3, 0x8888);
        end_step(188);
    });
    loop(192, s_.loop_i, double(s_.pole_count + 1), [&] {
        s_.pole_boundary_slot = ((s_.loop_i - 1) * s_.slot_count) / s_.pole_count;
        end_step(193);
        const single x = s_.left_margin_px + (s_.pole_boundary_slot + 0.5) * s_.slot_pitch_px;
        screen_.draw_line(x, 0.5 * s_.height_unit_px, x, 5.5 * s_.height_unit_px, 2, 0xFF99);
        end_step(194);
    });
}

void winding_run::margin_clearing() {
    // The strips outside the outer pole boundaries, from y 30 down.
    const std::int32_t left_end = to_integer_argument(s_.left_margin_px + s_.slot_pitch_px * 0.5 - 1);
    screen_.set_viewport(0, 30, left_end, 349);
    end_step(436);
    screen_.clear_screen();
    end_step(437);
    const std::int32_t right_start =
        to_integer_argument(s_.left_margin_px + (s_.slot_count + 0.5) * s_.slot_pitch_px + 1);
    screen_.set_viewport(right_start, 30, 639, 349);
    end_step(438);
    screen_.clear_screen();
    end_step(439);
    screen_.set_viewport(0, 0, 639, 349);
    end_step(440);
    // Blanks over the speed help.
    screen_.set_text_position(2, 8);
    end_step(446);
    print_item(std::string(66, ' '));
    print_line_end();
    end_step(447);
}

}  // namespace winding
