// The screen layer: the 640x350 16-colour screen with its 80x25 text layer,
// the keyboard buffer, the delays, the event check, the runtime error
// reports and the end of the program. The winding program calls only the
// operations in the first block; a backend reaches it through core_link.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "screen/framebuffer.h"
#include "screen/keyboard_buffer.h"
#include "screen/number_text.h"
#include "screen/palette.h"
#include "screen/platform.h"
#include "screen/runtime_error.h"
#include "screen/text_layer.h"

namespace screen {

// Thrown on the program thread to end it; only the program runner catches it.
struct program_thread_end {};

// How a run of the program ended.
enum class run_end {
    running,
    end_prompt,      // end_program took its key
    halted,          // halt_program after a stopped number entry
    stopped,         // a stop request at an event check or inside a delay
    error_declined,  // No to an error report
    returned,        // the program returned on its own
};

class screen_layer final : public core_link {
public:
    explicit screen_layer(platform& backend);
    screen_layer(const screen_layer&) = delete;
    screen_layer& operator=(const screen_layer&) = delete;

    // ---- operations of the winding program ----
    void set_screen_mode();
    void set_resize_mode(resize_scaling scaling);
    void set_window_title(std::string_view title);
    void set_colour(std::int32_t foreground, std::optional<std::int32_t> background = {});
    void set_text_position(std::int32_t row, std::int32_t column);
    void print_string(std::string_view text, bool line_end);
    void wrap_before_print(std::size_t length);
    void print_next_zone();
    // Reads one number with echo; true when a stop request ended the entry.
    bool input_values(float& value);
    void draw_line(float x1, float y1, float x2, float y2, std::optional<std::int32_t> colour = {},
                   std::optional<std::int32_t> style = {});
    void draw_circle(double x, double y, double radius, std::optional<std::int32_t> colour = {});
    void set_viewport(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
    void clear_screen();
    std::string read_key();
    void delay_seconds(double seconds);
    bool event_pending() const { return event_indicator_.load(); }
    void step_event_check(int step_number);
    [[noreturn]] void halt_program();
    [[noreturn]] void end_program();

    // Runtime errors: pending until the step's event check; the first one wins.
    void raise_error(int code);
    bool error_pending() const { return pending_error_ != 0; }
    bool stop_requested() const { return stop_requested_.load(); }

    // ---- core_link: the backend's side ----
    void key_typed(const std::string& entry) override;
    void pause_key() override;
    void stop_request() override;
    bool publish_frame_if_changed() override;

    // ---- for the runner, backends and tests ----
    // Runs the program on the calling thread until it ends one way or another.
    run_end run(const std::function<void()>& program);
    screen_frame make_frame() const;
    std::uint8_t pixel(int x, int y) const;
    framebuffer pixels_snapshot() const;
    std::uint32_t pixel_rgb(int x, int y) const;
    screen_palette palette() const;
    std::string window_title() const;
    resize_scaling scaling() const;
    int foreground() const { return foreground_; }
    int cursor_row() const { return text_.row(); }
    int cursor_column() const { return text_.column(); }
    viewport active_viewport() const { return viewport_; }

private:
    // Every operation of the program starts here; true when a pending
    // error makes it do nothing.
    bool begin_operation() {
        last_read_empty_ = false;
        return error_pending();
    }
    void changed() {
        if (version_++ == published_version_) backend_.picture_changed();
    }
    // The number entry's and the end prompt's wait: the next key, asleep
    // until one comes; empty once a stop is requested.
    std::string next_key();
    // Pause and stop requests between steps and inside delays.
    void service_pause_and_stop();
    [[noreturn]] void end_thread(run_end how);
    [[noreturn]] void end_process(run_end how, int exit_code);
    void make_frame_locked(screen_frame& frame) const;

    platform& backend_;
    mutable std::mutex picture_mutex_;  // the picture and window settings
    std::mutex publish_mutex_;          // frames reach the backend in version order
    screen_frame publishing_;           // under publish_mutex_
    framebuffer pixels_;
    screen_palette palette_ = default_palette();
    viewport viewport_;
    bool viewport_set_ = false;
    text_layer text_;
    std::uint8_t foreground_ = 15;
    std::string title_;
    resize_scaling scaling_ = resize_scaling::none;
    bool cursor_shown_ = false;
    std::uint64_t version_ = 1;
    std::uint64_t published_version_ = 0;

    keyboard_buffer keys_;
    std::atomic<bool> event_indicator_{false};
    std::atomic<bool> stop_requested_{false};
    std::atomic<bool> paused_{false};
    int pending_error_ = 0;
    bool last_read_empty_ = false;  // the program's last operation was an empty read_key
    run_end ending_ = run_end::running;
    bool process_ended_ = false;
};

}  // namespace screen
