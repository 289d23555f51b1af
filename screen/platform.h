// The one seam between the screen layer's core and a window system, both
// ways: a backend brings keys, Pause and stop requests in through core_link
// and takes finished frames from it; the core asks the platform for time,
// sleep, a Yes/No question and the process end, and hands it the frames.
//
// Threads: the program thread runs the program and with it the core; the
// backend brings input in on threads of its own (the headless backend on
// the program thread, from its script).
//
// Sleeping: a program that waits sleeps until something happens, and only
// then. The core sleeps in sleep_until, and wakes itself through
// wake_program for every key, Pause and stop request it is handed; nothing
// else ends a sleep before its deadline. Every wait of the core (the number
// entry, a delay, a Pause, a polling loop over read_key, the end prompt) is
// a loop that looks at its state and sleeps until the next thing that can
// change it.
#pragma once

#include <cstdint>
#include <optional>
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
    // Any backend thread: one keyboard-buffer entry, a character or a zero
    // character followed by the scan code of an extended key.
    virtual void key_typed(const std::string& entry) = 0;
    // Any backend thread: Pause, and the close box or Ctrl+Break.
    virtual void pause_key() = 0;
    virtual void stop_request() = 0;
    // A backend thread, at the backend's refresh beat: hands the backend a
    // new frame through present_frame when the picture changed since the
    // last one.
    virtual bool publish_frame_if_changed() = 0;
};

// The window system as the core sees it. The core makes every call below
// from the program thread, except where a call says otherwise.
class platform {
public:
    virtual ~platform() = default;
    // The core's constructor, before any other thread of the backend runs.
    virtual void attach(core_link& core) = 0;
    // Monotonic seconds.
    virtual double clock_seconds() = 0;
    // Sleeps until clock_seconds() reaches `deadline` (none: no limit) or
    // wake_program is called, whichever comes first. A wake_program since
    // the last sleep returned ends the next one at once, so that input
    // handed to the core between its look and its sleep is not slept
    // through. The sleep ends for nothing else.
    virtual void sleep_until(std::optional<double> deadline) = 0;
    // Any thread, from inside the core's key_typed, pause_key and
    // stop_request: ends the program thread's sleep, or its next one.
    virtual void wake_program() = 0;
    // A system-modal question; true for Yes.
    virtual bool ask_yes_no(const std::string& title, const std::string& text) = 0;
    // The program thread (before a question, at the end) or the thread that
    // called publish_frame_if_changed; one call at a time, newer frames last.
    virtual void present_frame(const screen_frame& frame) = 0;
    // With the picture locked: the picture has changed since the last
    // frame was made, said once per frame. A backend can sleep while nothing changes instead of polling
    // for it. It must not call the core from here.
    virtual void picture_changed() {}
    // The process is to end with this code; the core then unwinds the
    // program thread, so a backend may also return from here.
    virtual void end_process(int exit_code) = 0;
};

}  // namespace screen
