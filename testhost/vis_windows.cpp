#include "testhost/vis_host.h"

#include "host/messages.h"

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

} // namespace

std::vector<VisHostWindow::Message> VisHostWindow::messages;

LRESULT CALLBACK VisHostWindow::proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == ipcMessage || msg == hostCommandMessage || msg == hostKeyDownMessage ||
        msg == hostKeyUpMessage) {
        if (messages.size() < messageLogLimit)
            messages.push_back({msg, int64_t(INT_PTR(wp)), int64_t(lp)});
        return 0; // every question is answered "nothing playing"
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
    return window_ != nullptr;
}

VisHostWindow::~VisHostWindow() {
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
        if (it == seen_.end()) it = seen_.insert(seen_.end(), Seen{w, "", "", false, {}, {}});
        it->title = textOf(w);
        it->className = classOf(w);
        it->ownedByHost = GetWindow(w, GW_OWNER) == host_;
        GetWindowRect(w, &it->rect);
        GetClientRect(w, &it->client);
        MapWindowPoints(w, nullptr, reinterpret_cast<POINT*>(&it->client), 2);
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
        j.key("open").value(IsWindow(s.window) != 0);
        j.endObject();
    }
    j.endArray();
}

} // namespace testhost
