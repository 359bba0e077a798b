#include "sabrith/frame/window_input.h"

#include "host/messages.h"

namespace sabrith {

namespace {
constexpr uint32_t keyEscape = 27;
constexpr uint32_t keySpace = 32;
constexpr uint32_t keyS = 83;
constexpr uint32_t keyF4 = 115;
} // namespace

KeyEffect keyEffect(bool down, uint32_t virtualKey) {
    const bool skinKey = virtualKey == keyS || virtualKey == keyF4;
    if (down) return skinKey ? KeyEffect::consume : KeyEffect::forward;
    if (virtualKey == keyEscape) return KeyEffect::quit;
    if (virtualKey == keySpace) return KeyEffect::toggleFullScreen;
    if (skinKey) return KeyEffect::nextSkin;
    return KeyEffect::forward;
}

ButtonAction buttonAction(int code) {
    switch (code) {
    case 1: return {ActionKind::command, cmdPlay};
    case 2: return {ActionKind::command, cmdStop};
    case 3: return {ActionKind::command, cmdPause};
    case 4: return {ActionKind::command, cmdNextSong};
    case 5: return {ActionKind::command, cmdPreviousSong};
    case 6: return {ActionKind::command, cmdOpenFile};
    case 7: return {ActionKind::quit, 0};
    case 8: return {ActionKind::command, cmdFastForward};
    case 9: return {ActionKind::command, cmdRewind};
    case 10: return {ActionKind::about, 0};
    case 14: return {ActionKind::minimize, 0};
    default: return {};
    }
}

} // namespace sabrith
