// The 2Z - 1 points of one phase's path: two points per coil side at its
// slot, and between two sides a point halfway between their slots.
#include "winding/winding_run.h"

namespace winding {

void winding_run::phase_path() {
    single& c = s_.side_counter;
    single& i = s_.loop_i;
    c = 1;
    end_step(151);
    loop(152, i, double(s_.slot_count + s_.slot_count - 1), [&] {
        if (test(153, is_whole_multiple_plus(i, 3, 1))) {
            store(s_.path_x, i, [&] { return read(s_.side_slot, c); });
            end_step(155);
            store(s_.path_kind, i, [&] { return read(s_.side_kind, c); });
            end_step(156);
        }
        if (test(158, is_whole_multiple_plus(i, 3, 2))) {
            store(s_.path_x, i, [&] { return read(s_.side_slot, c); });
            end_step(160);
            store(s_.path_kind, i, [&] { return read(s_.side_kind, c); });
            end_step(161);
        }
        if (test(163, is_whole_multiple_plus(i, 3, 0))) {
            store(s_.path_x, i, [&] { return (read(s_.side_slot, c + 1) + read(s_.side_slot, c)) / 2; });
            end_step(164);
            store(s_.path_kind, i, [&] { return read(s_.side_kind, c); });
            end_step(165);
            c = c + 1;
            end_step(166);
        }
    });
}

}  // namespace winding
