// A visualization plug-in for the tests. A copy named NAME.dll does what the
// section [NAME] of probe.ini beside it says, and logs every load, unload and
// module call to NAME.log beside it, one JSON object a line, with the host
// fields it saw and which of its rows the host wrote since the last call (the
// rows are refilled with a sentinel after each call).
//
// probe.ini keys (defaults): modules (1), header (1; 0: the getter returns
// null), startResult (0), stopAfter (0; n: renderFrame returns 1 on its n-th
// call), spectrumChannels (2), waveformChannels (2), latency (25), delay (25),
// window (1: startModule opens a window that draws the rows, and fails with 1
// when it cannot have its window class or window), x, y (0, 0). The window
// logs its mouse messages, keys, dropped files and message WM_USER + 7, and a
// right click opens a menu.
// queries (0; 1: start and stop log the player's answers, and start seeks
// to 7000 ms), region (0; 1: the window gets an L-shaped window region),
// settings (0; 1: openModuleSettings shows a settings window with a tab
// control and a page of controls, and logs their notifications), quitKey (0;
// a virtual key: its key-down ends the visualization as a module's Escape
// does, with a quit message on the thread), box (0; 1: startModule shows a
// message box "Probe box" and waits for it; 2: it shows that box on a thread
// of its own and goes on). A note in
// the environment variable JK_PROBE_NOTE goes into the load line.
#include "host/host_window.h"
#include "host/vis_module.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int maxModules = 8;
constexpr unsigned char sentinel = 0xA5;
constexpr int pictureWidth = visRowLength, pictureHeight = 256;

HINSTANCE self;
std::string folder, name; // "Z:\dir\" and "probe_a"
bool configured, classRegistered, pageClassRegistered;

struct Config {
    int modules, header, startResult, stopAfter, spectrumChannels, waveformChannels, latency, delay,
        window, x, y, settings, region, queries, quitKey, box;
} config;

struct ModuleState {
    bool started;
    int renders;
    HWND window;
    HBITMAP picture;
    uint32_t* pixels;
};

VisHeader header;
VisModule modules[maxModules];
ModuleState states[maxModules];
char moduleNames[maxModules][64];

void fillSentinel(VisModule* m) {
    std::memset(m->spectrumRows, sentinel, sizeof m->spectrumRows);
    std::memset(m->waveformRows, sentinel, sizeof m->waveformRows);
}

bool rowWritten(const void* row) {
    const auto* p = static_cast<const unsigned char*>(row);
    for (int i = 0; i < visRowLength; ++i)
        if (p[i] != sentinel) return true;
    return false;
}

void logLine(const std::string& line) {
    const std::string path = folder + name + ".log";
    if (std::FILE* f = std::fopen(path.c_str(), "ab")) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    } else {
        // The test that reads the log then finds the line missing; say why.
        std::fprintf(stderr, "vis_probe: cannot write %s: %s\n", path.c_str(),
                     std::strerror(errno));
    }
}

// One call, as the module saw it.
void logCall(const char* op, VisModule* m) {
    int index = int(m - modules);
    char buf[512];
    std::snprintf(buf, sizeof buf,
                  "{\"op\":\"%s\",\"module\":%d,\"started\":%s,\"hostWindow\":%lld,"
                  "\"ownInstance\":%s,\"rateHz\":%d,\"channelCount\":%d,\"frameLatencyMs\":%d,"
                  "\"frameDelayMs\":%d,\"spectrum\":[%s,%s],\"waveform\":[%s,%s],"
                  "\"spectrumFirst\":%d,\"waveformFirst\":%d}",
                  op, index, states[index].started ? "true" : "false",
                  static_cast<long long>(reinterpret_cast<intptr_t>(m->hostWindow)),
                  m->pluginInstance == self ? "true" : "false", m->rateHz, m->channelCount,
                  m->frameLatencyMs, m->frameDelayMs,
                  rowWritten(m->spectrumRows[0]) ? "true" : "false",
                  rowWritten(m->spectrumRows[1]) ? "true" : "false",
                  rowWritten(m->waveformRows[0]) ? "true" : "false",
                  rowWritten(m->waveformRows[1]) ? "true" : "false", m->spectrumRows[0][0],
                  m->waveformRows[0][0]);
    logLine(buf);
    fillSentinel(m);
}

