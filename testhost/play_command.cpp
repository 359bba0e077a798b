// testhost play PLUGIN.dll FILE ...: plays one file through an input plug-in
// in the order the player uses, and reports what came out.
#include "testhost/commands.h"
#include "testhost/input_host.h"
#include "testhost/json_writer.h"
#include "testhost/play_dialog.h"
#include "testhost/resource_use.h"
#include "testhost/stack_check.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace testhost {

namespace {

struct TimedAction {
    int atMs;    // audio time (frames written to the WAV) at which it happens
    int valueMs; // seek target, or pause length
    bool isPause;
    bool done = false;
    int dialog = -1; // index into PlayOptions::dialogs
};

struct PlayOptions {
    const char* plugin = nullptr;
    const char* file = nullptr;
    double maxSeconds = 3600;
    double timeoutSeconds = 300;
    int restarts = 0;
    std::vector<TimedAction> actions;
    std::vector<PlayDialog> dialogs;
};

bool parseOptions(int argc, char** argv, PlayOptions& o) {
    if (argc < 2) return false;
    o.plugin = argv[0];
    o.file = argv[1];
    for (int i = 2; i < argc; ++i) {
        std::string a = argv[i];
        bool hasValue = i + 1 < argc;
        if (a == "--wav" && hasValue) {
            host.wavPath = argv[++i];
        } else if (a == "--max-seconds" && hasValue) {
            o.maxSeconds = std::atof(argv[++i]);
        } else if (a == "--timeout" && hasValue) {
            o.timeoutSeconds = std::atof(argv[++i]);
        } else if (a == "--seek" && hasValue) {
            int to, at;
            if (std::sscanf(argv[++i], "%d@%d", &to, &at) != 2) return false;
            o.actions.push_back({at, to, false});
        } else if (a == "--pause" && hasValue) {
            int at, len;
            if (std::sscanf(argv[++i], "%d:%d", &at, &len) != 2) return false;
            o.actions.push_back({at, len, true});
        } else if (a == "--dialog" && hasValue) {
            PlayDialog d;
            int at;
            if (!parsePlayDialog(argv[++i], d, at)) return false;
            o.actions.push_back({at, 0, false, false, int(o.dialogs.size())});
            o.dialogs.push_back(d);
        } else if (a == "--do" && hasValue && !o.dialogs.empty()) {
            o.dialogs.back().script = argv[++i];
        } else if (a == "--dsp") {
            host.dspActive = true;
        } else if (a == "--restarts" && hasValue) {
            o.restarts = std::atoi(argv[++i]);
        } else if (a == "--realtime") {
            host.realtime = true;
        } else {
            return false;
        }
    }
    return true;
}

void pumpMessages(DWORD waitMs) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, waitMs, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void pumpFor(DWORD ms) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) pumpMessages(5);
}

int64_t framesAt(int ms) {
    return host.rate ? int64_t(ms) * host.rate / 1000 : 0;
}

// The next action not yet done, in audio-time order.
TimedAction* nextAction(std::vector<TimedAction>& actions) {
    TimedAction* next = nullptr;
    for (auto& a : actions)
        if (!a.done && (!next || a.atMs < next->atMs)) next = &a;
    return next;
}

// Holds the output (writableBytes reports 0) once the next action is due, so
// that it happens at the same audio position however fast the plug-in is.
void armGate(std::vector<TimedAction>& actions, double maxSeconds) {
    std::lock_guard<std::mutex> g(host.lock);
    TimedAction* a = nextAction(actions);
    int64_t limit = int64_t(maxSeconds * host.rate);
    int64_t at = a ? framesAt(a->atMs) : limit;
    if (at > limit) at = limit;
    host.gateFrame = int(at > 0x7fffffff ? 0x7fffffff : at);
}

struct StopWatchdog {
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = nullptr;
    static DWORD WINAPI watch(LPVOID self) {
        if (WaitForSingleObject(static_cast<StopWatchdog*>(self)->done, 5000) == WAIT_TIMEOUT) {
            std::fputs("contract: stopPlayback did not return within 5 s\n", stderr);
            std::fflush(stderr);
            ExitProcess(3);
        }
        return 0;
    }
    void start() { thread = CreateThread(nullptr, 0, watch, this, 0, nullptr); }
    void finish() {
        SetEvent(done);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        CloseHandle(done);
    }
};

// Starts and stops the song n times, each time after a moment of playing,
// and measures what the process holds after the first and the last round.
std::array<ResourceUse, 2> restartRounds(InputModule* m, const char* file, int n) {
    std::array<ResourceUse, 2> use{};
    std::string wav = host.wavPath;
    host.wavPath.clear();
    for (int i = 0; i < n; ++i) {
        {
            std::lock_guard<std::mutex> g(host.lock);
            host.gateFrame = 0x7fffffff;
        }
        if (callPlugin("startPlayback", m->startPlayback, file) == playbackStarted) {
            pumpFor(DWORD(i % 3 * 10));
            StopWatchdog watchdog;
            watchdog.start();
            callPlugin("stopPlayback", m->stopPlayback);
            watchdog.finish();
        }
        pumpMessages(0); // an end message of this round belongs to this round
        {
            std::lock_guard<std::mutex> g(host.lock);
            host.endOfStream = 0;
        }
        if (i == 0) use[0] = resourceUse();
    }
    use[1] = resourceUse();
    host.wavPath = wav;
    host.clearRecords();
    return use;
}

