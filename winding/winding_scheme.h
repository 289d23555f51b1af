// The winding scheme demonstration: it draws the developed scheme of a
// two-layer, full-pitch lap winding of a three-phase machine for the number
// of slots and of poles the user types, phase by phase.
#pragma once

#include "screen/screen_layer.h"

namespace winding {

// The whole run, from the header to the end prompt; it does not return
// (the screen layer ends it).
void main_module(screen::screen_layer& screen);

}  // namespace winding
