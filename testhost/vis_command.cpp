// testhost vis VIS.dll ...: runs one module of a visualization plug-in the way
// the player does: host fields, startModule, then frames of spectrum and
// waveform rows made from a test signal, renderFrame and the thread's messages
// between frames, and stopModule; with screenshots of the module's windows and
// its settings opened on request. Prints one JSON line.
#include "testhost/commands.h"
#include "testhost/message_boxes.h"
#include "testhost/resource_use.h"
#include "testhost/screen_shot.h"
#include "testhost/stack_check.h"
#include "testhost/time_limit.h"
#include "testhost/vis_host.h"
#include "testhost/vis_player.h"
#include "testhost/vis_signal.h"
#include "testhost/window_driver.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace testhost {

namespace {

struct VisOptions {
    const char* plugin = nullptr;
    int module = 0;
    int frames = 100;
    bool framesGiven = false;
    std::string signal = "sine:440";
    int rateHz = 44100;
    int channels = 2;
    std::string shot;
    int shotEvery = 0;
    bool config = false;
    bool realtime = false;
    bool stopTwice = false;
    std::string script;
    int restarts = 0;
    // Above the longest run of the tests and the demo, emulated 32-bit ones
    // too, and below the 300 s after which the tests give a run up.
    double timeoutSeconds = 240;
    std::vector<std::pair<int, int>> keysAt; // frame, virtual-key code
    std::vector<std::pair<int, int>> pauses; // frame, ms
    std::string refuseWindow, holdClass, hostTitle = "testhost";
    bool playerWindows = false;
    POINT waitScreen{0, 0};
};

const char usageText[] =
    "usage: testhost vis VIS.dll [--module N] [--frames F]\n"
    "       [--signal silence|sine:HZ|noise|sweep|FILE.wav] [--rate HZ] [--channels 1|2]\n"
    "       [--shot OUT.bmp|OUT.png] [--shot-every K] [--config] [--realtime]\n"
    "       [--stop-twice] [--do SCRIPT] [--restarts N] [--refuse-window CLASS]\n"
    "       [--hold-class CLASS] [--host-title TEXT] [--key-at FRAME:VK]...\n"
    "       [--pause FRAME:MS]... [--player KEY=VALUE,...] [--player-windows]\n"
    "       [--wait-screen WIDTHxHEIGHT] [--timeout S]\n";

// "FRAME:VALUE", frame 1 or later and the value at least least.
bool addFramePair(const char* text, int least, std::vector<std::pair<int, int>>& into) {
    int frame, value;
    char end;
    if (std::sscanf(text, "%d:%d%c", &frame, &value, &end) != 2 || frame < 1 || value < least)
        return false;
    into.push_back({frame, value});
    return true;
}

bool parseOptions(int argc, char** argv, VisOptions& o) {
    if (argc < 1) return false;
    o.plugin = argv[0];
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        bool hasValue = i + 1 < argc;
        if (a == "--module" && hasValue) {
            o.module = std::atoi(argv[++i]);
        } else if (a == "--frames" && hasValue) {
            o.frames = std::atoi(argv[++i]);
            o.framesGiven = true;
        } else if (a == "--signal" && hasValue) {
            o.signal = argv[++i];
        } else if (a == "--rate" && hasValue) {
            o.rateHz = std::atoi(argv[++i]);
        } else if (a == "--channels" && hasValue) {
            o.channels = std::atoi(argv[++i]);
        } else if (a == "--shot" && hasValue) {
            o.shot = argv[++i];
        } else if (a == "--shot-every" && hasValue) {
            o.shotEvery = std::atoi(argv[++i]);
        } else if (a == "--do" && hasValue) {
            o.script = argv[++i];
        } else if (a == "--key-at" && hasValue) {
            if (!addFramePair(argv[++i], 1, o.keysAt)) return false;
        } else if (a == "--pause" && hasValue) {
            if (!addFramePair(argv[++i], 0, o.pauses)) return false;
        } else if (a == "--player" && hasValue) {
            if (!setPlayerAnswers(argv[++i])) return false;
        } else if (a == "--player-windows") {
            o.playerWindows = true;
        } else if (a == "--restarts" && hasValue) {
            o.restarts = std::atoi(argv[++i]);
        } else if (a == "--timeout" && hasValue) {
            o.timeoutSeconds = std::atof(argv[++i]);
        } else if (a == "--refuse-window" && hasValue) {
            o.refuseWindow = argv[++i];
        } else if (a == "--hold-class" && hasValue) {
            o.holdClass = argv[++i];
        } else if (a == "--host-title" && hasValue) {
            o.hostTitle = argv[++i];
        } else if (a == "--config") {
            o.config = true;
        } else if (a == "--realtime") {
            o.realtime = true;
        } else if (a == "--stop-twice") {
            o.stopTwice = true;
        } else if (a == "--wait-screen" && hasValue) {
            char end;
            if (std::sscanf(argv[++i], "%ldx%ld%c", &o.waitScreen.x, &o.waitScreen.y, &end) != 2)
                return false;
        } else {
            return false;
        }
    }
    return o.frames >= 0 && o.shotEvery >= 0 && o.restarts >= 0 && o.timeoutSeconds > 0 &&
           (o.shotEvery == 0 || !o.shot.empty());
}

