// The Yes/No question as a top-level X window of its own, on its own X
// connection, so that it works while the window thread keeps drawing: the
// title, the lines of the text, a Yes and a No button. Y and Return answer
// Yes; N, Escape and the close box answer No. It takes the keyboard focus.
#pragma once

#include <atomic>
#include <string>

namespace screen {

class yes_no_dialog {
public:
    yes_no_dialog();
    ~yes_no_dialog();
    yes_no_dialog(const yes_no_dialog&) = delete;
    yes_no_dialog& operator=(const yes_no_dialog&) = delete;

    // Blocks until answered; true for Yes. `owner` is the X window the
    // question belongs to (0 for none). No when the display cannot be
    // opened or once cancelled.
    bool ask(const std::string& title, const std::string& text, unsigned long owner);
    // From any thread: the open question, and every later one, is answered No.
    void cancel();

private:
    std::atomic<bool> cancelled_{false};
    int wake_pipe_[2] = {-1, -1};
};

}  // namespace screen