int readKey(const char* key, int fallback) {
    return int(GetPrivateProfileIntA(name.c_str(), key, fallback, (folder + "probe.ini").c_str()));
}

void configure() {
    if (configured) return;
    configured = true;
    config.modules = readKey("modules", 1);
    if (config.modules > maxModules) config.modules = maxModules;
    config.header = readKey("header", 1);
    config.startResult = readKey("startResult", 0);
    config.stopAfter = readKey("stopAfter", 0);
    config.spectrumChannels = readKey("spectrumChannels", 2);
    config.waveformChannels = readKey("waveformChannels", 2);
    config.latency = readKey("latency", 25);
    config.delay = readKey("delay", 25);
    config.window = readKey("window", 1);
    config.x = readKey("x", 0);
    config.y = readKey("y", 0);
    config.settings = readKey("settings", 0);
    config.region = readKey("region", 0);
    config.queries = readKey("queries", 0);
    config.quitKey = readKey("quitKey", 0);
    config.box = readKey("box", 0);
    for (int i = 0; i < maxModules; ++i) {
        VisModule& m = modules[i];
        std::snprintf(moduleNames[i], sizeof moduleNames[i], "Probe %s #%d", name.c_str(), i);
        m.displayName = moduleNames[i];
        m.frameLatencyMs = config.latency;
        m.frameDelayMs = config.delay;
        m.spectrumChannels = config.spectrumChannels;
        m.waveformChannels = config.waveformChannels;
        fillSentinel(&m);
    }
}

// The picture: spectrum rows as bars in the top half (first row green, second
// red), waveform rows as traces in the bottom half (first yellow, second cyan).
void drawRows(ModuleState& s, VisModule* m) {
    uint32_t* px = s.pixels;
    std::memset(px, 0, sizeof(uint32_t) * pictureWidth * pictureHeight);
    auto put = [px](int x, int y, uint32_t c) {
        if (y >= 0 && y < pictureHeight) px[y * pictureWidth + x] |= c;
    };
    for (int x = 0; x < visRowLength; ++x) {
        if (m->spectrumChannels > 0) {
            for (int y = 0; y < m->spectrumRows[0][x] / 2; ++y) put(x, 127 - y, 0x00C000);
            put(x, 127 - m->spectrumRows[1][x] / 2, 0xFF0000);
        }
        if (m->waveformChannels > 0) {
            put(x, 192 - m->waveformRows[0][x] / 2, 0xFFFF00);
            put(x, 192 - m->waveformRows[1][x] / 2 + 1, 0x00FFFF);
        }
    }
}

// A text as a JSON string.
std::string jsonText(const std::string& text) {
    std::string out(1, '"');
    for (char c : text) {
        if (c == '\\' || c == '"') out.push_back('\\');
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

// A mouse message with its client point and where the cursor was.
void logMouse(UINT msg, WPARAM wp, LPARAM lp) {
    POINT cursor{};
    GetCursorPos(&cursor);
    char buf[256];
    std::snprintf(buf, sizeof buf,
                  "{\"op\":\"mouse\",\"message\":%u,\"keys\":%u,\"at\":[%d,%d],"
                  "\"cursor\":[%ld,%ld]}",
                  msg, unsigned(wp), int(short(LOWORD(lp))), int(short(HIWORD(lp))), long(cursor.x),
                  long(cursor.y));
    logLine(buf);
}

// A right click opens a menu of every kind of item at the clicked point and
// logs the command chosen (0 for none).
void showMenu(HWND w, LPARAM lp) {
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING | MF_GRAYED, 1, "Title");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING | MF_CHECKED, 2, "Checked");
    AppendMenuA(menu, MF_STRING, 3, "Radio");
    CheckMenuRadioItem(menu, 3, 3, 3, MF_BYCOMMAND);
    AppendMenuA(menu, MF_STRING, 4, "Plain");
    HMENU more = CreatePopupMenu();
    AppendMenuA(more, MF_STRING, 5, "Inner");
    CheckMenuRadioItem(more, 5, 5, 5, MF_BYCOMMAND);
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(more), "More");
    POINT at{short(LOWORD(lp)), short(HIWORD(lp))};
    ClientToScreen(w, &at);
    int command = int(TrackPopupMenu(menu, TPM_RETURNCMD, at.x, at.y, 0, w, nullptr));
    DestroyMenu(menu);
    logLine("{\"op\":\"menu\",\"command\":" + std::to_string(command) + "}");
}

