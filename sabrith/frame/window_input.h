// The window's own keys and the actions of skin buttons. Keys the window
// does not use go on to the player; the buttons drive the player with its
// commands or act on the window.
#pragma once

#include <cstdint>

namespace sabrith {

enum class KeyEffect { forward, consume, quit, toggleFullScreen, nextSkin };

// Key-down of 'S' (83) or 115 is swallowed, every other key-down forwarded;
// key-up of Escape quits, of Space switches full screen, of 'S' or 115
// selects the next skin, every other key-up is forwarded. 115 is also F4,
// which therefore behaves as 'S' (letters arrive upper case, so 's' never
// comes): harmless, and kept.
KeyEffect keyEffect(bool down, uint32_t virtualKey);

enum class ActionKind { none, command, quit, about, minimize };

struct ButtonAction {
    ActionKind kind = ActionKind::none;
    int command = 0; // the player's command for ActionKind::command
};

// 1-6, 8, 9 player commands; 7 quit; 10 the about box; 14 minimise to the
// tray; anything else nothing.
ButtonAction buttonAction(int code);

} // namespace sabrith
