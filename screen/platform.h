// The one seam between the screen layer's core and a window system, both
// ways: a backend brings keys, Pause and stop requests in through core_link
// and takes finished frames from it; the core asks the platform for time,
// sleep, a Yes/No question and the process end, and hands it the frames.
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

// The core as a backend sees it: everything a backend calls on it.
class core_link {
public:
    virtual ~core_link() = default;
    // Window thread: one keyboard-buffer entry, a character or a zero
    // character followed by the scan code of an extended key.
    virtual void key_typed(const std::string& entry) = 0;
    // Any backend thread: Pause, and the close box or Ctrl+Break.
    virtual void pause_key() = 0;
    virtual void stop_request() = 0;
    // Window thread, at its refresh beat: hands the backend a new frame
    // through present_frame when the picture changed since the last one.
    virtual bool publish_frame_if_changed() = 0;
};

// The window system as the core sees it. The program thread is the one the
// backend runs the program on; the core makes every call below from it,
// except attach and present_frame.
class platform {
public:
    virtual ~platform() = default;
    // The core's constructor, before any other thread of the backend runs.
    virtual void attach(core_link& core) = 0;
    // Monotonic seconds.
    virtual double clock_seconds() = 0;
    // Keys may arrive meanwhile.
    virtual void sleep_seconds(double seconds) = 0;
    // One pass of a program's polling loop over read_key, and only that:
    // the backend may give the processor away here, briefly, or until input.
    virtual void yield_moment() = 0;
    // How often a delay looks for Pause and stop requests while it waits.
    virtual double delay_check_seconds() const { return 0.009; }
    // A system-modal question; true for Yes.
    virtual bool ask_yes_no(const std::string& title, const std::string& text) = 0;
    // The program thread (before a question, at the end) or the thread that
    // called publish_frame_if_changed; one call at a time, newer frames last.
    virtual void present_frame(const screen_frame& frame) = 0;
    // The picture has changed since the last frame was made: said once per
    // frame, with the picture locked. A backend can sleep while nothing
    // changes instead of polling for it.
    virtual void picture_changed() {}
    // The process is to end with this code; the core then unwinds the
    // program thread, so a backend may also return from here.
    virtual void end_process(int exit_code) = 0;
};

}  // namespace screen
