#include "testhost/window_driver.h"

#include "testhost/json_writer.h"
#include "testhost/screen_shot.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace testhost {

namespace {

struct WindowList {
    std::vector<HWND> windows;
};

BOOL CALLBACK collectWindow(HWND w, LPARAM list) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == GetCurrentProcessId() && IsWindowVisible(w))
        reinterpret_cast<WindowList*>(list)->windows.push_back(w);
    return TRUE;
}

std::vector<HWND> visibleWindows() {
    WindowList list;
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&list));
    return list.windows;
}

std::string windowText(HWND w) {
    char buf[1024] = "";
    // WM_GETTEXT works across threads; GetWindowText would not for other threads' controls.
    SendMessageA(w, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
    return buf;
}

std::string className(HWND w) {
    char buf[256] = "";
    GetClassNameA(w, buf, sizeof buf);
    return buf;
}

std::vector<std::string> split(const std::string& text, char sep) {
    std::vector<std::string> out;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, sep)) out.push_back(part);
    return out;
}

std::vector<std::string> words(const std::string& action) {
    std::vector<std::string> out;
    std::istringstream in(action);
    std::string w;
    while (in >> w) out.push_back(w);
    return out;
}

// Columns as [title, width], then each row's texts, asked for as the list
// view shows them (a row supplied on demand comes from its owner).
void dumpListView(JsonWriter& j, HWND c) {
    int columns = 0;
    j.key("columns").beginArray();
    for (;; ++columns) {
        char title[256] = "";
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = title;
        column.cchTextMax = sizeof title;
        if (!SendMessageA(c, LVM_GETCOLUMNA, WPARAM(columns), LPARAM(&column))) break;
        j.beginArray().value(title).value(int(column.cx)).endArray();
    }
    j.endArray();
    int n = int(SendMessageA(c, LVM_GETITEMCOUNT, 0, 0));
    j.key("rows").beginArray();
    for (int i = 0; i < n && i < 256; ++i) {
        j.beginArray();
        for (int k = 0; k < columns; ++k) {
            char text[512] = "";
            LVITEMA item{};
            item.iSubItem = k;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(c, LVM_GETITEMTEXTA, WPARAM(i), LPARAM(&item));
            j.value(text);
        }
        j.endArray();
    }
    j.endArray();
}

