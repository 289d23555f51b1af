// The Yes/No question as a top-level X window of its own, on its own X
// connection, so that it works while the window thread keeps drawing: the
// title, the lines of the text, a Yes and a No button. Y and Return answer
// Yes; N, Escape and the close box answer No. It takes the keyboard focus.
// ask runs on the program thread, cancel on any thread.
#pragma once

#include <atomic>
#include <string>

#include "backends/glut/wake_up.h"

namespace screen {

class yes_no_dialog {
public:
    // Blocks until answered; true for Yes. `owner` is the X window the
    // question belongs to (0 for none). No when the display cannot be
    // opened or once cancelled.
    bool ask(const std::string& title, const std::string& text, unsigned long owner);
    // From any thread: the open question, and every later one, is answered No.
    void cancel();

private:
    std::atomic<bool> cancelled_{false};
    wake_up cancel_wake_;
};

}  // namespace screen