// Serves the thread's windows; false once a quit message came, which ends
// the visualization as it ends the player's visualization loop.
bool pumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) return false;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

bool pumpFor(DWORD ms) {
    DWORD start = GetTickCount();
    do {
        if (!pumpMessages()) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    } while (GetTickCount() - start < ms);
    return true;
}

// "out.png" and frame 40 give "out-0040.png".
std::string numberedShot(const std::string& path, int frame) {
    size_t dot = path.find_last_of('.');
    size_t slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) dot = path.size();
    char number[16];
    std::snprintf(number, sizeof number, "-%04d", frame);
    return path.substr(0, dot) + number + path.substr(dot);
}

// Refuses the first creation of a window of one class on this thread, as a
// system out of resources would, so that a plug-in's failure path runs.
class WindowRefusal {
public:
    void arm(const std::string& className) {
        if (className.empty()) return;
        className_ = className;
        hook_ = SetWindowsHookExA(WH_CBT, proc, nullptr, GetCurrentThreadId());
    }
    ~WindowRefusal() {
        if (hook_) UnhookWindowsHookEx(hook_);
    }

private:
    static LRESULT CALLBACK proc(int code, WPARAM wp, LPARAM lp) {
        if (code == HCBT_CREATEWND && !refused_) {
            char name[256] = "";
            GetClassNameA(reinterpret_cast<HWND>(wp), name, sizeof name);
            if (_stricmp(name, className_.c_str()) == 0) {
                refused_ = true;
                return 1;
            }
        }
        return CallNextHookEx(nullptr, code, wp, lp);
    }
    static inline std::string className_;
    static inline bool refused_ = false;
    HHOOK hook_ = nullptr;
};

LRESULT CALLBACK heldClassProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(w, msg, wp, lp);
}

