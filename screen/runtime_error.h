// The runtime errors that the screen layer reports at the event check.
#pragma once

#include <string>

namespace screen {

constexpr int error_illegal_function_call = 5;
constexpr int error_overflow = 6;
constexpr int error_subscript_out_of_range = 9;

const char* runtime_error_message(int code);

// The question asked for a pending error: its title and its three lines.
std::string error_report_title(int code);
std::string error_report_text(int code, int step_number);

}  // namespace screen
