// The keyboard buffer: keys typed on the window thread, taken on the program thread.
#pragma once

#include <deque>
#include <mutex>
#include <string>

namespace screen {

class keyboard_buffer {
public:
    static constexpr std::size_t capacity = 15;
    // A key typed into a full buffer is lost.
    void push(const std::string& entry);
    // The oldest entry, or an empty text when none waits.
    std::string pop();
    void clear();

private:
    mutable std::mutex mutex_;
    std::deque<std::string> entries_;
};

}  // namespace screen
