// Everything the run keeps: seven working tables and its scalars, all zero
// at the start. Several scalars hold two roles one after the other.
#pragma once

#include <string>

#include "winding/number_model.h"

namespace winding {

struct working_state {
    // Path of one phase, point by point.
    working_table path_x;       // x in slot units
    working_table path_height;  // height in units of height_unit_px
    working_table path_kind;    // 1 or 2: the kind of the coil side the point belongs to
    // Coil sides of one phase.
    working_table side_slot_fwd;      // generation order (scratch)
    working_table side_slot_ordered;  // every even pole group reversed
    working_table side_slot;          // connection order
    working_table side_kind;          // 1: odd pole group, 2: even pole group

    single slot_count;            // Z
    single pole_count;            // p'
    single phase;                 // 3 (the divisor of q), then the phase being drawn
    single coil_pitch;            // y1 = Z / p'
    single slots_per_pole_phase;  // q = y1 / 3
    single group_count;           // pole groups of one phase
    single left_margin_px;        // x of slot position 0
    single slot_pitch_px;         // pixels from one slot to the next
    single height_unit_px;        // pixels per unit of path_height
    single forward_step;          // first side of a coil to its return side
    single back_step;             // return side to the next coil's first side
    single step_delay_s;          // pause before each drawn segment
    single point_index;
    single profile_angle;
    single group_boundary;
    single pole_group;    // a loop variable, then the rounded text column of a slot number
    single side_counter;  // coil sides generated so far, then the current coil side of the path
    single group_first_side;
    single reverse_index;
    single loop_i;  // x offset of the first header icon, then a loop variable
    single loop_k;  // x offset of header icons 2 and 3, then a loop variable
    single slot_label_col;
    single pole_boundary_slot;
    single phase_colour;
    single terminal_col;
    single terminal_row;
    single arrow_y;
    std::string key_pressed;  // the key last taken by the segment loop
};

}  // namespace winding
