#include "screen/keyboard_buffer.h"

namespace screen {

void keyboard_buffer::push(const std::string& entry) {
    std::lock_guard lock(mutex_);
    if (entries_.size() < capacity) entries_.push_back(entry);
}

std::string keyboard_buffer::pop() {
    std::lock_guard lock(mutex_);
    if (entries_.empty()) return {};
    std::string front = std::move(entries_.front());
    entries_.pop_front();
    return front;
}

void keyboard_buffer::clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
}

}  // namespace screen