POINT screenSize() {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

// What an earlier program did to the display mode may reach this program
// late, and now and then not at all: Wine's desktop can keep the size of a
// mode that the program which set it gave back before it ended. Waits a while
// for the mode wanted, serving messages so that a display change can arrive;
// then asks once for the mode of the settings store, which is the desktop's
// own. "beforeStart" shows what came.
void waitForScreen(POINT wanted) {
    for (int i = 0; i < 100; ++i) {
        POINT now = screenSize();
        if (now.x == wanted.x && now.y == wanted.y) return;
        if (i == 20) ChangeDisplaySettingsA(nullptr, 0);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(100);
    }
}

class VisRun {
public:
    VisRun(const VisOptions& o, VisHeader* header, HWND host, HINSTANCE lib, const TimeLimit& limit)
        : o_(o), header_(header), lib_(lib), limit_(limit), windows_(host) {}

    VisModule* module() {
        VisModule* m = callPlugin("moduleByIndex", header_->moduleByIndex, o_.module);
        if (first_ && m != first_)
            violation("moduleByIndex gave another record for the same index");
        if (!first_) first_ = m;
        return m;
    }
    void violation(const std::string& text) { violations_.push_back(text); }

    // Fills the rows that the module asks for: a count of 1 or 2 gets both
    // rows of that kind, 0 gets nothing.
    void fillRows(VisModule* m) {
        float a[visBlockLength], b[visBlockLength];
        signal_.nextBlock(a, b);
        if (m->spectrumChannels < 0 || m->spectrumChannels > 2 || m->waveformChannels < 0 ||
            m->waveformChannels > 2)
            violation("channel counts outside 0 to 2");
        if (m->spectrumChannels == 1 || m->spectrumChannels == 2) {
            makeSpectrumRow(a, m->spectrumRows[0]);
            makeSpectrumRow(b, m->spectrumRows[1]);
        }
        if (m->waveformChannels == 1 || m->waveformChannels == 2) {
            makeWaveformRow(a, m->waveformRows[0]);
            makeWaveformRow(b, m->waveformRows[1]);
        }
    }

    void shoot(const std::string& path) {
        pumpMessages();
        if (saveScreenRect(windows_.area(), path))
            shots_.push_back(path);
        else
            errors_.push_back("cannot save " + path);
    }

    void checkWindowsClosed(const char* when) {
        pumpMessages();
        for (const std::string& w : windows_.stillOpen())
            violation(std::string("window ") + w + " still open after " + when);
    }

    bool openSignal(std::string& error) {
        return signal_.open(o_.signal, o_.rateHz, o_.channels, o_.frames, error);
    }
    int rateHz() const { return signal_.rateHz(); }
    int channels() const { return signal_.channels(); }

    // The first round, then the restarts, each with the same frames; the
    // screenshots come from the last round, the results from the first.
    void run() {
        refusal_.arm(o_.refuseWindow);
        for (int round = 0; round <= o_.restarts; ++round) {
            if (round > 0 && limit_.reached()) break;
            if (round > 0) {
                signal_ = VisSignal(); // from its start again
                std::string error;
                if (!openSignal(error)) errors_.push_back(error);
            }
            Round r = runRound(module(), round, round == o_.restarts);
            if (round == 0)
                firstRound_ = r;
            else
                restartResults_.push_back(r.startResult);
            lastScreenAfter_ = r.screenAfter;
            if (round == 0) use_[0] = resourceUse();
            if (round == o_.restarts) use_[1] = resourceUse();
        }
    }

    void report(JsonWriter& j) const {
        j.key("startResult");
        if (started_)
            j.value(firstRound_.startResult);
        else
            j.null();
        j.key("framesRendered").value(firstRound_.rendered);
        j.key("stopReason").value(firstRound_.stopReason);
        j.key("stopCalls").value(firstRound_.stopCalls);
        j.key("frameLatencyMs").value(latency_);
        j.key("frameDelayMs").value(delay_);
        const Round& f = firstRound_;
        j.key("renderMs").beginObject();
        j.key("mean").value(f.rendered ? f.renderMsTotal / f.rendered : 0.0);
        j.key("max").value(f.renderMsMax);
        j.key("total").value(f.renderMsTotal);
        j.endObject();
        j.key("screen").beginObject();
        j.key("beforeStart");
        size(j, firstRound_.screenBefore);
        j.key("lastFrame");
        size(j, firstRound_.screenLastFrame);
        j.key("afterStop");
        size(j, firstRound_.screenAfter);
        j.endObject();
        if (o_.restarts > 0) {
            j.key("restarts").beginObject();
            j.key("count").value(o_.restarts);
            j.key("startResults").beginArray();
            for (int r : restartResults_) j.value(r);
            j.endArray();
            // The first round's may not be the one that changed the mode.
            j.key("lastAfterStop");
            size(j, lastScreenAfter_);
            describeResourceUse(j, use_);
            j.endObject();
        }
        j.key("windows");
        windows_.describe(j);
        j.key("screenshots").beginArray();
        for (const std::string& s : shots_) j.value(s);
        j.endArray();
        j.key("violations").beginArray();
        for (const std::string& v : violations_) j.value(v);
        for (const std::string& f : stackFaults()) j.value(f); // printed when found
        j.endArray();
    }
    const std::vector<std::string>& errors() const { return errors_; }
    const std::vector<std::string>& violations() const { return violations_; }

private:
    struct Round {
        int startResult = 0, rendered = 0, stopCalls = 0;
        const char* stopReason = "notStarted";
        std::optional<POINT> screenBefore, screenLastFrame, screenAfter;
        double renderMsTotal = 0, renderMsMax = 0;
    };

    static void size(JsonWriter& j, const std::optional<POINT>& p) {
        if (p)
            j.beginArray().value(int(p->x)).value(int(p->y)).endArray();
        else
            j.null();
    }

    // Registers the class for the plug-in's instance around the first start,
    // so that the plug-in's own registration fails that once.
    void holdClass(bool hold) {
        if (o_.holdClass.empty()) return;
        if (!hold) {
            if (!UnregisterClassA(o_.holdClass.c_str(), lib_))
                errors_.push_back("cannot unregister the held class " + o_.holdClass);
            return;
        }
        WNDCLASSA wc{};
        wc.lpfnWndProc = heldClassProc;
        wc.hInstance = lib_;
        wc.lpszClassName = o_.holdClass.c_str();
        if (!RegisterClassA(&wc)) errors_.push_back("cannot register the class " + o_.holdClass);
    }

    // The keys asked for at this frame, posted as the window script's key
    // posts them to the module's key window and served before anything else.
    // false once a quit message came while serving them (a module that quits
    // on a key), which ends the frames as any other quit does.
    bool pressKeysAt(int frame) {
        bool pressed = false;
        for (const auto& [at, vk] : o_.keysAt) {
            if (at != frame) continue;
            HWND target = windows_.firstOpenOwnedByHost();
            if (!target) {
                errors_.push_back("no module window for the key at frame " + std::to_string(frame));
                continue;
            }
            PostMessageA(target, WM_KEYDOWN, WPARAM(vk), 1);
            PostMessageA(target, WM_KEYUP, WPARAM(vk), LPARAM(0xC0000001u));
            pressed = true;
        }
        return !pressed || pumpMessages();
    }

    Round runRound(VisModule* m, int round, bool last) {
        Round r;
        windows_.ignoreExisting();
        r.screenBefore = screenSize();
        if (round == 0) holdClass(true);
        r.startResult = callPlugin("startModule", m->startModule, m);
        if (round == 0) holdClass(false);
        started_ = true;
        windows_.update();
        if (r.startResult != 0) {
            r.stopReason = "startFailed";
            checkWindowsClosed("a failed startModule");
            r.screenAfter = screenSize();
            return r;
        }
        r.stopReason = "frames";
        std::string shot = last ? o_.shot : "";
        bool shotTaken = false;
        while (r.rendered < o_.frames) {
            m = module();
            fillRows(m);
            LARGE_INTEGER before, after, ticksPerSecond;
            QueryPerformanceCounter(&before);
            int result = callPlugin("renderFrame", m->renderFrame, m);
            QueryPerformanceCounter(&after);
            QueryPerformanceFrequency(&ticksPerSecond);
            double ms =
                double(after.QuadPart - before.QuadPart) * 1000.0 / double(ticksPerSecond.QuadPart);
            r.renderMsTotal += ms;
            r.renderMsMax = std::max(r.renderMsMax, ms);
            ++r.rendered;
            bool alive =
                o_.realtime ? pumpFor(DWORD(std::max(m->frameDelayMs, 0))) : pumpMessages();
            r.screenLastFrame = screenSize();
            windows_.update();
            if (alive) alive = pressKeysAt(r.rendered);
            // A pause serves the windows without frames, as a player that
            // stopped sending them.
            for (const auto& [at, ms] : o_.pauses)
                if (at == r.rendered && alive) alive = pumpFor(DWORD(ms));
            shotTaken = false;
            if (!shot.empty() && o_.shotEvery && r.rendered % o_.shotEvery == 0) {
                shoot(numberedShot(shot, r.rendered));
                shotTaken = true;
            }
            if (result != 0) {
                r.stopReason = "renderFrame";
                break;
            }
            if (!alive) {
                r.stopReason = "quit";
                break;
            }
            if (limit_.reached()) {
                r.stopReason = "timeout";
                break;
            }
        }
        if (!shot.empty() && !shotTaken)
            shoot(o_.shotEvery ? numberedShot(shot, r.rendered) : shot);
        m = module();
        latency_ = m->frameLatencyMs;
        delay_ = m->frameDelayMs;
        callPlugin("stopModule", m->stopModule, m);
        ++r.stopCalls;
        if (o_.stopTwice) {
            callPlugin("stopModule", m->stopModule, m);
            ++r.stopCalls;
        }
        checkWindowsClosed("stopModule");
        r.screenAfter = screenSize();
        return r;
    }

    const VisOptions& o_;
    VisHeader* header_;
    HINSTANCE lib_;
    const TimeLimit& limit_;
    ModuleWindows windows_;
    VisSignal signal_;
    WindowRefusal refusal_;
    VisModule* first_ = nullptr;
    bool started_ = false;
    Round firstRound_;
    std::vector<int> restartResults_;
    std::optional<POINT> lastScreenAfter_;
    std::array<ResourceUse, 2> use_{};
    int latency_ = 0, delay_ = 0;
    std::vector<std::string> shots_, errors_, violations_;
};

} // namespace

