#include "testhost/vis_host.h"

#include "host/messages.h"
#include "testhost/vis_player.h"

#include <algorithm>

namespace testhost {

namespace {

constexpr size_t messageLogLimit = 1000;

std::string textOf(HWND w) {
    char buf[512] = "";
    GetWindowTextA(w, buf, sizeof buf);
    return buf;
}

std::string classOf(HWND w) {
    char buf[256] = "";
    GetClassNameA(w, buf, sizeof buf);
    return buf;
}

// The rectangles of a window's region; false when it has none.
bool regionOf(HWND w, std::vector<RECT>& rects) {
    rects.clear();
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    int kind = GetWindowRgn(w, rgn);
    if (kind == ERROR) {
        DeleteObject(rgn);
        return false;
    }
    DWORD bytes = GetRegionData(rgn, 0, nullptr);
    std::vector<char> buf(bytes);
    if (bytes && GetRegionData(rgn, bytes, reinterpret_cast<RGNDATA*>(buf.data()))) {
        const auto* data = reinterpret_cast<const RGNDATA*>(buf.data());
        const auto* r = reinterpret_cast<const RECT*>(data->Buffer);
        rects.assign(r, r + data->rdh.nCount);
    }
    DeleteObject(rgn);
    return true;
}

} // namespace

std::vector<VisHostWindow::Message> VisHostWindow::messages;

namespace {

// The posted message that last left the thread's queue for the host window
// and is now being dispatched; a message that comes otherwise was sent (from
// this thread a send shows no sign of its own).
MSG leaving;
bool leavingSet = false;

} // namespace

LRESULT CALLBACK VisHostWindow::leavesQueue(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && wp == PM_REMOVE) {
        leaving = *reinterpret_cast<const MSG*>(lp);
        leavingSet = true;
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

LRESULT CALLBACK VisHostWindow::proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    bool posted = leavingSet && leaving.hwnd == w && leaving.message == msg &&
                  leaving.wParam == wp && leaving.lParam == lp;
    if (posted) leavingSet = false;
    if (msg == ipcMessage || msg == hostCommandMessage || msg == hostKeyDownMessage ||
        msg == hostKeyUpMessage) {
        if (messages.size() < messageLogLimit)
            messages.push_back({msg, int64_t(INT_PTR(wp)), int64_t(lp), posted});
        return msg == ipcMessage ? answerPlayerQuestion(wp, lp) : 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

bool VisHostWindow::create(const std::string& title) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "JukoraVisTestHost";
    RegisterClassA(&wc);
    // Out of the way of the module windows, which usually open top left.
    window_ = CreateWindowExA(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                              744, 628, 280, 140, nullptr, nullptr, wc.hInstance, nullptr);
    hook_ = SetWindowsHookExA(WH_GETMESSAGE, leavesQueue, nullptr, GetCurrentThreadId());
    return window_ != nullptr;
}

VisHostWindow::~VisHostWindow() {
    if (hook_) UnhookWindowsHookEx(hook_);
    if (window_) DestroyWindow(window_);
}

BOOL CALLBACK ModuleWindows::collect(HWND w, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(w);
    return TRUE;
}

void ModuleWindows::ignoreExisting() {
    ignored_.clear();
    EnumThreadWindows(GetCurrentThreadId(), collect, reinterpret_cast<LPARAM>(&ignored_));
}

void ModuleWindows::update() {
    std::vector<HWND> now;
    EnumThreadWindows(GetCurrentThreadId(), collect, reinterpret_cast<LPARAM>(&now));
    for (HWND w : now) {
        if (w == host_ || std::count(ignored_.begin(), ignored_.end(), w)) continue;
        auto it =
            std::find_if(seen_.begin(), seen_.end(), [w](const Seen& s) { return s.window == w; });
        if (it == seen_.end())
            it = seen_.insert(seen_.end(), Seen{w, "", "", false, {}, {}, false, {}});
        it->title = textOf(w);
        it->className = classOf(w);
        it->ownedByHost = GetWindow(w, GW_OWNER) == host_;
        GetWindowRect(w, &it->rect);
        GetClientRect(w, &it->client);
        MapWindowPoints(w, nullptr, reinterpret_cast<POINT*>(&it->client), 2);
        it->hasRegion = regionOf(w, it->region);
    }
}

RECT ModuleWindows::area() const {
    RECT all{0, 0, 0, 0};
    for (const Seen& s : seen_) {
        RECT r;
        if (!IsWindow(s.window) || !IsWindowVisible(s.window) || !GetWindowRect(s.window, &r))
            continue;
        if (IsRectEmpty(&all))
            all = r;
        else
            UnionRect(&all, &all, &r);
    }
    if (IsRectEmpty(&all))
        all = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
               GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
               GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    return all;
}

HWND ModuleWindows::firstOpenOwnedByHost() const {
    for (const Seen& s : seen_)
        if (IsWindow(s.window) && GetWindow(s.window, GW_OWNER) == host_) return s.window;
    return nullptr;
}

std::vector<std::string> ModuleWindows::stillOpen() const {
    std::vector<std::string> open;
    for (const Seen& s : seen_)
        if (IsWindow(s.window)) open.push_back("\"" + s.title + "\" (" + s.className + ")");
    return open;
}

void ModuleWindows::describe(JsonWriter& j) const {
    j.beginArray();
    for (const Seen& s : seen_) {
        j.beginObject();
        j.key("title").value(s.title);
        j.key("class").value(s.className);
        j.key("ownedByHost").value(s.ownedByHost);
        j.key("rect").rect(s.rect);
        j.key("client").rect(s.client);
        j.key("region");
        if (s.hasRegion) {
            j.beginArray();
            for (const RECT& r : s.region) j.rect(r);
            j.endArray();
        } else {
            j.null();
        }
        j.key("open").value(IsWindow(s.window) != 0);
        j.endObject();
    }
    j.endArray();
}

} // namespace testhost