LRESULT CALLBACK windowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    auto* m = reinterpret_cast<VisModule*>(GetWindowLongPtrA(w, GWLP_USERDATA));
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(w, &ps);
        if (m && states[m - modules].picture) {
            HDC mem = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(mem, states[m - modules].picture);
            BitBlt(dc, 0, 0, pictureWidth, pictureHeight, mem, 0, 0, SRCCOPY);
            SelectObject(mem, old);
            DeleteDC(mem);
        }
        EndPaint(w, &ps);
        return 0;
    }
    case WM_KEYDOWN:
    case WM_KEYUP:
        logLine("{\"op\":\"key\",\"message\":" + std::to_string(msg) +
                ",\"vk\":" + std::to_string(wp) + "}");
        if (msg == WM_KEYDOWN && config.quitKey != 0 && wp == WPARAM(config.quitKey)) {
            PostQuitMessage(0);
            return 0;
        }
        if (m) return jkForwardKey(m->hostWindow, msg, wp, lp);
        break;
    case WM_DROPFILES: {
        auto drop = reinterpret_cast<HDROP>(wp);
        std::string line = "{\"op\":\"drop\",\"files\":[";
        UINT n = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < n; ++i) {
            char path[MAX_PATH] = "";
            DragQueryFileA(drop, i, path, sizeof path);
            if (i) line += ',';
            line += jsonText(path);
        }
        DragFinish(drop);
        logLine(line + "]}");
        return 0;
    }
    case WM_USER + 7:
        logLine("{\"op\":\"user\",\"wParam\":" + std::to_string(wp) + ",\"lParam\":" +
                std::to_string(lp) + ",\"sent\":" + (InSendMessage() ? "true" : "false") + "}");
        return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        logMouse(msg, wp, lp);
        if (msg == WM_RBUTTONDOWN) showMenu(w, lp);
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

// false when the window class or the window cannot be had; the start then fails.
bool openWindow(VisModule* m) {
    ModuleState& s = states[m - modules];
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = pictureWidth;
    bi.bmiHeader.biHeight = -pictureHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    s.picture = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    s.pixels = static_cast<uint32_t*>(bits);
    if (s.pixels) std::memset(s.pixels, 0, sizeof(uint32_t) * pictureWidth * pictureHeight);

    WNDCLASSA wc{};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = self;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "JkVisProbe";
    // Registered once for all modules, at the first window.
    if (!classRegistered) {
        if (!RegisterClassA(&wc)) return false;
        classRegistered = true;
    }
    RECT r{0, 0, pictureWidth, pictureHeight};
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE;
    AdjustWindowRect(&r, style, FALSE);
    int index = int(m - modules);
    s.window = CreateWindowExA(0, wc.lpszClassName, m->displayName, style, config.x + 30 * index,
                               config.y + 30 * index, r.right - r.left, r.bottom - r.top,
                               m->hostWindow, nullptr, self, nullptr);
    if (!s.window) return false;
    SetWindowLongPtrA(s.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(m));
    if (config.region) {
        // An L shape: a 100 x 50 bar over a 50 x 50 square.
        HRGN shape = CreateRectRgn(0, 0, 100, 50);
        HRGN foot = CreateRectRgn(0, 50, 50, 100);
        CombineRgn(shape, shape, foot, RGN_OR);
        DeleteObject(foot);
        SetWindowRgn(s.window, shape, TRUE); // the window owns it now
    }
    return true;
}

