#include "backends/headless/headless_platform.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace screen {
namespace {

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

headless_platform& headless_platform::give_up_at(double at) {
    give_up_at_ = at;
    return *this;
}

void headless_platform::look() {
    for (auto& look : looks_) look(now_);
}

double headless_platform::give_up_time() const {
    return give_up_at_.value_or(last_event_at_ + default_patience_s);
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
    look();
    if (!gave_up_ && now_ >= give_up_time() && core_) {
        gave_up_ = true;
        core_->stop_request();
    }
}

double headless_platform::clock_seconds() {
    look();
    return now_;
}

void headless_platform::sleep_until(std::optional<double> deadline) {
    const double from = now_;
    look();
    constexpr double never = std::numeric_limits<double>::infinity();
    while (!woken_ && now_ < deadline.value_or(never)) {
        // The next moment anything can happen: the deadline, a scripted
        // event or the give-up. With none of them left nothing can wake the
        // program, and the sleep returns rather than hang.
        double next = deadline.value_or(never);
        if (!script_.empty()) next = std::min(next, script_.front().at);
        if (!gave_up_) next = std::min(next, give_up_time());
        if (next == never) break;
        advance_to(next);
    }
    sleeps_.push_back({from, deadline, now_, woken_});
    woken_ = false;
}

bool headless_platform::ask_yes_no(const std::string& title, const std::string& text) {
    questions_.push_back({title, text, number_after(title, "#"), number_after(text, "Line:")});
    look();
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
