#include "winding/scheme_geometry.h"

namespace winding {

extended phase_offset(const working_state& s) {
    return ((s.phase - 1) + (s.phase - 1)) * s.slots_per_pole_phase * s.slot_pitch_px;
}

extended phase_origin(const working_state& s) { return single(s.left_margin_px + phase_offset(s)); }

extended point_x(const working_state& s, extended slot_position) {
    return slot_position * s.slot_pitch_px + phase_origin(s);
}

extended point_y(const working_state& s, extended height) { return height * s.height_unit_px; }

bool wraps_around(const working_state& s, extended first_slot) {
    const extended rounded_offset = single(phase_offset(s));
    return first_slot * s.slot_pitch_px + rounded_offset > (s.slot_count - s.coil_pitch) * s.slot_pitch_px;
}

}  // namespace winding
