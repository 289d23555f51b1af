// The header: screen mode, window title, caption and speed help, and three
// icons for the three attributes named in the title.
#include "winding/winding_run.h"

namespace winding {

void winding_run::screen_header() {
    screen_.set_screen_mode();
    end_step(1);
    end_step(3);
    screen_.set_resize_mode(screen::resize_scaling::stretch_smooth);
    end_step(6);
    screen_.set_window_title("SCHEMES: LAP, TWO LAYER, FULL PITCH WINDING");
    end_step(9);
    screen_.set_text_position(1, 1);
    end_step(12);
    screen_.set_colour(3, 8);
    end_step(13);
    // Columns 1 to 7 lie under the icons.
    print_item("        Developed winding scheme of a three-phase machine for Z and p'.");
    print_line_end();
    end_step(14);
    screen_.set_colour(14, 8);
    end_step(16);
    screen_.set_text_position(2, 8);
    end_step(17);
    print_item(" Change speed: for 2 x speed press (+), for 0,5 x speed press (-) ");
    print_line_end();
    end_step(18);
    screen_.set_colour(15, 8);
    end_step(20);

    // A lap coil: up, over and down, then the end connection back to the
    // start of the next coil three pixels on.
    s_.loop_i = -10;
    end_step(23);
    const extended i = s_.loop_i;
    screen_.draw_line(i + 15, 15, i + 15, 5);
    end_step(24);
    screen_.draw_line(i + 15, 5, i + 20, 1);
    end_step(25);
    screen_.draw_line(i + 20, 1, i + 25, 5);
    end_step(26);
    screen_.draw_line(i + 25, 5, i + 25, 15);
    end_step(27);
    screen_.draw_line(i + 25, 15, i + 21, 19);
    end_step(28);
    screen_.draw_line(i + 21, 19, i + 18, 15);
    end_step(29);
    screen_.draw_line(i + 18, 15, i + 18, 5);
    end_step(30);
    screen_.draw_line(i + 18, 5, i + 23, 1);
    end_step(31);

    // A slot open at the top, with one conductor above the other.
    s_.loop_k = 20;
    end_step(34);
    extended k = s_.loop_k;
    screen_.draw_line(k + 1, 3, k + 3, 3);
    end_step(35);
    screen_.draw_line(k + 3, 3, k + 3, 17);
    end_step(36);
    screen_.draw_line(k + 3, 17, k + 11, 17);
    end_step(37);
    screen_.draw_line(k + 11, 17, k + 11, 3);
    end_step(38);
    screen_.draw_line(k + 11, 3, k + 13, 3);
    end_step(39);
    screen_.draw_circle(double(k + 7), 13, 3);
    end_step(40);
    screen_.draw_circle(double(k + 7), 7, 3);
    end_step(41);

    // A full-pitch coil whose sides stand on two dotted slot lines.
    s_.loop_k = 10;
    end_step(45);
    k = s_.loop_k;
    screen_.draw_line(k + 30, 18, k + 30, 0, 15, 0x8888);
    end_step(46);
    screen_.draw_line(k + 40, 18, k + 40, 0, 15, 0x8888);
    end_step(47);
    screen_.draw_line(k + 30, 15, k + 30, 5);
    end_step(48);
    screen_.draw_line(k + 30, 5, k + 35, 1);
    end_step(49);
    screen_.draw_line(k + 35, 1, k + 40, 5);
    end_step(50);
    screen_.draw_line(k + 40, 5, k + 40, 15);
    end_step(51);
}

}  // namespace winding
