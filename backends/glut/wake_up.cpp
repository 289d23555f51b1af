#include "backends/glut/wake_up.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace screen {

wake_up::wake_up() : fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (fd_ < 0) open_error_ = errno;
}

wake_up::~wake_up() {
    if (fd_ >= 0) close(fd_);
}

void wake_up::signal() const {
    // Only write(): nothing here may lock or allocate. A counter near its
    // ceiling fails to add, and is readable all the same.
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = write(fd_, &one, sizeof one);
}

void wake_up::drain() const {
    std::uint64_t count;
    while (read(fd_, &count, sizeof count) > 0) {
    }
}

}  // namespace screen