BOOL CALLBACK dumpChild(HWND c, LPARAM param) {
    JsonWriter& j = *reinterpret_cast<JsonWriter*>(param);
    std::string cls = className(c);
    j.beginObject();
    j.key("id").value(GetDlgCtrlID(c));
    j.key("class").value(cls);
    j.key("text").value(windowText(c));
    j.key("visible").value(IsWindowVisible(c) != 0);
    j.key("enabled").value(IsWindowEnabled(c) != 0);
    RECT r;
    GetWindowRect(c, &r);
    j.key("rect").rect(r);
    if (_stricmp(cls.c_str(), "Button") == 0) {
        j.key("checked").value(int(SendMessageA(c, BM_GETCHECK, 0, 0)));
    } else if (_stricmp(cls.c_str(), TRACKBAR_CLASSA) == 0) {
        j.key("position").value(int(SendMessageA(c, TBM_GETPOS, 0, 0)));
        j.key("range")
            .beginArray()
            .value(int(SendMessageA(c, TBM_GETRANGEMIN, 0, 0)))
            .value(int(SendMessageA(c, TBM_GETRANGEMAX, 0, 0)))
            .endArray();
    } else if (_stricmp(cls.c_str(), "ComboBox") == 0 || _stricmp(cls.c_str(), "ListBox") == 0) {
        bool combo = _stricmp(cls.c_str(), "ComboBox") == 0;
        int n = int(SendMessageA(c, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
        j.key("selected").value(int(SendMessageA(c, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0)));
        j.key("items").beginArray();
        for (int i = 0; i < n && i < 256; ++i) {
            char buf[512] = "";
            int len = int(SendMessageA(c, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, i, 0));
            if (len >= 0 && len < int(sizeof buf))
                SendMessageA(c, combo ? CB_GETLBTEXT : LB_GETTEXT, i,
                             reinterpret_cast<LPARAM>(buf));
            j.value(buf);
        }
        j.endArray();
    } else if (_stricmp(cls.c_str(), UPDOWN_CLASSA) == 0) {
        int low = 0, high = 0;
        SendMessageA(c, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                     reinterpret_cast<LPARAM>(&high));
        j.key("position").value(int(SendMessageA(c, UDM_GETPOS32, 0, 0)));
        j.key("range").beginArray().value(low).value(high).endArray();
    } else if (_stricmp(cls.c_str(), WC_TABCONTROLA) == 0) {
        int n = int(SendMessageA(c, TCM_GETITEMCOUNT, 0, 0));
        j.key("selected").value(int(SendMessageA(c, TCM_GETCURSEL, 0, 0)));
        j.key("tabs").beginArray();
        for (int i = 0; i < n && i < 256; ++i) {
            char text[256] = "";
            TCITEMA tab{};
            tab.mask = TCIF_TEXT;
            tab.pszText = text;
            tab.cchTextMax = sizeof text;
            SendMessageA(c, TCM_GETITEMA, WPARAM(i), LPARAM(&tab));
            j.value(text);
        }
        j.endArray();
    } else if (_stricmp(cls.c_str(), WC_LISTVIEWA) == 0) {
        dumpListView(j, c);
    }
    j.endObject();
    return TRUE;
}

// A menu's items; a sub-menu's items under its own, a few levels deep.
void dumpMenuItems(JsonWriter& j, HMENU menu, int depth) {
    j.beginArray();
    int n = menu ? GetMenuItemCount(menu) : 0;
    for (int i = 0; i < n && i < 256; ++i) {
        char text[512] = "";
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
        item.dwTypeData = text;
        item.cch = sizeof text - 1;
        if (!GetMenuItemInfoA(menu, UINT(i), TRUE, &item)) continue;
        j.beginObject();
        j.key("text").value(text);
        j.key("id").value(unsigned(item.wID));
        j.key("separator").value((item.fType & MFT_SEPARATOR) != 0);
        j.key("checked").value((item.fState & MFS_CHECKED) != 0);
        j.key("radio").value((item.fType & MFT_RADIOCHECK) != 0);
        j.key("disabled").value((item.fState & (MFS_DISABLED | MFS_GRAYED)) != 0);
        if (item.hSubMenu && depth < 4) {
            j.key("items");
            dumpMenuItems(j, item.hSubMenu, depth + 1);
        }
        j.endObject();
    }
    j.endArray();
}

// The items of the menu that a pop-up menu window shows.
void dumpMenu(JsonWriter& j, HWND window) {
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0));
    j.key("menu");
    dumpMenuItems(j, menu, 0);
}

void serveDisplayEvents() {
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
}

// The cursor reaches its place through the display's events, some of which
// this thread receives: serve them before and after the move, so that no late
// event of an earlier move puts it back, and wait until it stays, since a
// window may ask where it is while handling the click.
bool placeCursor(POINT at) {
    serveDisplayEvents();
    if (!SetCursorPos(at.x, at.y)) return false;
    for (int tries = 0, steady = 0; steady < 10; ++tries) {
        serveDisplayEvents();
        POINT now;
        steady = GetCursorPos(&now) && now.x == at.x && now.y == at.y ? steady + 1 : 0;
        if (tries == 400) return false;
        Sleep(5);
    }
    return true;
}

void postMouse(HWND target, UINT message, WPARAM keys, POINT screen) {
    ScreenToClient(target, &screen);
    PostMessageA(target, message, keys, MAKELPARAM(screen.x, screen.y));
}

// A number as C writes it: decimal, 0x hexadecimal, or negative.
LONG_PTR number(const std::string& text) {
    return LONG_PTR(std::strtoll(text.c_str(), nullptr, 0));
}

