#include "screen/runtime_error.h"

namespace screen {

const char* runtime_error_message(int code) {
    switch (code) {
        case error_illegal_function_call: return "Illegal function call";
        case error_overflow: return "Overflow";
        case error_subscript_out_of_range: return "Subscript out of range";
        default: return "Unprintable error";
    }
}

std::string error_report_title(int code) { return "Unhandled Error #" + std::to_string(code); }

std::string error_report_text(int code, int step_number) {
    return "Line:" + std::to_string(step_number) + "\n" + runtime_error_message(code) + "\nContinue?";
}

}  // namespace screen
