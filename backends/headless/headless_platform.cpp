#include "backends/headless/headless_platform.h"

#include <algorithm>
#include <cstdlib>

namespace screen {
namespace {

// A polling loop's pass costs this much virtual time; once the script has
// run out nothing can arrive, so passes may as well be long.
constexpr double moment_s = 0.001;
constexpr double idle_moment_s = 1.0;
constexpr double default_patience_s = 3600;

int number_after(const std::string& text, const std::string& marker) {
    const auto at = text.find(marker);
    return at == std::string::npos ? 0 : std::atoi(text.c_str() + at + marker.size());
}

}  // namespace

void headless_platform::add(event e) {
    last_event_at_ = std::max(last_event_at_, e.at);
    auto later = std::upper_bound(script_.begin(), script_.end(), e.at,
                                  [](double t, const event& x) { return t < x.at; });
    script_.insert(later, std::move(e));
}

headless_platform& headless_platform::key_at(double at, const std::string& entry) {
    add({at, event_kind::key, entry});
    return *this;
}

double headless_platform::type_at(double at, const std::string& text, double spacing) {
    for (char c : text) {
        key_at(at, std::string(1, c));
        at += spacing;
    }
    return at;
}

headless_platform& headless_platform::pause_at(double at) {
    add({at, event_kind::pause, {}});
    return *this;
}

headless_platform& headless_platform::stop_at(double at) {
    add({at, event_kind::stop, {}});
    return *this;
}

headless_platform& headless_platform::answer(bool yes) {
    answers_.push_back(yes);
    return *this;
}

headless_platform& headless_platform::default_answer(bool yes) {
    default_answer_ = yes;
    return *this;
}

headless_platform& headless_platform::on_each_wait(std::function<void(double now)> look) {
    looks_.push_back(std::move(look));
    return *this;
}

headless_platform& headless_platform::delay_check_every(double seconds) {
    delay_check_s_ = seconds;
    return *this;
}

headless_platform& headless_platform::give_up_at(double at) {
    give_up_at_ = at;
    return *this;
}

void headless_platform::advance_to(double t) {
    now_ = std::max(now_, t);
    while (!script_.empty() && script_.front().at <= now_) {
        event e = std::move(script_.front());
        script_.pop_front();
        if (!core_) continue;
        switch (e.kind) {
            case event_kind::key: core_->key_typed(e.entry); break;
            case event_kind::pause: core_->pause_key(); break;
            case event_kind::stop: core_->stop_request(); break;
        }
    }
    for (auto& look : looks_) look(now_);
    if (!gave_up_ && now_ > give_up_at_.value_or(last_event_at_ + default_patience_s) && core_) {
        gave_up_ = true;
        core_->stop_request();
    }
}

double headless_platform::clock_seconds() {
    for (auto& look : looks_) look(now_);
    return now_;
}

void headless_platform::sleep_seconds(double seconds) { advance_to(now_ + std::max(0.0, seconds)); }

void headless_platform::yield_moment() {
    ++yields_;
    advance_to(now_ + (script_.empty() ? idle_moment_s : moment_s));
}

bool headless_platform::ask_yes_no(const std::string& title, const std::string& text) {
    questions_.push_back({title, text, number_after(title, "#"), number_after(text, "Line:")});
    for (auto& look : looks_) look(now_);
    if (answers_.empty()) return default_answer_;
    const bool yes = answers_.front();
    answers_.pop_front();
    return yes;
}

void headless_platform::present_frame(const screen_frame& frame) {
    last_frame_ = frame;
    ++frames_presented_;
}

void headless_platform::end_process(int exit_code) {
    exit_code_ = exit_code;
    ++end_process_calls_;
}

}  // namespace screen
