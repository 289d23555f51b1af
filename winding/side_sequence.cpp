// The coil sides of one phase: slot and kind of every side in the order the
// path passes them, every even pole group connected in reverse.
#include "winding/winding_run.h"

namespace winding {

void winding_run::side_sequence() {
    single& c = s_.side_counter;
    single& g = s_.group_first_side;
    const auto group_start = [&] { return ((s_.pole_group - 1) * s_.slot_count) / s_.pole_count + 1; };
    loop(112, s_.pole_group, double(s_.group_count), [&] {
        store(s_.side_slot_fwd, c + 1, group_start);
        end_step(113);
        store(s_.side_slot_ordered, c + 1, group_start);
        end_step(114);
        if (test(115, is_even(s_.pole_group))) {
            g = c + 1;
            end_step(116);
            loop(117, s_.loop_i, double(s_.slots_per_pole_phase + s_.slots_per_pole_phase), [&] {
                c = c + 1;
                end_step(118);
                if (test(119, is_even(s_.loop_i))) {
                    store(s_.side_slot_fwd, c + 1, [&] { return read(s_.side_slot_fwd, c) - s_.back_step; });
                    end_step(120);
                    store(s_.side_kind, c, [] { return 2; });
                    end_step(121);
                } else {
                    store(s_.side_slot_fwd, c + 1, [&] { return read(s_.side_slot_fwd, c) + s_.forward_step; });
                    end_step(123);
                    store(s_.side_kind, c, [] { return 2; });
                    end_step(124);
                }
            });
            loop(127, s_.reverse_index, double(s_.slots_per_pole_phase + s_.slots_per_pole_phase), [&] {
                store(s_.side_slot_ordered, g + s_.reverse_index - 1, [&] {
                    return read(s_.side_slot_fwd,
                                (g + (s_.slots_per_pole_phase + s_.slots_per_pole_phase)) - s_.reverse_index);
                });
                end_step(128);
            });
        } else {
            loop(131, s_.loop_i, double(s_.slots_per_pole_phase + s_.slots_per_pole_phase), [&] {
                // Indexed by the pass, not by the side counter.
                store(s_.side_kind, s_.loop_i, [] { return 1; });
                end_step(132);
                c = c + 1;
                end_step(133);
                if (test(134, is_even(s_.loop_i))) {
                    store(s_.side_slot_fwd, c + 1, [&] { return read(s_.side_slot_fwd, c) - s_.back_step; });
                    end_step(135);
                    store(s_.side_slot_ordered, c + 1, [&] { return read(s_.side_slot_fwd, c + 1); });
                    end_step(136);
                    store(s_.side_kind, c, [] { return 1; });
                    end_step(137);
                } else {
                    store(s_.side_slot_fwd, c + 1, [&] { return read(s_.side_slot_fwd, c) + s_.forward_step; });
                    end_step(139);
                    store(s_.side_slot_ordered, c + 1, [&] { return read(s_.side_slot_fwd, c + 1); });
                    end_step(140);
                    store(s_.side_kind, c, [] { return 1; });
                    end_step(141);
                }
            });
        }
    });
    loop(146, s_.loop_k, double(c), [&] {
        store(s_.side_slot, s_.loop_k, [&] { return read(s_.side_slot_ordered, s_.loop_k); });
        end_step(147);
    });
}

}  // namespace winding
