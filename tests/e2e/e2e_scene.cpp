// Test-only programs on the real window backend, for what the winding run
// cannot show: `keys` prints every keyboard-buffer entry it reads (its
// bytes in decimal, one entry a line) and "event pending" when it is about
// to pass an event check; q ends it. `error` raises error 5, prints
// "went on" when the question was answered Yes, then ends with the prompt
// in the colours of the winding run.
#include <cstdio>
#include <cstring>
#include <string>

#include "backends/glut/glut_platform.h"
#include "screen/screen_layer.h"

namespace {

void say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

void keys_scene(screen::screen_layer& screen) {
    screen.set_screen_mode();
    screen.set_window_title("e2e keys");
    for (;;) {
        if (screen.event_pending()) {
            say("event pending");
            screen.step_event_check(1);
        }
        const std::string key = screen.read_key();
        if (key.empty()) continue;
        std::string line;
        for (unsigned char c : key) {
            if (!line.empty()) line += ' ';
            line += std::to_string(c);
        }
        say(line);
        if (key == "q") screen.halt_program();
    }
}

void error_scene(screen::screen_layer& screen) {
    screen.set_screen_mode();
    screen.set_window_title("e2e error");
    screen.set_viewport(-1, 0, 0, 0);
    screen.step_event_check(7);
    say("went on");
    // The winding run's colours, so that the prompt row looks the same.
    screen.set_colour(11, 8);
    screen.end_program();
}

}  // namespace

int main(int argc, char** argv) {
    const bool keys = argc == 2 && std::strcmp(argv[1], "keys") == 0;
    const bool error = argc == 2 && std::strcmp(argv[1], "error") == 0;
    if (!keys && !error) {
        std::fputs("usage: e2e_scene keys|error\n", stderr);
        return 2;
    }
    screen::glut_platform backend;
    screen::screen_layer screen(backend);
    return backend.run([&] { screen.run([&] { (keys ? keys_scene : error_scene)(screen); }); });
}
