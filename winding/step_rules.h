// The rules that every step of the run follows, over the screen layer's
// pending error and event indicator.
#pragma once

#include <utility>

#include "screen/screen_layer.h"
#include "winding/number_model.h"

namespace winding {

class step_rules {
public:
    explicit step_rules(screen::screen_layer& screen) : screen_(screen) {}

    // After each step: the event check, only while the indicator is set.
    // The step's number is the one an error report shows after "Line:".
    void end_step(int step_number) {
        if (screen_.event_pending()) screen_.step_event_check(step_number);
    }

    // A test step: with an error pending, or raised while testing, it takes
    // the true branch; its event check follows only when the branch is taken.
    bool test(int step_number, bool condition) {
        const bool holds = condition || screen_.error_pending();
        if (holds) end_step(step_number);
        return holds;
    }

    // A counted loop from 1 whose head passes the event check at every pass.
    template <class Body>
    void loop(int head_step, single& variable, double limit, Body&& body) {
        counted_loop(variable, 1, limit, [&] {
            end_step(head_step);
            body();
        });
    }

    // Element `index` of a table; an index outside 0..1000 raises
    // "Subscript out of range" and reads element 0.
    single read(const working_table& table, extended index) {
        const std::int32_t i = to_integer_argument(index);
        if (check_array_subscript(i)) return table[std::size_t(i)];
        screen_.raise_error(screen::error_subscript_out_of_range);
        return table[0];
    }

    // Stores rhs() into element `index`. The index is checked first; with an
    // error pending then, the right-hand side is not evaluated and nothing
    // is stored.
    template <class Rhs>
    void store(working_table& table, extended index, Rhs&& rhs) {
        const std::int32_t i = to_integer_argument(index);
        if (!check_array_subscript(i)) screen_.raise_error(screen::error_subscript_out_of_range);
        if (screen_.error_pending()) return;
        table[std::size_t(i)] = std::forward<Rhs>(rhs)();
    }

    // round_to_int16_checked, raising "Overflow" and giving 0 out of range.
    single int16_checked(extended x) {
        if (const auto v = round_to_int16_checked(x)) return extended(*v);
        screen_.raise_error(screen::error_overflow);
        return 0;
    }

protected:
    screen::screen_layer& screen_;
};

}  // namespace winding
