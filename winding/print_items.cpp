// Print items and number entry, as every section puts them out.
#include "screen/number_text.h"
#include "winding/winding_run.h"

namespace winding {

void winding_run::print_item(std::string_view text) {
    screen_.wrap_before_print(text.size());
    screen_.print_string(text, false);
}

void winding_run::print_number(single value) { print_item(screen::single_to_string(value.stored()) + " "); }

void winding_run::print_line_end() { screen_.print_string("", true); }

void winding_run::enter_number(single& variable) {
    float value = variable.stored();
    const bool stopped = screen_.input_values(value);
    variable = value;
    if (stopped) screen_.halt_program();
}

}  // namespace winding
