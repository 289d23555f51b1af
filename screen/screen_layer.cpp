#include "screen/screen_layer.h"

#include <algorithm>

#include "screen/circle_raster.h"
#include "screen/line_raster.h"
#include "screen/number_entry.h"

namespace screen {
namespace {

constexpr double longest_delay_s = 2147483.647;
constexpr int last_pixel_row = screen_height - 1;

bool is_colour(std::int32_t c) { return c >= 0 && c <= 15; }

}  // namespace

screen_layer::screen_layer(platform& backend) : backend_(backend) { backend_.attach(*this); }

// ---- screen, colours, window ----

void screen_layer::set_screen_mode() {
    if (begin_operation()) return;
    std::lock_guard lock(picture_mutex_);
    pixels_ = framebuffer{};
    palette_ = default_palette();
    viewport_ = viewport{};
    viewport_set_ = false;
    text_.reset();
    foreground_ = 15;
    changed();
}

void screen_layer::set_resize_mode(resize_scaling scaling) {
    if (begin_operation()) return;
    std::lock_guard lock(picture_mutex_);
    scaling_ = scaling;
    changed();
}

void screen_layer::set_window_title(std::string_view title) {
    if (begin_operation()) return;
    std::lock_guard lock(picture_mutex_);
    title_ = title;
    changed();
}

void screen_layer::set_colour(std::int32_t foreground, std::optional<std::int32_t> background) {
    if (begin_operation()) return;
    if (!is_colour(foreground) || (background && (*background < 0 || *background > 63))) {
        raise_error(error_illegal_function_call);
        return;
    }
    std::lock_guard lock(picture_mutex_);
    foreground_ = std::uint8_t(foreground);
    // Only the background and the cursor's colour show in a frame.
    const std::uint32_t background_rgb = background ? ega64_colour(*background) : palette_[0];
    if (background_rgb != palette_[0] || cursor_shown_) changed();
    palette_[0] = background_rgb;
}

// ---- text ----

void screen_layer::set_text_position(std::int32_t row, std::int32_t column) {
    if (begin_operation()) return;
    if (row < 1 || row > text_rows || column < 1 || column > text_columns) {
        raise_error(error_illegal_function_call);
        return;
    }
    std::lock_guard lock(picture_mutex_);
    text_.move_to(row, column);
    if (cursor_shown_) changed();
}

void screen_layer::print_string(std::string_view text, bool line_end) {
    if (begin_operation()) return;
    std::lock_guard lock(picture_mutex_);
    text_.print(pixels_, text, foreground_);
    if (line_end) text_.line_end(pixels_);
    changed();
}

void screen_layer::wrap_before_print(std::size_t length) {
    if (begin_operation()) return;
    std::lock_guard lock(picture_mutex_);
    text_.wrap_before_print(pixels_, length);
    changed();
}

void screen_layer::print_next_zone() {
    if (begin_operation()) return;
    std::lock_guard lock(picture_mutex_);
    text_.next_zone(pixels_, foreground_);
    changed();
}

bool screen_layer::input_values(float& value) {
    if (begin_operation()) return false;
    std::string typed;
    auto show_cursor = [this](bool shown) {
        std::lock_guard lock(picture_mutex_);
        cursor_shown_ = shown;
        changed();
    };
    show_cursor(true);
    for (;;) {
        const std::string key = next_key();
        if (key.empty()) {
            show_cursor(false);
            return true;
        }
        if (key == "\r") break;
        std::lock_guard lock(picture_mutex_);
        if (key == "\b") {
            if (typed.empty()) continue;
            typed.pop_back();
            text_.move_to(text_.row(), text_.column() - 1);
            text_layer::draw_cell(pixels_, text_.row(), text_.column(), ' ', foreground_);
            changed();
        } else if (key.size() == 1 && text_.column() < text_columns &&
                   number_entry_accepts(typed, key[0])) {
            typed += key[0];
            text_.print(pixels_, key, foreground_);
            changed();
        }
    }
    value = number_entry_value(typed);
    std::lock_guard lock(picture_mutex_);
    cursor_shown_ = false;
    text_.line_end(pixels_);
    changed();
    return false;
}

// ---- graphics ----

void screen_layer::draw_line(float x1, float y1, float x2, float y2, std::optional<std::int32_t> colour,
                             std::optional<std::int32_t> style) {
    if (begin_operation()) return;
    if (colour && !is_colour(*colour)) {
        raise_error(error_illegal_function_call);
        return;
    }
    std::lock_guard lock(picture_mutex_);
    rasterise_line(pixels_, viewport_, x1, y1, x2, y2, std::uint8_t(colour.value_or(foreground_)),
                   std::uint16_t(style.value_or(0xFFFF) & 0xFFFF));
    changed();
}

void screen_layer::draw_circle(double x, double y, double radius, std::optional<std::int32_t> colour) {
    if (begin_operation()) return;
    if (colour && !is_colour(*colour)) {
        raise_error(error_illegal_function_call);
        return;
    }
    std::lock_guard lock(picture_mutex_);
    rasterise_circle(pixels_, viewport_, x, y, radius, std::uint8_t(colour.value_or(foreground_)));
    changed();
}

void screen_layer::set_viewport(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    if (begin_operation()) return;
    auto on_screen = [](std::int32_t x, std::int32_t y) {
        return x >= 0 && x < screen_width && y >= 0 && y < screen_height;
    };
    if (!on_screen(x1, y1) || !on_screen(x2, y2)) {
        raise_error(error_illegal_function_call);
        return;
    }
    std::lock_guard lock(picture_mutex_);
    viewport_ = viewport{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
    viewport_set_ = true;
}

void screen_layer::clear_screen() {
    if (begin_operation()) return;
    std::lock_guard lock(picture_mutex_);
    pixels_.fill(viewport_.x0, viewport_.y0, viewport_.x1, viewport_.y1, 0);
    if (!viewport_set_) text_.reset();
    changed();
}

// ---- keyboard and time ----

std::string screen_layer::read_key() {
    // Only a polling loop sleeps: an empty read that follows an empty read
    // with no other operation between. It sleeps until a key, Pause or a
    // stop request, which is all that can end its loop. The animation polls
    // once per segment between drawings, and must not wait there.
    const bool polling = last_read_empty_;
    if (begin_operation()) return {};
    std::string key = keys_.pop();
    last_read_empty_ = key.empty();
    if (polling && key.empty()) backend_.sleep_until({});
    return key;
}

std::string screen_layer::next_key() {
    for (;;) {
        if (stop_requested()) return {};
        if (std::string key = keys_.pop(); !key.empty()) return key;
        backend_.sleep_until({});
    }
}

void screen_layer::delay_seconds(double seconds) {
    if (begin_operation()) return;
    if (!(seconds >= 0 && seconds <= longest_delay_s)) {
        raise_error(error_illegal_function_call);
        return;
    }
    // One sleep to the end, unless Pause or a stop request (or a key, which
    // changes nothing here) comes first.
    const double end = backend_.clock_seconds() + seconds;
    while (backend_.clock_seconds() < end) {
        backend_.sleep_until(end);
        if (event_pending()) service_pause_and_stop();
    }
}

// ---- errors, the event check and the end ----

void screen_layer::raise_error(int code) {
    if (pending_error_ != 0) return;
    pending_error_ = code;
    event_indicator_ = true;
}

void screen_layer::service_pause_and_stop() {
    event_indicator_ = false;
    for (;;) {
        if (stop_requested()) end_thread(run_end::stopped);
        if (!paused_) return;
        backend_.sleep_until({});  // the key that ends the pause, or a stop request
    }
}

void screen_layer::step_event_check(int step_number) {
    event_indicator_ = false;
    if (stop_requested()) end_thread(run_end::stopped);
    if (pending_error_ != 0) {
        publish_frame_if_changed();
        const bool go_on = backend_.ask_yes_no(error_report_title(pending_error_),
                                               error_report_text(pending_error_, step_number));
        if (!go_on) end_process(run_end::error_declined, 0);
        pending_error_ = 0;
    }
    service_pause_and_stop();
}

void screen_layer::halt_program() { end_thread(run_end::halted); }

void screen_layer::end_program() {
    {
        std::lock_guard lock(picture_mutex_);
        const int top = (text_rows - 1) * cell_height;
        pixels_.fill(0, top, screen_width - 1, last_pixel_row, 0);
        text_.move_to(text_rows, 1);
        text_.print(pixels_, "Press any key to continue", foreground_);
        changed();
    }
    keys_.clear();
    end_process(next_key().empty() ? run_end::stopped : run_end::end_prompt, 0);
}

void screen_layer::end_thread(run_end how) {
    ending_ = how;
    throw program_thread_end{};
}

void screen_layer::end_process(run_end how, int exit_code) {
    ending_ = how;
    process_ended_ = true;
    publish_frame_if_changed();
    backend_.end_process(exit_code);
    throw program_thread_end{};
}

run_end screen_layer::run(const std::function<void()>& program) {
    try {
        program();
        ending_ = run_end::returned;
    } catch (const program_thread_end&) {
    }
    if (!process_ended_) {
        // The program thread is over; the process ends from this side.
        process_ended_ = true;
        publish_frame_if_changed();
        backend_.end_process(0);
    }
    return ending_;
}

// ---- the backend's side ----

// Each of these wakes a sleeping program after the change it makes, so
// that the program's next look sees it.

void screen_layer::key_typed(const std::string& entry) {
    // The key that ends a pause is swallowed.
    if (!paused_.exchange(false)) keys_.push(entry);
    backend_.wake_program();
}

void screen_layer::pause_key() {
    paused_ = true;
    event_indicator_ = true;
    backend_.wake_program();
}

void screen_layer::stop_request() {
    stop_requested_ = true;
    event_indicator_ = true;
    backend_.wake_program();
}

// ---- frames ----

void screen_layer::make_frame_locked(screen_frame& frame) const {
    frame.rgb.resize(std::size_t(screen_width) * screen_height);
    const auto& px = pixels_.pixels();
    for (std::size_t i = 0; i < px.size(); ++i) frame.rgb[i] = palette_[px[i]];
    if (cursor_shown_ && !text_.line_end_pending()) {
        const int x0 = (text_.column() - 1) * cell_width, y0 = (text_.row() - 1) * cell_height;
        for (int y = y0; y < y0 + cell_height; ++y)
            for (int x = x0; x < x0 + cell_width; ++x)
                frame.rgb[std::size_t(y) * screen_width + std::size_t(x)] = palette_[foreground_];
    }
    frame.title = title_;
    frame.scaling = scaling_;
    frame.version = version_;
}

screen_frame screen_layer::make_frame() const {
    screen_frame frame;
    std::lock_guard lock(picture_mutex_);
    make_frame_locked(frame);
    return frame;
}

bool screen_layer::publish_frame_if_changed() {
    // The program thread and the refresh step may publish at the same time:
    // the newer frame must not arrive first.
    // The frame's buffer is kept: a fresh one costs its page faults each time.
    std::lock_guard order(publish_mutex_);
    {
        std::lock_guard lock(picture_mutex_);
        if (version_ == published_version_) return false;
        make_frame_locked(publishing_);
        published_version_ = version_;
    }
    backend_.present_frame(publishing_);
    return true;
}

std::uint8_t screen_layer::pixel(int x, int y) const {
    std::lock_guard lock(picture_mutex_);
    return pixels_.at(x, y);
}

framebuffer screen_layer::pixels_snapshot() const {
    std::lock_guard lock(picture_mutex_);
    return pixels_;
}

std::uint32_t screen_layer::pixel_rgb(int x, int y) const {
    std::lock_guard lock(picture_mutex_);
    return palette_[pixels_.at(x, y)];
}

screen_palette screen_layer::palette() const {
    std::lock_guard lock(picture_mutex_);
    return palette_;
}

std::string screen_layer::window_title() const {
    std::lock_guard lock(picture_mutex_);
    return title_;
}

resize_scaling screen_layer::scaling() const {
    std::lock_guard lock(picture_mutex_);
    return scaling_;
}

}  // namespace screen
