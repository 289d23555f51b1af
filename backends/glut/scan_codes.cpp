#include "backends/glut/scan_codes.h"

#include <GL/freeglut.h>

namespace screen {
namespace {

constexpr int delete_scan = 83;

int scan_code(int key) {
    if (key >= GLUT_KEY_F1 && key <= GLUT_KEY_F10) return 59 + (key - GLUT_KEY_F1);
    switch (key) {
        case GLUT_KEY_F11: return 133;
        case GLUT_KEY_F12: return 134;
        case GLUT_KEY_HOME: return 71;
        case GLUT_KEY_UP: return 72;
        case GLUT_KEY_PAGE_UP: return 73;
        case GLUT_KEY_LEFT: return 75;
        case GLUT_KEY_RIGHT: return 77;
        case GLUT_KEY_END: return 79;
        case GLUT_KEY_DOWN: return 80;
        case GLUT_KEY_PAGE_DOWN: return 81;
        case GLUT_KEY_INSERT: return 82;
        case GLUT_KEY_DELETE: return delete_scan;
        default: return 0;
    }
}

std::string extended_key(int scan) { return std::string{'\0', char(scan)}; }

}  // namespace

std::string character_entry(unsigned char key) {
    return key == 127 ? extended_key(delete_scan) : std::string(1, char(key));
}

std::string special_key_entry(int key) {
    const int scan = scan_code(key);
    return scan ? extended_key(scan) : std::string();
}

}  // namespace screen
