// One segment of the path: its line, and for a coil side an arrowhead that
// shows the direction it is traced in and its layer symbol (a cross for a
// side traced upwards, a dot for one traced downwards); then, near the
// right end of the scheme, the same again shifted left by Z slots.
#include "winding/scheme_geometry.h"
#include "winding/winding_run.h"

namespace winding {
namespace {

constexpr std::int32_t dashed = 0xFF00;
constexpr double upper_symbol_row = 335, lower_symbol_row = 345;

}  // namespace

bool winding_run::traced_upwards() {
    return read(s_.path_height, s_.loop_i) > read(s_.path_height, s_.loop_i + 1);
}

void winding_run::segment_drawing() {
    if (test(333, read(s_.path_kind, s_.loop_i) == 1)) {
        if (test(334, traced_upwards())) draw_segment(335, layer::upper, traced::upwards, placement::original);
        else draw_segment(344, layer::lower, traced::downwards, placement::original);
    } else {
        if (test(353, traced_upwards())) draw_segment(354, layer::lower, traced::upwards, placement::original);
        else draw_segment(363, layer::upper, traced::downwards, placement::original);
    }
}

void winding_run::shifted_segment_copy() {
    if (test(372, read(s_.path_kind, s_.loop_i) == 2)) {
        if (!test(373, wrap_test())) return;
        if (test(374, traced_upwards())) draw_segment(375, layer::lower, traced::upwards, placement::shifted);
        else draw_segment(385, layer::upper, traced::downwards, placement::shifted);
    } else {
        if (!test(395, wrap_test())) return;
        if (test(396, traced_upwards())) draw_segment(397, layer::upper, traced::upwards, placement::shifted);
        else draw_segment(406, layer::lower, traced::downwards, placement::shifted);
    }
}

// Steps from `first`: the line, the coil-side test, the two lines of the
// arrowhead, the symbol's ring, then the cross's two lines or the dot.
void winding_run::draw_segment(int first, layer side_layer, traced direction, placement where) {
    const std::int32_t colour = to_integer_argument(s_.phase_colour);
    const auto slot_of = [&](extended point) {
        const extended slot = read(s_.path_x, point);
        return where == placement::shifted ? slot - s_.slot_count : slot;
    };
    const single x1 = point_x(s_, slot_of(s_.loop_i));
    const single y1 = point_y(s_, read(s_.path_height, s_.loop_i));
    const single x2 = point_x(s_, slot_of(s_.loop_i + 1));
    const single y2 = point_y(s_, read(s_.path_height, s_.loop_i + 1));
    if (side_layer == layer::lower) screen_.draw_line(x1, y1, x2, y2, colour, dashed);
    else screen_.draw_line(x1, y1, x2, y2, colour);
    end_step(first);
    if (!test(first + 1, read(s_.path_x, s_.loop_i) == read(s_.path_x, s_.loop_i + 1))) return;

    const auto s = [&] { return point_x(s_, slot_of(s_.loop_i)); };
    const bool upwards = direction == traced::upwards;
    const extended tip = upwards ? extended(s_.arrow_y) : s_.arrow_y + 3;
    const extended barbs = upwards ? s_.arrow_y + 3 : extended(s_.arrow_y);
    screen_.draw_line(single(s() - 3), single(barbs), single(s()), single(tip), colour);
    end_step(first + 2);
    screen_.draw_line(single(s()), single(tip), single(s() + 3), single(barbs), colour);
    end_step(first + 3);

    const double row = side_layer == layer::lower ? lower_symbol_row : upper_symbol_row;
    screen_.draw_circle(double(s()), row, 5.0, colour);
    end_step(first + 4);
    if (upwards) {
        screen_.draw_line(single(s() - 2), single(row + 2), single(s() + 2), single(row - 2), colour);
        end_step(first + 5);
        screen_.draw_line(single(s() - 2), single(row - 2), single(s() + 2), single(row + 2), colour);
        end_step(first + 6);
    } else {
        screen_.draw_circle(double(s()), row, 1.0, colour);
        end_step(first + 5);
    }
}

}  // namespace winding
