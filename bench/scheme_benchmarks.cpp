// Figures for the hot paths: whole runs on the headless backend at pause 0,
// lines far off the screen, and turning the picture into a frame.
//   bash scripts/bench   (or build/bench/scheme_benchmarks)
#include <string>

#include <benchmark/benchmark.h>

#include "screen/line_raster.h"
#include "tests/scheme_run.h"

namespace {

// A whole run for Z and p' with 150 "+" typed one per segment: after them
// the pause is 0, so the figure is the program's own work.
void whole_run(benchmark::State& state, const std::string& z, const std::string& p) {
    double segments = 0;
    for (auto _ : state) {
        scheme_test::scheme_run r;
        r.enter(z, p, false).key_per_segment([](int n) { return n <= 150 ? "+" : ""; }).finish_when_drawn();
        r.run();
        segments = 3 * (2 * std::stod(z) - 2);
        benchmark::DoNotOptimize(r.backend.last_frame().rgb.data());
    }
    state.counters["segments"] = segments;
    state.counters["per_segment"] =
        benchmark::Counter(segments, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK_CAPTURE(whole_run, z_24_p_4, "24", "4")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(whole_run, z_96_p_4, "96", "4")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(whole_run, z_498_p_2, "498", "2")->Unit(benchmark::kMillisecond);

void far_lines(benchmark::State& state) {
    screen::framebuffer fb;
    for (auto _ : state) {
        screen::rasterise_line(fb, screen::viewport{}, -3e38f, -1e37f, 3e38f, 2e37f, 15, 0xFF00);
        benchmark::DoNotOptimize(fb.pixels().data());
    }
}
BENCHMARK(far_lines);

void frame_out(benchmark::State& state) {
    screen::headless_platform backend;
    screen::screen_layer screen(backend);
    screen.set_screen_mode();
    for (auto _ : state) benchmark::DoNotOptimize(screen.make_frame().rgb.data());
}
BENCHMARK(frame_out);

}  // namespace

BENCHMARK_MAIN();