void closeWindow(ModuleState& s) {
    if (s.window) DestroyWindow(s.window);
    if (s.picture) DeleteObject(s.picture);
    s.window = nullptr;
    s.picture = nullptr;
    s.pixels = nullptr;
}

// What the player answers, and whether its other windows are there.
void logPlayer(const char* when, HWND host) {
    const char* title = reinterpret_cast<const char*>(jkQueryHost(host, ipcQueryEntryTitle, 0));
    char skins[MAX_PATH + 1] = "";
    jkQueryHost(host, ipcQuerySkinFolder, reinterpret_cast<WPARAM>(skins));
    char buf[1024];
    std::snprintf(buf, sizeof buf,
                  "{\"op\":\"player\",\"when\":\"%s\",\"play\":%d,\"pos\":%d,\"len\":%d,"
                  "\"index\":%d,\"count\":%d,\"title\":%s,\"skins\":%s,"
                  "\"editor\":%s,\"equalizer\":%s}",
                  when, int(jkQueryHost(host, ipcQueryPlayState, 0)),
                  int(jkQueryHost(host, ipcQueryTime, 0)), int(jkQueryHost(host, ipcQueryTime, 1)),
                  int(jkQueryHost(host, ipcQueryListPosition, 0)),
                  int(jkQueryHost(host, ipcQueryListLength, 0)),
                  jsonText(std::string(title ? title : "").substr(0, 200)).c_str(),
                  jsonText(std::string(skins).substr(0, 200)).c_str(),
                  jkFindPlaylistEditor() ? "true" : "false", jkFindEqualizer() ? "true" : "false");
    logLine(buf);
}

// The settings window's page: where its controls' notifications arrive.
LRESULT CALLBACK pageProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND || msg == WM_HSCROLL || msg == WM_VSCROLL) {
        int id = msg == WM_COMMAND ? LOWORD(wp) : GetDlgCtrlID(reinterpret_cast<HWND>(lp));
        int code = msg == WM_COMMAND ? HIWORD(wp) : LOWORD(wp);
        logLine("{\"op\":\"notify\",\"message\":" + std::to_string(msg) +
                ",\"id\":" + std::to_string(id) + ",\"code\":" + std::to_string(code) + "}");
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

HWND addChild(HWND parent, const char* cls, const char* text, DWORD style, int id, int x, int y,
              int width, int height) {
    return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(INT_PTR(id)), self, nullptr);
}

