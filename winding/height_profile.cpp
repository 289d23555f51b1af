// Heights of the path points: a cosine profile with period six points, the
// jumper rows between pole groups (one pair of rows per phase), and the two
// leads at the terminal row.
#include <array>
#include <cmath>

#include "winding/winding_run.h"

namespace winding {
namespace {

// Steps of the boundary loop: head, parity test, three stores for an even
// boundary, three for an odd one.
struct jumper_steps {
    int head, parity;
    std::array<int, 3> even, odd;
};
constexpr std::array<jumper_steps, 3> jumper_step_numbers = {{
    {96, 97, {98, 99, 100}, {102, 103, 104}},
    {205, 206, {207, 208, 209}, {211, 212, 213}},
    {219, 220, {221, 222, 223}, {225, 226, 227}},
}};

// Rows of a jumper by phase, for even and odd boundary numbers: each triple
// rises by 0.001 and stays on one pixel row.
constexpr std::array<std::array<std::array<float, 3>, 2>, 3> jumper_heights = {{
    {{{4.299f, 4.3f, 4.301f}, {4.199f, 4.2f, 4.201f}}},
    {{{4.599f, 4.6f, 4.601f}, {4.499f, 4.5f, 4.501f}}},
    {{{4.899f, 4.9f, 4.901f}, {4.799f, 4.8f, 4.801f}}},
}};

constexpr float lead_height = 5.2f;

}  // namespace

void winding_run::height_profile() {
    loop(90, s_.point_index, double(s_.slot_count + s_.slot_count), [&] {
        s_.profile_angle = ((s_.point_index - 1) * 3.141592654) / 3.0;
        end_step(91);
        store(s_.path_height, s_.point_index - 1,
              [&] { return extended(std::cos(double(s_.profile_angle))) * 1.5 + 2.5; });
        end_step(92);
    });
    jumper_levels(1);
    store(s_.path_height, 1, [] { return lead_height; });
    end_step(107);
    store(s_.path_height, (s_.slot_count + s_.slot_count) - 1, [] { return lead_height; });
    end_step(108);
}

void winding_run::jumper_levels(int phase) {
    const jumper_steps& steps = jumper_step_numbers[std::size_t(phase - 1)];
    const auto& rows = jumper_heights[std::size_t(phase - 1)];
    loop(steps.head, s_.group_boundary, double(s_.pole_count - 1), [&] {
        const bool even = test(steps.parity, is_even(s_.group_boundary));
        const auto& row = rows[even ? 0 : 1];
        const auto& step = even ? steps.even : steps.odd;
        const extended b = ((s_.group_boundary + s_.group_boundary) * s_.slot_count) / s_.pole_count;
        const std::array<extended, 3> at = {b - 1, b, b + 1};
        for (std::size_t k = 0; k < 3; ++k) {
            store(s_.path_height, at[k], [&] { return row[k]; });
            end_step(step[k]);
        }
    });
}

}  // namespace winding
