#include "testhost/message_boxes.h"

#include <cstring>

namespace testhost {

namespace {

std::string textOf(HWND w) {
    char text[2048] = "";
    // WM_GETTEXT is answered by the window's thread, which is inside the
    // box's own loop and so does answer; a hung one gets no say.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(w, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, 2000, &length))
        text[0] = '\0';
    return text;
}

bool hasClass(HWND w, const char* name) {
    char cls[64] = "";
    GetClassNameA(w, cls, sizeof cls);
    return std::strcmp(cls, name) == 0;
}

// A message box is a dialog holding its text in the static control with
// the id that the system's box template gives it.
constexpr int messageTextId = 0xFFFF;
constexpr int messageTextIdWine = 100;

HWND messageText(HWND dialog) {
    for (int id : {messageTextId, messageTextIdWine}) {
        HWND c = GetDlgItem(dialog, id);
        if (c && hasClass(c, "Static")) return c;
    }
    return nullptr;
}

BOOL CALLBACK collect(HWND w, LPARAM boxes) {
    DWORD process = 0;
    GetWindowThreadProcessId(w, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(w) || !hasClass(w, "#32770"))
        return TRUE;
    if (HWND text = messageText(w))
        reinterpret_cast<std::vector<MessageBoxSeen>*>(boxes)->push_back(
            {w, textOf(w), textOf(text)});
    return TRUE;
}

BOOL CALLBACK firstButton(HWND c, LPARAM found) {
    if (!hasClass(c, "Button")) return TRUE;
    *reinterpret_cast<HWND*>(found) = c;
    return FALSE;
}

} // namespace

std::vector<MessageBoxSeen> openMessageBoxes() {
    std::vector<MessageBoxSeen> boxes;
    EnumWindows(collect, reinterpret_cast<LPARAM>(&boxes));
    return boxes;
}

void closeMessageBox(HWND box) {
    HWND button = nullptr;
    EnumChildWindows(box, firstButton, reinterpret_cast<LPARAM>(&button));
    int id = button ? GetDlgCtrlID(button) : IDCANCEL;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

std::string describeMessageBox(const MessageBoxSeen& box) {
    return "the message box \"" + box.title + "\": \"" + box.text + "\"";
}

} // namespace testhost
