// Pause accuracy on the window backend: delay_seconds for 1 s down to
// 2^-10 s and 0, requested against measured, how many sleeps one delay
// took (one, when nothing happens meanwhile) and how late the latest of
// them woke after its deadline. A decorator backend forwards everything to
// the glut one and times its sleeps. Needs a display; prints a table,
// asserts nothing.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "backends/glut/glut_platform.h"
#include "screen/screen_layer.h"

namespace {

using clock_type = std::chrono::steady_clock;

double seconds_since(clock_type::time_point t) {
    return std::chrono::duration<double>(clock_type::now() - t).count();
}

class timed_platform final : public screen::platform {
public:
    explicit timed_platform(screen::glut_platform& inner) : inner_(inner) {}

    void start_delay() {
        sleeps_ = 0;
        latest_wake_ = 0;
    }
    int sleeps() const { return sleeps_; }
    double latest_wake() const { return latest_wake_; }

    void attach(screen::core_link& core) override { inner_.attach(core); }
    double clock_seconds() override { return inner_.clock_seconds(); }
    void sleep_until(std::optional<double> deadline) override {
        ++sleeps_;
        inner_.sleep_until(deadline);
        if (deadline) latest_wake_ = std::max(latest_wake_, inner_.clock_seconds() - *deadline);
    }
    void wake_program() override { inner_.wake_program(); }
    bool ask_yes_no(const std::string& title, const std::string& text) override {
        return inner_.ask_yes_no(title, text);
    }
    void present_frame(const screen::screen_frame& frame) override { inner_.present_frame(frame); }
    void picture_changed() override { inner_.picture_changed(); }
    void end_process(int exit_code) override { inner_.end_process(exit_code); }

private:
    screen::glut_platform& inner_;
    int sleeps_ = 0;
    double latest_wake_ = 0;
};

void measure(screen::screen_layer& s, timed_platform& timed) {
    s.set_screen_mode();
    s.set_window_title("delay accuracy");
    s.print_string("measuring delays", true);
    // The program starts before the window opens: measure once it is up.
    s.delay_seconds(1.0);
    std::printf("%-12s %5s %12s %12s %12s %8s %10s %8s\n", "requested_s", "runs", "mean_s", "worst_err_ms",
                "allowed_ms", "sleeps", "late_ms", "within");
    for (int k = 0; k <= 11; ++k) {
        const double requested = k == 11 ? 0.0 : std::ldexp(1.0, -k);
        const int runs = k == 11 ? 1000 : std::clamp(1 << k, 3, 64);
        double total = 0, worst = 0, late = 0;
        int sleeps = 0;
        for (int i = 0; i < runs; ++i) {
            timed.start_delay();
            const auto t0 = clock_type::now();
            s.delay_seconds(requested);
            const double measured = seconds_since(t0);
            total += measured;
            worst = std::max(worst, std::abs(measured - requested));
            sleeps = std::max(sleeps, timed.sleeps());
            late = std::max(late, timed.latest_wake());
        }
        const double allowed = 0.002 + 0.01 * requested;
        std::printf("%-12.6g %5d %12.6f %12.3f %12.3f %8d %10.3f %8s\n", requested, runs, total / runs,
                    worst * 1e3, allowed * 1e3, sleeps, late * 1e3, worst < allowed ? "yes" : "no");
        std::fflush(stdout);
    }
}

}  // namespace

int main() {
    screen::glut_platform backend;
    timed_platform timed(backend);
    screen::screen_layer screen(timed);
    return backend.run([&] { screen.run([&] { measure(screen, timed); }); });
}
