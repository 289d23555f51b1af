// A platform without a window, for tests: keys arrive from a script at given
// virtual times, the clock is virtual so that pauses cost no real time,
// Yes/No questions are answered from a script and logged, and the last
// frame is kept.
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
    // Lets delays look for events only this often, so that pauses of days of
    // virtual time cost little; nothing but the script can arrive anyway.
    headless_platform& delay_check_every(double seconds);
    // Adds a look, called with the virtual time after every sleep and
    // yield, at every reading of the clock (a delay reads it even when it
    // has nothing to wait) and before every question: a test's window into
    // a run that is still going on.
    headless_platform& on_each_wait(std::function<void(double now)> look);

    // ---- what happened ----
    const std::vector<question>& questions() const { return questions_; }
    std::optional<int> exit_code() const { return exit_code_; }
    int end_process_calls() const { return end_process_calls_; }
    bool gave_up() const { return gave_up_; }
    const screen_frame& last_frame() const { return last_frame_; }
    int frames_presented() const { return frames_presented_; }
    int picture_changes() const { return picture_changes_; }
    int yields() const { return yields_; }
    double now() const { return now_; }

    // ---- platform ----
    void attach(core_link& core) override { core_ = &core; }
    double clock_seconds() override;
    double delay_check_seconds() const override { return delay_check_s_; }
    void sleep_seconds(double seconds) override;
    void yield_moment() override;
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

    core_link* core_ = nullptr;
    std::vector<std::function<void(double)>> looks_;
    std::deque<event> script_;  // kept in time order
    std::deque<bool> answers_;
    bool default_answer_ = false;
    std::optional<double> give_up_at_;
    double last_event_at_ = 0;
    bool gave_up_ = false;
    double now_ = 0;
    double delay_check_s_ = 0.009;
    std::vector<question> questions_;
    std::optional<int> exit_code_;
    int end_process_calls_ = 0;
    screen_frame last_frame_;
    int frames_presented_ = 0;
    int picture_changes_ = 0;
    int yields_ = 0;
};

}  // namespace screen