// What one play gathered, for the report.
struct PlayResult {
    int claims = 0;
    char title[2048] = "";
    int describedMs = 0x7fffffff;
    std::array<ResourceUse, 2> restartUse{};
    int started = playbackNotPlayable;
    int lengthMs = lengthUnknownMs;
    char currentTitle[2048] = "";
    int currentLengthMs = 0x7fffffff;
    int positionMs = 0;
    const char* stopReason = "notStarted";
    std::vector<std::array<int64_t, 2>> seeks, pauses;
    double wallSeconds = 0;
};

// The operations the player calls while playing a file; the name of the first
// one the record lacks, or null.
const char* missingOperation(const InputModule* m) {
    if (!m->startUp) return "startUp";
    if (!m->shutDown) return "shutDown";
    if (!m->claimsFile) return "claimsFile";
    if (!m->describeFile) return "describeFile";
    if (!m->startPlayback) return "startPlayback";
    if (!m->stopPlayback) return "stopPlayback";
    if (!m->queryLengthMs) return "queryLengthMs";
    if (!m->queryPositionMs) return "queryPositionMs";
    if (!m->requestSeekMs) return "requestSeekMs";
    if (!m->pausePlayback || !m->resumePlayback) return "pausePlayback";
    return nullptr;
}

// A pause: the plug-in is paused for the action's length while the device
// stays open to it, then resumed.
void pauseFor(InputModule* m, const TimedAction& a) {
    callPlugin("pausePlayback", m->pausePlayback);
    if (!m->queryPaused || callPlugin("queryPaused", m->queryPaused) != 1)
        host.violation("queryPaused does not report the pause");
    {
        std::lock_guard<std::mutex> g(host.lock);
        host.gateFrame = 0x7fffffff; // the plug-in may fill the device
    }
    pumpFor(DWORD(a.valueMs));
    callPlugin("resumePlayback", m->resumePlayback);
}

// From startPlayback to stopPlayback: the timed actions at their audio times,
// until the song ends, the time limit or the audio limit is reached.
void playSong(InputModule* m, HWND window, PlayOptions& o, DWORD wallStart, PlayResult& r) {
    {
        std::lock_guard<std::mutex> g(host.lock);
        host.gateFrame = 0; // nothing may be written before the first gate is armed
    }
    r.started = callPlugin("startPlayback", m->startPlayback, o.file);
    if (r.started != playbackStarted) return;
    if (!host.streamOpen) host.violation("startPlayback returned 0 without an open stream");
    r.lengthMs = callPlugin("queryLengthMs", m->queryLengthMs);
    // An empty name asks about the song that is playing.
    callPlugin("describeFile", m->describeFile, "", r.currentTitle, &r.currentLengthMs);
    armGate(o.actions, o.maxSeconds);
    r.stopReason = nullptr;
    while (!r.stopReason) {
        pumpMessages(2);
        bool eos, gated;
        int64_t frames;
        {
            std::lock_guard<std::mutex> g(host.lock);
            eos = host.endOfStream > 0;
            frames = host.framesWritten;
            gated = frames >= host.gateFrame;
        }
        if (eos) {
            r.stopReason = "endOfStream";
            pumpFor(300); // a second message would show up here
        } else if (double(GetTickCount() - wallStart) / 1000 > o.timeoutSeconds) {
            r.stopReason = "timeout";
        } else if (gated) {
            TimedAction* a = nextAction(o.actions);
            if (a && frames >= framesAt(a->atMs)) {
                if (a->dialog >= 0) {
                    runPlayDialog(m, window, o.file, o.dialogs[size_t(a->dialog)]);
                } else if (a->isPause) {
                    r.pauses.push_back({frames, a->valueMs});
                    pauseFor(m, *a);
                } else {
                    r.seeks.push_back({frames, a->valueMs});
                    callPlugin("requestSeekMs", m->requestSeekMs, a->valueMs);
                }
                a->done = true;
                armGate(o.actions, o.maxSeconds);
            } else if (frames >= int64_t(o.maxSeconds * host.rate)) {
                r.stopReason = "maxSeconds";
            }
        }
    }
    r.positionMs = callPlugin("queryPositionMs", m->queryPositionMs);
    StopWatchdog watchdog;
    watchdog.start();
    callPlugin("stopPlayback", m->stopPlayback);
    watchdog.finish();
    if (host.streamOpen) host.violation("stopPlayback left the output open");
    if (host.visOpen) host.violation("stopPlayback left the visualization feed open");
}