int runVis(int argc, char** argv) {
    VisOptions o;
    if (!parseOptions(argc, argv, o)) {
        std::fputs(usageText, stderr);
        return 2;
    }
    TimeLimit limit;
    limit.start(o.timeoutSeconds);
    HMODULE lib = static_cast<HMODULE>(loadPlugin(o.plugin));
    if (!lib) return 1;
    auto get = reinterpret_cast<JukoraVisGetHeader>(
        reinterpret_cast<void*>(GetProcAddress(lib, "jukoraVisGetHeader")));
    VisHeader* header = get ? callPlugin("jukoraVisGetHeader", get) : nullptr;
    if (!header || !header->moduleByIndex ||
        !callPlugin("moduleByIndex", header->moduleByIndex, o.module)) {
        std::fprintf(stderr, "%s offers no visualization module %d\n", o.plugin, o.module);
        FreeLibrary(lib);
        return 1;
    }
    VisHostWindow host;
    VisHostWindow::messages.clear();
    if (!host.create(o.hostTitle)) {
        std::fputs("cannot create the host window\n", stderr);
        return 1;
    }
    PlayerWindows playerWindows;
    if (o.playerWindows && !playerWindows.open()) {
        std::fputs("cannot open the player's other windows\n", stderr);
        return 1;
    }
    VisRun run(o, header, host.handle(), lib, limit);
    std::string error;
    if (!run.openSignal(error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    if (callPlugin("moduleByIndex", header->moduleByIndex, -1))
        run.violation("moduleByIndex(-1) gave a record");

    VisModule* m = run.module();
    m->hostWindow = host.handle();
    m->pluginInstance = lib;
    m->rateHz = run.rateHz();
    m->channelCount = run.channels();
    pumpMessages();

    WindowDriver driver;
    driver.extraAction = [](const std::vector<std::string>& w) -> std::optional<bool> {
        if (w[0] != "player" || w.size() < 2) return std::nullopt;
        std::string settings;
        for (size_t i = 1; i < w.size(); ++i) settings += (i > 1 ? " " : "") + w[i];
        return setPlayerAnswers(settings);
    };
    if (!o.script.empty()) driver.start(o.script);
    if (o.config) {
        if (m->openModuleSettings)
            callPlugin("openModuleSettings", m->openModuleSettings, m);
        else
            run.violation("no openModuleSettings operation");
        pumpMessages();
    }
    if (o.waitScreen.x) waitForScreen(o.waitScreen);
    if (!o.config || o.framesGiven) run.run();
    driver.finish();
    // Boxes that the limit closed, then those that the run leaves open.
    limit.finish();
    std::vector<std::string> boxes;
    for (const MessageBoxSeen& box : limit.boxesClosed())
        boxes.push_back(describeMessageBox(box) + " was still open at the time limit");
    for (const MessageBoxSeen& box : openMessageBoxes())
        boxes.push_back(describeMessageBox(box) + " is still open at the end of the run");

    JsonWriter j;
    j.beginObject();
    j.key("command").value("vis");
    j.key("module").value(o.module);
    j.key("moduleName").value(m->displayName ? m->displayName : "");
    j.key("hostWindow").value(windowNumber(host.handle()));
    j.key("rateHz").value(run.rateHz());
    j.key("channelCount").value(run.channels());
    j.key("spectrumChannels").value(m->spectrumChannels);
    j.key("waveformChannels").value(m->waveformChannels);
    run.report(j);
    j.key("peakMemoryBytes").value(peakMemoryBytes());
    j.key("hostMessages").beginArray();
    for (const auto& msg : VisHostWindow::messages)
        j.beginArray().value(int(msg.message)).value(msg.wParam).value(msg.lParam).endArray();
    j.endArray();
    j.key("hostMessagesPosted").beginArray(); // for each of hostMessages: posted, or sent
    for (const auto& msg : VisHostWindow::messages) j.value(msg.posted);
    j.endArray();
    j.key("timedOut").value(limit.reached());
    j.key("errors").beginArray();
    for (const std::string& e : run.errors()) j.value(e);
    for (const std::string& e : driver.errors()) j.value(e);
    for (const std::string& e : boxes) j.value(e);
    j.endArray();
    j.key("scriptShots").beginArray();
    for (const std::string& s : driver.screenshots()) j.value(s);
    j.endArray();
    j.endObject();
    std::printf("%s\n", j.text().c_str());
    std::fflush(stdout);
    for (const std::string& v : run.violations()) std::fprintf(stderr, "contract: %s\n", v.c_str());
    for (const std::string& e : run.errors()) std::fprintf(stderr, "%s\n", e.c_str());
    for (const std::string& e : driver.errors()) std::fprintf(stderr, "script: %s\n", e.c_str());
    for (const std::string& e : boxes) std::fprintf(stderr, "%s\n", e.c_str());
    bool clean = run.violations().empty() && run.errors().empty() && driver.errors().empty() &&
                 boxes.empty() && stackFaults().empty();
    FreeLibrary(lib);
    return clean ? 0 : 1;
}

} // namespace testhost
