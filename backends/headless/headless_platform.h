// A platform without a window, for tests: keys arrive from a script at given
// virtual times, the clock is virtual so that pauses cost no real time,
// Yes/No questions are answered from a script and logged, and the last
// frame is kept. A sleep moves the clock straight on to its deadline or to
// the next scripted event, whichever comes first, and ends when that event
// wakes the program, just as a window's sleep would; every sleep is logged.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "screen/platform.h"

namespace screen {

class headless_platform final : public platform {
public:
    struct question {
        std::string title;
        std::string text;
        int error_number = 0;  // read back from the title
        int step_number = 0;   // read back from the text
    };
    struct sleep {
        double from = 0;
        std::optional<double> deadline;
        double to = 0;
        bool woken = false;  // ended by wake_program, not by its deadline
    };

    // ---- the script ----
    // One keyboard-buffer entry at virtual time `at`.
    headless_platform& key_at(double at, const std::string& entry);
    // Each character of `text` as a key, `spacing` seconds apart from `at`;
    // returns the time after the last one.
    double type_at(double at, const std::string& text, double spacing = 0.05);
    headless_platform& pause_at(double at);
    headless_platform& stop_at(double at);
    // Answers for the coming questions, in order; when they run out the
    // default answer is given.
    headless_platform& answer(bool yes);
    headless_platform& default_answer(bool yes);
    // When the virtual clock passes this time the run is stopped as by the
    // close box, so that a script that runs out cannot leave a test waiting;
    // by default an hour after the last scripted event.
    headless_platform& give_up_at(double at);
    // Adds a look, called with the virtual time as every sleep begins and
    // whenever the clock moves on inside it, at every reading of the clock
    // (a delay reads it even when it has nothing to wait) and before every
    // question: a test's window into a run that is still going on. A key
    // that a look types as a sleep begins ends that sleep at once.
    headless_platform& on_each_wait(std::function<void(double now)> look);

    // ---- what happened ----
    const std::vector<question>& questions() const { return questions_; }
    std::optional<int> exit_code() const { return exit_code_; }
    int end_process_calls() const { return end_process_calls_; }
    bool gave_up() const { return gave_up_; }
    const screen_frame& last_frame() const { return last_frame_; }
    int frames_presented() const { return frames_presented_; }
    int picture_changes() const { return picture_changes_; }
    const std::vector<sleep>& sleeps() const { return sleeps_; }
    double now() const { return now_; }

    // ---- platform ----
    void attach(core_link& core) override { core_ = &core; }
    double clock_seconds() override;
    void sleep_until(std::optional<double> deadline) override;
    void wake_program() override { woken_ = true; }
    bool ask_yes_no(const std::string& title, const std::string& text) override;
    void present_frame(const screen_frame& frame) override;
    void picture_changed() override { ++picture_changes_; }
    void end_process(int exit_code) override;

private:
    enum class event_kind { key, pause, stop };
    struct event {
        double at;
        event_kind kind;
        std::string entry;
    };
    void add(event e);
    void advance_to(double t);
    void look();
    double give_up_time() const;

    core_link* core_ = nullptr;
    std::vector<std::function<void(double)>> looks_;
    std::deque<event> script_;  // kept in time order
    std::deque<bool> answers_;
    bool default_answer_ = false;
    std::optional<double> give_up_at_;
    double last_event_at_ = 0;
    bool gave_up_ = false;
    double now_ = 0;
    bool woken_ = false;
    std::vector<question> questions_;
    std::optional<int> exit_code_;
    int end_process_calls_ = 0;
    screen_frame last_frame_;
    int frames_presented_ = 0;
    int picture_changes_ = 0;
    std::vector<sleep> sleeps_;
};

}  // namespace screen