// The window that a click at this screen point reaches: the deepest visible
// descendant under it that does not let the click through (a group box does).
HWND windowUnder(HWND top, POINT screen) {
    HWND target = top;
    for (;;) {
        HWND found = nullptr;
        for (HWND c = GetWindow(target, GW_CHILD); c && !found; c = GetWindow(c, GW_HWNDNEXT)) {
            RECT r;
            if (!IsWindowVisible(c) || !GetWindowRect(c, &r) || !PtInRect(&r, screen)) continue;
            if (SendMessageA(c, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)) != HTTRANSPARENT)
                found = c;
        }
        if (!found) return target;
        target = found;
    }
}

} // namespace

void dumpWindow(HWND window) {
    JsonWriter j;
    j.beginObject();
    j.key("title").value(windowText(window));
    j.key("class").value(className(window));
    RECT r;
    GetWindowRect(window, &r);
    j.key("rect").rect(r);
    RECT client;
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    j.key("client").rect(client);
    j.key("controls").beginArray();
    EnumChildWindows(window, dumpChild, reinterpret_cast<LPARAM>(&j));
    j.endArray();
    if (className(window) == "#32768") dumpMenu(j, window);
    j.endObject();
    std::printf("window %s\n", j.text().c_str());
    std::fflush(stdout);
}

bool saveWindowShot(HWND window, const std::string& path) {
    RECT r;
    return GetWindowRect(window, &r) && saveScreenRect(r, path);
}

void WindowDriver::start(const std::string& script) {
    script_ = script;
    known_ = visibleWindows();
    thread_ = CreateThread(nullptr, 0, threadMain, this, 0, nullptr);
}

bool WindowDriver::finish(DWORD timeoutMs) {
    if (!thread_) return true;
    if (WaitForSingleObject(thread_, timeoutMs) == WAIT_TIMEOUT) {
        errors_.push_back("the window script did not finish");
        TerminateThread(thread_, 1);
    }
    CloseHandle(thread_);
    thread_ = nullptr;
    return errors_.empty();
}

DWORD WINAPI WindowDriver::threadMain(LPVOID self) {
    static_cast<WindowDriver*>(self)->run();
    return 0;
}

void WindowDriver::run() {
    for (const std::string& action : split(script_, ';')) {
        std::vector<std::string> w = words(action);
        if (w.empty()) continue;
        if (!perform(w)) {
            errors_.push_back("action failed: " + action);
            return;
        }
    }
}

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK findControl(HWND c, LPARAM param) {
    auto* search = reinterpret_cast<ControlSearch*>(param);
    if (GetDlgCtrlID(c) != search->id) return TRUE;
    search->found = c;
    return FALSE;
}

