// A file descriptor that a poll() loop sleeps on and any thread, or a
// signal handler, makes readable to wake it. Any thread may use it.
#pragma once

namespace screen {

class wake_up {
public:
    wake_up();
    ~wake_up();
    wake_up(const wake_up&) = delete;
    wake_up& operator=(const wake_up&) = delete;

    // False when the descriptor could not be made; open_error() is the errno.
    bool ok() const { return fd_ >= 0; }
    int open_error() const { return open_error_; }
    // For poll(), POLLIN: readable from signal() until drain().
    int fd() const { return fd_; }
    // Async-signal-safe.
    void signal() const;
    void drain() const;

private:
    int fd_ = -1;
    int open_error_ = 0;
};

}  // namespace screen
