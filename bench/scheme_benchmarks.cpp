// Figures for the hot paths: a whole run on the headless backend, lines far
// off the screen, and turning the picture into a frame. Run by hand:
//   build/bench/scheme_benchmarks
#include <string>

#include <benchmark/benchmark.h>

#include "screen/headless_platform.h"
#include "screen/line_raster.h"
#include "screen/screen_layer.h"
#include "winding/winding_scheme.h"

namespace {

// A whole run for Z and p' with every pause halved away.
void whole_run(benchmark::State& state, const std::string& z, const std::string& p) {
    for (auto _ : state) {
        screen::headless_platform backend;
        backend.default_answer(true);
        const double t = backend.type_at(backend.type_at(0.5, z + "\r") + 0.5, p + "\r");
        backend.type_at(t - 0.05, std::string(15, '+'), 0);
        backend.key_at(t + 100, "x").key_at(t + 101, "y");
        screen::screen_layer screen(backend);
        screen.run([&] { winding::main_module(screen); });
        benchmark::DoNotOptimize(backend.last_frame().rgb.data());
    }
}
BENCHMARK_CAPTURE(whole_run, z_24_p_4, "24", "4")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(whole_run, z_240_p_8, "240", "8")->Unit(benchmark::kMillisecond);

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