// A child of the current window first, then among all descendants: a
// property sheet's controls sit in its pages, but in a dialog an inner part
// of a control (a combo box's list) may carry a dialog item's number too.
HWND WindowDriver::control(const std::string& id) {
    if (!current_) return nullptr;
    if (HWND child = GetDlgItem(current_, std::atoi(id.c_str()))) return child;
    ControlSearch search{std::atoi(id.c_str()), nullptr};
    EnumChildWindows(current_, findControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool WindowDriver::mouse(const std::string& button, int x, int y) {
    struct Kind {
        const char* name;
        std::vector<std::pair<UINT, WPARAM>> messages;
    };
    static const Kind kinds[] = {
        {"left", {{WM_LBUTTONDOWN, MK_LBUTTON}, {WM_LBUTTONUP, 0}}},
        {"right", {{WM_RBUTTONDOWN, MK_RBUTTON}, {WM_RBUTTONUP, 0}}},
        {"double",
         {{WM_LBUTTONDOWN, MK_LBUTTON},
          {WM_LBUTTONUP, 0},
          {WM_LBUTTONDBLCLK, MK_LBUTTON},
          {WM_LBUTTONUP, 0}}},
        {"move", {{WM_MOUSEMOVE, 0}}},
    };
    const Kind* kind = nullptr;
    for (const Kind& k : kinds)
        if (button == k.name) kind = &k;
    if (!kind) return false;
    POINT at{x, y};
    if (!ClientToScreen(current_, &at) || !placeCursor(at)) return false;
    // The messages go where a real click lands, in that window's client coordinates.
    HWND target = windowUnder(current_, at);
    for (const auto& [message, keys] : kind->messages) postMouse(target, message, keys, at);
    Sleep(50);
    return true;
}

// The left button held from one client point to another: the window under
// the first point gets every message, as a window that captures the mouse.
bool WindowDriver::drag(POINT from, POINT to) {
    if (!ClientToScreen(current_, &from) || !ClientToScreen(current_, &to)) return false;
    if (!placeCursor(from)) return false;
    HWND target = windowUnder(current_, from);
    postMouse(target, WM_LBUTTONDOWN, MK_LBUTTON, from);
    Sleep(50);
    constexpr int steps = 8;
    for (int i = 1; i <= steps; ++i) {
        POINT at{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps};
        if (!placeCursor(at)) return false;
        postMouse(target, WM_MOUSEMOVE, MK_LBUTTON, at);
        Sleep(50);
    }
    postMouse(target, WM_LBUTTONUP, 0, to);
    Sleep(50);
    return true;
}

// Posts WM_DROPFILES with a block of ANSI paths, which the receiver frees.
bool WindowDriver::drop(const std::vector<std::string>& paths) {
    size_t chars = 1;
    for (const std::string& p : paths) chars += p.size() + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars);
    if (!block) return false;
    auto* files = static_cast<DROPFILES*>(GlobalLock(block));
    files->pFiles = sizeof(DROPFILES);
    char* out = reinterpret_cast<char*>(files + 1);
    for (const std::string& p : paths) {
        std::memcpy(out, p.c_str(), p.size() + 1);
        out += p.size() + 1;
    }
    GlobalUnlock(block);
    if (!PostMessageA(current_, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0)) {
        GlobalFree(block);
        return false;
    }
    Sleep(50);
    return true;
}

bool WindowDriver::perform(const std::vector<std::string>& w) {
    if (extraAction) {
        if (std::optional<bool> done = extraAction(w)) return *done;
    }
    const std::string& verb = w[0];
    if (verb == "wait" || verb == "use") {
        std::string title;
        for (size_t i = 1; i < w.size(); ++i) title += (i > 1 ? " " : "") + w[i];
        for (int tries = 0; tries < 1000; ++tries) {
            // A window that is gone is forgotten: its handle may come back
            // for the next one.
            std::erase_if(known_, [](HWND h) { return !IsWindow(h); });
            for (HWND h : visibleWindows()) {
                bool isNew = std::find(known_.begin(), known_.end(), h) == known_.end();
                if ((isNew || verb == "use") && (title.empty() || windowText(h) == title)) {
                    known_.push_back(h);
                    current_ = h;
                    Sleep(100); // let it finish painting
                    return true;
                }
            }
            Sleep(10);
        }
        return false;
    }
    if (!current_ || !IsWindow(current_)) return false;
    if (verb == "dump") {
        dumpWindow(current_);
        return true;
    }
    if (verb == "shot" && w.size() == 2) {
        RedrawWindow(current_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Sleep(100);
        if (!saveWindowShot(current_, w[1])) return false;
        shots_.push_back(w[1]);
        return true;
    }
    if (verb == "answers" && w.size() == 2) {
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(current_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                                   UINT(std::atoi(w[1].c_str())), &result) != 0;
    }
    if (verb == "sleep" && w.size() == 2) {
        Sleep(DWORD(std::atoi(w[1].c_str())));
        return true;
    }
    if (verb == "close") {
        PostMessageA(current_, WM_CLOSE, 0, 0);
        return true;
    }
    if (verb == "move" && w.size() == 3) {
        return SetWindowPos(current_, nullptr, std::atoi(w[1].c_str()), std::atoi(w[2].c_str()), 0,
                            0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) != 0;
    }
    if (verb == "drag" && w.size() == 5)
        return drag({std::atoi(w[1].c_str()), std::atoi(w[2].c_str())},
                    {std::atoi(w[3].c_str()), std::atoi(w[4].c_str())});
    if (verb == "drop" && w.size() >= 2) return drop({w.begin() + 1, w.end()});
    if ((verb == "post" || verb == "send") && w.size() == 4) {
        UINT msg = UINT(number(w[1]));
        WPARAM wp = WPARAM(number(w[2]));
        LPARAM lp = LPARAM(number(w[3]));
        if (verb == "send") {
            SendMessageA(current_, msg, wp, lp);
            return true;
        }
        bool posted = PostMessageA(current_, msg, wp, lp) != 0;
        Sleep(50);
        return posted;
    }
    if (verb == "setpos" && w.size() == 6) {
        return SetWindowPos(current_, nullptr, int(number(w[1])), int(number(w[2])),
                            int(number(w[3])), int(number(w[4])), UINT(number(w[5]))) != 0;
    }
    if (verb == "mouse" && w.size() == 4)
        return mouse(w[1], std::atoi(w[2].c_str()), std::atoi(w[3].c_str()));
    if (verb == "key" && (w.size() == 3 || (w.size() == 4 && w[3] == "alt"))) {
        // Posted as typed: key-down (the system key-down with Alt held), then key-up.
        HWND target = w[1] == "0" ? current_ : control(w[1]);
        if (!target) return false;
        bool alt = w.size() == 4;
        WPARAM vk = WPARAM(std::atoi(w[2].c_str()));
        LPARAM down = 1 | (alt ? LPARAM(1) << 29 : 0);
        PostMessageA(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, down);
        PostMessageA(target, alt ? WM_SYSKEYUP : WM_KEYUP, vk, down | LPARAM(0xC0000000u));
        Sleep(50);
        return true;
    }
    if (w.size() < 2) return false;
    HWND c = control(w[1]);
    if (!c) return false;
    if (verb == "set") {
        std::string text;
        for (size_t i = 2; i < w.size(); ++i) text += (i > 2 ? " " : "") + w[i];
        SendMessageA(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        return true;
    }
    if (verb == "click") {
        // Posted: a click that closes a modal dialog must not block this thread.
        PostMessageA(c, BM_CLICK, 0, 0);
        Sleep(50);
        return true;
    }
    if (verb == "check" && w.size() == 3) {
        int want = std::atoi(w[2].c_str());
        if (int(SendMessageA(c, BM_GETCHECK, 0, 0)) != want) SendMessageA(c, BM_CLICK, 0, 0);
        return int(SendMessageA(c, BM_GETCHECK, 0, 0)) == want;
    }
    if (verb == "select" && w.size() == 3) {
        int index = std::atoi(w[2].c_str());
        bool combo = _stricmp(className(c).c_str(), "ComboBox") == 0;
        SendMessageA(c, combo ? CB_SETCURSEL : LB_SETCURSEL, WPARAM(index), 0);
        WORD note = combo ? CBN_SELCHANGE : LBN_SELCHANGE;
        SendMessageA(GetParent(c), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(c), note), LPARAM(c));
        return true;
    }
    if (verb == "trackbar" && w.size() == 3) {
        int pos = std::atoi(w[2].c_str());
        SendMessageA(c, TBM_SETPOS, TRUE, pos);
        // Setting the position sends no notification: send the one a drag would.
        UINT msg = (GetWindowLongA(c, GWL_STYLE) & TBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
        SendMessageA(GetParent(c), msg, MAKEWPARAM(TB_THUMBPOSITION, pos), LPARAM(c));
        SendMessageA(GetParent(c), msg, MAKEWPARAM(TB_ENDTRACK, 0), LPARAM(c));
        return true;
    }
    return false;
}

} // namespace testhost
