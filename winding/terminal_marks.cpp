// The terminals of each phase: a small circle at the first and the last
// point of its path, labelled U1/U2, V1/V2 or W1/W2 just above.
#include <string>

#include "winding/scheme_geometry.h"
#include "winding/winding_run.h"

namespace winding {

// Steps of one mark: the condition test, the circle, column, row, label
// skip test, text position, three colour tests (test, colour, print) and
// the end of the mark.
struct terminal_mark_steps {
    int condition, circle, column, row, skip, position;
    int colour_tests[3];
    int end;
};

namespace {

using mark_steps = terminal_mark_steps;
constexpr mark_steps start_mark{247, 248, 249, 250, 251, 252, {253, 257, 261}, 265};
constexpr mark_steps end_mark{267, 268, 269, 270, 271, 272, {273, 277, 281}, 285};
constexpr mark_steps shifted_start_mark{288, 289, 290, 291, 292, 293, {294, 298, 302}, 306};
constexpr mark_steps shifted_end_mark{308, 309, 310, 311, 312, 313, {314, 318, 322}, 326};

}  // namespace

void winding_run::terminal_marking() {
    const extended last_segment = s_.slot_count + s_.slot_count - 2;
    if (test(start_mark.condition, s_.loop_i == 1)) mark_terminal(start_mark, 1, placement::original, '1');
    if (test(end_mark.condition, s_.loop_i == last_segment))
        mark_terminal(end_mark, s_.loop_i + 1, placement::original, '2');
    if (test(287, wrap_test())) {
        if (test(shifted_start_mark.condition, s_.loop_i == 1))
            mark_terminal(shifted_start_mark, 1, placement::shifted, '1');
        if (test(shifted_end_mark.condition, s_.loop_i == last_segment))
            mark_terminal(shifted_end_mark, s_.loop_i + 1, placement::shifted, '2');
    }
}

void winding_run::mark_terminal(const terminal_mark_steps& steps, extended point, placement where, char terminal) {
    const auto x = [&] {
        const extended slot = read(s_.path_x, point);
        return point_x(s_, where == placement::shifted ? slot - s_.slot_count : slot);
    };
    const auto y = [&] { return point_y(s_, read(s_.path_height, point)); };
    screen_.draw_circle(double(x()), double(y()), 3.0, to_integer_argument(s_.phase_colour));
    end_step(steps.circle);
    s_.terminal_col = int16_checked(x() * 79.0f / 640.0f);
    end_step(steps.column);
    s_.terminal_row = int16_checked(y() * 24.0f / 340.0f);
    end_step(steps.row);
    if (!test(steps.skip, s_.terminal_col <= 0 || s_.terminal_col > 77)) {
        screen_.set_text_position(to_integer_argument(s_.terminal_row), to_integer_argument(s_.terminal_col + 2.0f));
        end_step(steps.position);
        // The letter follows the phase colour, not the phase number.
        constexpr int colours[3] = {15, 12, 9};
        constexpr char letters[3] = {'U', 'V', 'W'};
        for (int k = 0; k < 3; ++k) {
            const int at = steps.colour_tests[k];
            if (test(at, s_.phase_colour == colours[k])) {
                screen_.set_colour(colours[k]);
                end_step(at + 1);
                print_item(std::string{letters[k], terminal});
                print_line_end();
                end_step(at + 2);
            }
        }
    }
    end_step(steps.end);
}

}  // namespace winding
