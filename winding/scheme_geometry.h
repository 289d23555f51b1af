// Where the phase being drawn stands on the screen: slot position k at
// x = 20 + k * dx plus 2q slots per phase, height h at y = 60 h.
#pragma once

#include "winding/working_state.h"

namespace winding {

// ((p - 1) + (p - 1)) * q * dx: the sum first, then the two products.
extended phase_offset(const working_state& s);
// The left margin plus the phase offset, rounded to a float.
extended phase_origin(const working_state& s);
// Neither is rounded here: each use rounds as it hands the value on.
extended point_x(const working_state& s, extended slot_position);
extended point_y(const working_state& s, extended height);
// Whether a segment whose first point lies at `first_slot` also gets a copy
// shifted left by Z slots: that point, phase offset (rounded to a float)
// included, lies more than Z - y1 slots right of slot position 0.
bool wraps_around(const working_state& s, extended first_slot);

}  // namespace winding