// The settings window, modal until it is closed: a tab control and, below
// it, a page that holds the controls (as a property sheet's page does).
void runSettingsWindow(VisModule* m) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = pageProc;
    wc.hInstance = self;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "JkVisProbePage";
    if (!pageClassRegistered) pageClassRegistered = RegisterClassA(&wc) != 0;
    HWND w = CreateWindowExA(0, "JkVisProbePage", "Probe settings",
                             WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 100, 100, 320,
                             240, m->hostWindow, nullptr, self, nullptr);
    if (!w) return;
    HWND tabs = addChild(w, "SysTabControl32", "", 0, 300, 4, 4, 300, 24);
    const char* names[] = {"First", "Second"};
    for (int i = 0; i < 2; ++i) {
        TCITEMA tab{};
        tab.mask = TCIF_TEXT;
        tab.pszText = const_cast<char*>(names[i]);
        SendMessageA(tabs, TCM_INSERTITEMA, WPARAM(i), reinterpret_cast<LPARAM>(&tab));
    }
    HWND page = addChild(w, "JkVisProbePage", "", WS_CLIPCHILDREN, 301, 4, 32, 300, 170);
    addChild(page, "EDIT", "", WS_BORDER, 200, 8, 8, 60, 22);
    HWND spin = addChild(page, "msctls_updown32", "",
                         UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY, 201, 0, 0, 0, 0);
    SendMessageA(spin, UDM_SETRANGE32, 1, 9);
    SendMessageA(spin, UDM_SETPOS32, 0, 4);
    HWND bar = addChild(page, "msctls_trackbar32", "", 0, 202, 8, 40, 200, 30);
    SendMessageA(bar, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
    addChild(page, "BUTTON", "Check", BS_AUTOCHECKBOX, 203, 8, 80, 100, 20);
    HWND combo = addChild(page, "COMBOBOX", "", CBS_DROPDOWNLIST, 204, 8, 110, 100, 100);
    for (const char* item : {"a", "b", "c"})
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    MSG msg;
    while (IsWindow(w)) {
        if (GetMessageA(&msg, nullptr, 0, 0) <= 0) {
            PostQuitMessage(int(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (IsWindow(w)) DestroyWindow(w);
}

void JK_CDECL openModuleSettings(VisModule* m) {
    logCall("settings", m);
    if (config.settings) runSettingsWindow(m);
}

DWORD WINAPI showBox(LPVOID owner) {
    MessageBoxA(static_cast<HWND>(owner), "A box that nobody clicks", "Probe box", MB_OK);
    return 0;
}

int JK_CDECL startModule(VisModule* m) {
    logCall("start", m);
    if (config.box == 1) showBox(m->hostWindow);
    if (config.box == 2) {
        CloseHandle(CreateThread(nullptr, 0, showBox, nullptr, 0, nullptr));
        // Open before the run can end, however fast it goes.
        for (int i = 0; i < 1000 && !IsWindowVisible(FindWindowA(nullptr, "Probe box")); ++i)
            Sleep(10);
    }
    ModuleState& s = states[m - modules];
    if (config.startResult != 0) return config.startResult;
    if (config.queries) {
        logPlayer("start", m->hostWindow);
        jkQueryHost(m->hostWindow, ipcSeekMs, 7000);
    }
    if (config.window && !openWindow(m)) {
        closeWindow(s);
        return 1;
    }
    s.started = true;
    s.renders = 0;
    return 0;
}

int JK_CDECL renderFrame(VisModule* m) {
    ModuleState& s = states[m - modules];
    if (s.window && s.pixels) {
        drawRows(s, m);
        HDC dc = GetDC(s.window);
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, s.picture);
        BitBlt(dc, 0, 0, pictureWidth, pictureHeight, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteDC(mem);
        ReleaseDC(s.window, dc);
    }
    logCall("render", m);
    return config.stopAfter > 0 && ++s.renders >= config.stopAfter ? 1 : 0;
}

void JK_CDECL stopModule(VisModule* m) {
    logCall("stop", m);
    if (config.queries) logPlayer("stop", m->hostWindow);
    ModuleState& s = states[m - modules];
    s.started = false;
    closeWindow(s);
}

VisModule* JK_CDECL moduleByIndex(int index) {
    return index >= 0 && index < config.modules ? &modules[index] : nullptr;
}

} // namespace

JK_EXTERN_C JK_EXPORT VisHeader* JK_CDECL jukoraVisGetHeader(void) {
    configure();
    return config.header ? &header : nullptr;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        self = instance;
        char path[MAX_PATH] = "";
        GetModuleFileNameA(instance, path, sizeof path);
        std::string full = path;
        size_t cut = full.find_last_of("\\/:");
        folder = full.substr(0, cut + 1);
        name = full.substr(cut + 1);
        if (name.size() > 4) name.resize(name.size() - 4); // ".dll"
        header = {visAbiVersion, "Probe visualization", moduleByIndex};
        for (VisModule& m : modules) {
            m.openModuleSettings = openModuleSettings;
            m.startModule = startModule;
            m.renderFrame = renderFrame;
            m.stopModule = stopModule;
        }
        // A note from the environment shows that testhost passes it on.
        char note[256] = "";
        if (GetEnvironmentVariableA("JK_PROBE_NOTE", note, sizeof note) < sizeof note && *note)
            logLine(std::string("{\"op\":\"load\",\"note\":\"") + note + "\"}");
        else
            logLine("{\"op\":\"load\"}");
    } else if (reason == DLL_PROCESS_DETACH) {
        logLine(std::string("{\"op\":\"unload\",\"processExit\":") + (reserved ? "true" : "false") +
                "}");
        if (!reserved && classRegistered) UnregisterClassA("JkVisProbe", self);
        if (!reserved && pageClassRegistered) UnregisterClassA("JkVisProbePage", self);
    }
    return TRUE;
}