// One JSON line on stdout: what the plug-in answered, what the host recorded,
// and every broken contract.
void writeReport(const PlayOptions& o, const PlayResult& r) {
    JsonWriter j;
    j.beginObject();
    j.key("startPlayback").value(r.started);
    j.key("claimsFile").value(r.claims);
    j.key("title").value(r.title);
    j.key("describeLengthMs").value(r.describedMs);
    j.key("lengthMs").value(r.lengthMs);
    j.key("currentTitle").value(r.currentTitle);
    j.key("currentLengthMs").value(r.currentLengthMs);
    j.key("positionMs").value(r.positionMs);
    j.key("rate").value(host.rate);
    j.key("channels").value(host.channels);
    j.key("bits").value(host.bits);
    j.key("framesWritten").value(host.framesWritten);
    j.key("openStreamCalls").value(host.openCalls);
    j.key("outputVolume").value(host.lastVolume);
    j.key("streamInfo").beginArray();
    for (auto& s : host.streamInfo)
        j.beginArray().value(s[0]).value(s[1]).value(s[2]).value(s[3]).endArray();
    j.endArray();
    j.key("visFormat").beginArray().value(host.visFormat[0]).value(host.visFormat[1]).endArray();
    j.key("visBlocks").value(host.visBlocks1);
    j.key("visBlocks2").value(host.visBlocks2);
    j.key("dspBlocks").value(host.dspBlocks);
    j.key("flushes").beginArray();
    for (auto& f : host.flushes) j.beginArray().value(f.atFrame).value(f.valueMs).endArray();
    j.endArray();
    j.key("seeks").beginArray();
    for (auto& s : r.seeks) j.beginArray().value(s[0]).value(s[1]).endArray();
    j.endArray();
    j.key("pauses").beginArray();
    for (auto& p : r.pauses) j.beginArray().value(p[0]).value(p[1]).endArray();
    j.endArray();
    j.key("dialogs");
    writePlayDialogs(j, o.dialogs);
    j.key("endOfStream").value(host.endOfStream);
    j.key("endMarkers").value(host.endMarkers);
    j.key("ipc").beginArray();
    for (auto& c : host.ipc) j.beginArray().value(c[0]).value(c[1]).endArray();
    j.endArray();
    j.key("urls").beginArray();
    for (auto& u : host.urls) j.value(u);
    j.endArray();
    if (o.restarts > 0) {
        j.key("restarts").beginObject();
        j.key("count").value(o.restarts);
        describeResourceUse(j, r.restartUse);
        j.endObject();
    }
    j.key("stopReason").value(r.stopReason);
    j.key("wallSeconds").value(r.wallSeconds);
    j.key("violations").beginArray();
    for (auto& v : host.violations) j.value(v);
    for (auto& f : stackFaults()) j.value(f); // printed when found
    j.endArray();
    j.endObject();
    std::printf("%s\n", j.text().c_str());
    std::fflush(stdout);
    for (auto& v : host.violations) std::fprintf(stderr, "contract: %s\n", v.c_str());
}

} // namespace

int runPlay(int argc, char** argv) {
    PlayOptions o;
    if (!parseOptions(argc, argv, o)) {
        std::fputs("usage: testhost play PLUGIN.dll FILE [--wav OUT.wav] [--max-seconds S]\n"
                   "       [--seek MS@AT_MS]... [--pause AT_MS:FOR_MS]... [--dsp] [--realtime]\n"
                   "       [--timeout S] [--restarts N]\n"
                   "       [--dialog config|about|details@AT_MS [--do SCRIPT]]...\n",
                   stderr);
        return 2;
    }
    HMODULE lib = static_cast<HMODULE>(loadPlugin(o.plugin));
    if (!lib) return 1;
    auto get = reinterpret_cast<JukoraGetInModule2>(
        reinterpret_cast<void*>(GetProcAddress(lib, "jukoraGetInModule2")));
    InputModule* m = get ? callPlugin("jukoraGetInModule2", get) : nullptr;
    if (!m) {
        std::fprintf(stderr, "%s is not an input plug-in\n", o.plugin);
        return 1;
    }
    if (const char* missing = missingOperation(m)) {
        std::fprintf(stderr, "contract: the plug-in has no %s operation\n", missing);
        return 1;
    }

    HWND window = createHostWindow();
    fillHostSlots(m, window, lib);

    PlayResult r;
    DWORD wallStart = GetTickCount();
    callPlugin("startUp", m->startUp);
    r.claims = callPlugin("claimsFile", m->claimsFile, o.file);
    callPlugin("describeFile", m->describeFile, o.file, r.title, &r.describedMs);
    if (o.restarts > 0) r.restartUse = restartRounds(m, o.file, o.restarts);
    playSong(m, window, o, wallStart, r);
    callPlugin("shutDown", m->shutDown);
    r.wallSeconds = double(GetTickCount() - wallStart) / 1000;
    DestroyWindow(window);

    writeReport(o, r);
    FreeLibrary(lib);
    return host.violations.empty() && stackFaults().empty() ? 0 : 1;
}

} // namespace testhost
