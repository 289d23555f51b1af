// The one seam between the screen layer's core and a window system: keys come
// in through key_sink, and the core asks the platform for time, sleep, a
// Yes/No question, the process end, and hands it finished frames.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace screen {

// How the picture follows the window when the user resizes it.
enum class resize_scaling { none, stretch, stretch_smooth };

// A finished picture: 640x350 pixels as 0xRRGGBB, plus the window settings.
struct screen_frame {
    std::vector<std::uint32_t> rgb;
    std::string title;
    resize_scaling scaling = resize_scaling::none;
    std::uint64_t version = 0;
};

// What a backend calls when the user does something (from any thread).
class key_sink {
public:
    virtual ~key_sink() = default;
    // One keyboard-buffer entry: a character, or a zero character followed
    // by the scan code of an extended key.
    virtual void key_typed(const std::string& entry) = 0;
    virtual void pause_key() = 0;
    // The close box or Ctrl+Break.
    virtual void stop_request() = 0;
};

class platform {
public:
    virtual ~platform() = default;
    virtual void attach(key_sink& sink) = 0;
    // Monotonic seconds.
    virtual double clock_seconds() = 0;
    // Called on the program thread; keys may arrive meanwhile.
    virtual void sleep_seconds(double seconds) = 0;
    // One pass of a program's polling loop over read_key, and only that:
    // the backend may give the processor away here, briefly, or until input.
    virtual void yield_moment() = 0;
    // How often a delay looks for Pause and stop requests while it waits.
    virtual double delay_check_seconds() const { return 0.009; }
    // A system-modal question; true for Yes.
    virtual bool ask_yes_no(const std::string& title, const std::string& text) = 0;
    virtual void present_frame(const screen_frame& frame) = 0;
    // The picture has changed since the last frame was made (said once per
    // frame, from the thread that changed it, with the picture locked): a
    // backend can sleep while nothing changes instead of polling for it.
    virtual void picture_changed() {}
    // The process is to end with this code; the core then unwinds the
    // program thread, so a backend may also return from here.
    virtual void end_process(int exit_code) = 0;
};

}  // namespace screen
