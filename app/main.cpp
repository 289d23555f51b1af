// The winding scheme demonstration in its window. No command-line options.
#include "backends/glut/glut_platform.h"
#include "screen/screen_layer.h"
#include "winding/winding_scheme.h"

int main() {
    screen::glut_platform backend;
    screen::screen_layer screen(backend);
    return backend.run([&] { screen.run([&] { winding::main_module(screen); }); });
}
