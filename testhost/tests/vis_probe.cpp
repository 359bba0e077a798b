// A visualization plug-in for the tests. A copy named NAME.dll does what the
// section [NAME] of probe.ini beside it says, and logs every load, unload and
// module call to NAME.log beside it, one JSON object a line, with the host
// fields it saw and which of its rows the host wrote since the last call (the
// rows are refilled with a sentinel after each call).
//
// probe.ini keys (defaults): modules (1), header (1; 0: the getter returns
// null), startResult (0), stopAfter (0; n: renderFrame returns 1 on its n-th
// call), spectrumChannels (2), waveformChannels (2), latency (25), delay (25),
// window (1: startModule opens a window that draws the rows), x, y (0, 0).
#include "host/host_window.h"
#include "host/vis_module.h"

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
bool configured;

struct Config {
    int modules, header, startResult, stopAfter, spectrumChannels, waveformChannels, latency, delay,
        window, x, y;
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
        if (m) return jkForwardKey(m->hostWindow, msg, wp, lp);
        break;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

void openWindow(VisModule* m) {
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
    RegisterClassA(&wc); // fails harmlessly when another module registered it
    RECT r{0, 0, pictureWidth, pictureHeight};
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE;
    AdjustWindowRect(&r, style, FALSE);
    int index = int(m - modules);
    s.window = CreateWindowExA(0, wc.lpszClassName, m->displayName, style, config.x + 30 * index,
                               config.y + 30 * index, r.right - r.left, r.bottom - r.top,
                               m->hostWindow, nullptr, self, nullptr);
    SetWindowLongPtrA(s.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(m));
}

void closeWindow(ModuleState& s) {
    if (s.window) DestroyWindow(s.window);
    if (s.picture) DeleteObject(s.picture);
    s.window = nullptr;
    s.picture = nullptr;
    s.pixels = nullptr;
}

void JK_CDECL openModuleSettings(VisModule* m) {
    logCall("settings", m);
}

int JK_CDECL startModule(VisModule* m) {
    logCall("start", m);
    ModuleState& s = states[m - modules];
    if (config.startResult != 0) return config.startResult;
    s.started = true;
    s.renders = 0;
    if (config.window) openWindow(m);
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
        logLine("{\"op\":\"load\"}");
    } else if (reason == DLL_PROCESS_DETACH) {
        logLine(std::string("{\"op\":\"unload\",\"processExit\":") + (reserved ? "true" : "false") +
                "}");
        if (!reserved) UnregisterClassA("JkVisProbe", self);
    }
    return TRUE;
}
