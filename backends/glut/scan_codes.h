// freeglut's keys as keyboard-buffer entries: characters as themselves,
// extended keys as a zero and the PC scan code. The window thread uses it.
#pragma once

#include <string>

namespace screen {

// The entry for a character freeglut reports; Delete comes in as DEL.
std::string character_entry(unsigned char key);
// The entry for a freeglut special key (GLUT_KEY_*); empty for the keys that
// leave nothing in the buffer (modifiers alone, NumLock, keypad 5).
std::string special_key_entry(int key);

}  // namespace screen
