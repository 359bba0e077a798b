#include "testhost/input_host.h"

#include "host/messages.h"
#include "testhost/stack_check.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace testhost {

InputHost host;

void InputHost::violation(const std::string& text) {
    if (violations.size() < 50) violations.push_back(text);
}

void InputHost::clearRecords() {
    std::lock_guard<std::mutex> g(lock);
    openCalls = closeCalls = visOpenCalls = visCloseCalls = 0;
    visBlocks1 = visBlocks2 = dspBlocks = 0;
    framesWritten = bytesWritten = 0;
    endMarkers = endOfStream = volumeCalls = 0;
    flushes.clear();
    streamInfo.clear();
    ipc.clear();
    urls.clear();
}

// In simulated mode the device plays everything it holds whenever it is
// asked, unless paused; in real-time mode it plays at the stream's rate.
void InputHost::drainLocked() {
    if (paused || !streamOpen) return;
    if (!realtime) {
        played = written;
        return;
    }
    int64_t elapsed = int64_t(GetTickCount() - clockStart);
    int64_t target = playedAtClockStart + elapsed * bytesPerSecond / 1000;
    target -= target % (frameBytes() ? frameBytes() : 1);
    played = target < written ? target : written;
}

int64_t InputHost::bufferedLocked() {
    drainLocked();
    return written - played;
}

static void restartClockLocked() {
    host.clockStart = GetTickCount();
    host.playedAtClockStart = host.played;
}

int InputHost::openStream(int rate, int channels, int bits, int a, int b) {
    std::lock_guard<std::mutex> g(lock);
    ++openCalls;
    if (streamOpen) violation("openStream while a stream is open");
    if (a != -1 || b != -1) violation("openStream's last two arguments are not -1");
    if (rate <= 0 || (channels != 1 && channels != 2) || (bits != 8 && bits != 16)) {
        violation("openStream with an unplayable format");
        return -1;
    }
    this->rate = rate;
    this->channels = channels;
    this->bits = bits;
    bytesPerSecond = int64_t(rate) * channels * bits / 8;
    capacity = bytesPerSecond / 2;
    capacity -= capacity % frameBytes();
    written = played = 0;
    baseMs = 0;
    paused = false;
    streamOpen = true;
    restartClockLocked();
    if (!wavPath.empty() && !wav.open(wavPath, rate, channels, bits))
        violation("cannot write " + wavPath + ": " + std::strerror(errno));
    openResult = 1000 + openCalls; // a value the plug-in passes on unchanged
    return openResult;
}

void InputHost::closeStream() {
    std::lock_guard<std::mutex> g(lock);
    ++closeCalls;
    if (!streamOpen) violation("closeStream without an open stream");
    streamOpen = false;
    wav.close();
}

int InputHost::writePcm(char* buffer, int bytes) {
    std::lock_guard<std::mutex> g(lock);
    if (!streamOpen) {
        violation("writePcm without an open stream");
        return 0;
    }
    if (bytes == 0) {
        ++endMarkers;
        return 0;
    }
    if (endOfStream) violation("writePcm after the end-of-stream message");
    if (!buffer || bytes < 0) {
        violation("writePcm with a bad buffer or size");
        return 0;
    }
    if (bytes % frameBytes() != 0) violation("writePcm of a partial frame");
    if (bytes > capacity - bufferedLocked()) {
        violation("writePcm of " + std::to_string(bytes) +
                  " bytes, more than writableBytes allows");
    }
    wav.write(buffer, size_t(bytes));
    written += bytes;
    bytesWritten += bytes;
    framesWritten += bytes / frameBytes();
    return 0;
}

int InputHost::writableBytes() {
    std::lock_guard<std::mutex> g(lock);
    if (!streamOpen) return 0;
    if (gateFrame >= 0 && framesWritten >= gateFrame) return 0;
    return int(capacity - bufferedLocked());
}

int InputHost::stillPlaying() {
    std::lock_guard<std::mutex> g(lock);
    if (!streamOpen) return 0;
    // The device reports what it held when asked, then plays it.
    bool busy = written != played;
    drainLocked();
    return busy ? 1 : 0;
}

int InputHost::setPaused(int pause) {
    std::lock_guard<std::mutex> g(lock);
    int was = paused;
    if (pause) drainLocked();
    paused = pause != 0;
    if (!pause) restartClockLocked();
    return was;
}

void InputHost::outputVolume(int volume) {
    std::lock_guard<std::mutex> g(lock);
    lastVolume = volume;
    ++volumeCalls;
}

void InputHost::flushTo(int ms) {
    std::lock_guard<std::mutex> g(lock);
    flushes.push_back({framesWritten, ms});
    written = played = 0;
    baseMs = ms;
    restartClockLocked();
}

static int msOf(int64_t bytes) {
    return host.bytesPerSecond ? int(bytes * 1000 / host.bytesPerSecond) : 0;
}

int InputHost::playedTimeMs() {
    std::lock_guard<std::mutex> g(lock);
    drainLocked();
    return baseMs + msOf(played);
}

int InputHost::writtenTimeMs() {
    std::lock_guard<std::mutex> g(lock);
    return baseMs + msOf(written);
}

void InputHost::visFeedOpen(int stream, int rate) {
    std::lock_guard<std::mutex> g(lock);
    ++visOpenCalls;
    if (stream != openResult) violation("visFeedOpen without openStream's result");
    if (rate != this->rate) violation("visFeedOpen with another rate than the stream's");
    visOpen = true;
}

void InputHost::visFeedClose() {
    std::lock_guard<std::mutex> g(lock);
    ++visCloseCalls;
    visOpen = false;
}

static void checkVisBlock(void* pcm, int channels, int bits) {
    if (!host.visOpen) host.violation("visualization block while the feed is closed");
    if (!pcm || channels != host.channels || bits != host.bits)
        host.violation("visualization block that does not match the stream");
}

void InputHost::visFeedPcm1(void* pcm, int channels, int bits, int) {
    std::lock_guard<std::mutex> g(lock);
    checkVisBlock(pcm, channels, bits);
    ++visBlocks1;
}

void InputHost::visFeedPcm2(void* pcm, int channels, int bits, int) {
    std::lock_guard<std::mutex> g(lock);
    checkVisBlock(pcm, channels, bits);
    ++visBlocks2;
    if (visBlocks2 > visBlocks1) violation("visFeedPcm2 without visFeedPcm1");
}

void InputHost::visFeedFormat(int rate, int channels) {
    std::lock_guard<std::mutex> g(lock);
    visFormat = {rate, channels};
}

int InputHost::dspActiveQuery() {
    return dspActive ? 1 : 0;
}

// A processor that hands every block back unchanged.
int InputHost::dspProcessBlock(void* pcm, int frames, int bits, int channels, int rate) {
    std::lock_guard<std::mutex> g(lock);
    ++dspBlocks;
    if (!pcm || frames <= 0 || bits != this->bits || channels != this->channels ||
        rate != this->rate)
        violation("dspProcessBlock with arguments that do not match the stream");
    return frames;
}

void InputHost::reportStreamInfo(int kbps, int khz, int channels, int synced) {
    std::lock_guard<std::mutex> g(lock);
    streamInfo.push_back({kbps, khz, channels, synced});
}

namespace {

// A host function as the plug-in sees it: notes where the stack stands at
// each call, then hands the call to the host.
template <auto Method>
struct CheckedSlot;

template <class R, class... A, R (jk::testing::PlayerSide::*Method)(A...)>
struct CheckedSlot<Method> {
    static inline const char* name = "";
    static R JK_CDECL call(A... args) {
#if defined(__i386__)
        noteHostCall(name, int(4 * sizeof...(A)), __builtin_frame_address(0),
                     __builtin_return_address(0));
#endif
        return (host.*Method)(args...);
    }
};

template <auto Method, class Slot>
void checkSlot(Slot& slot, const char* name) {
    CheckedSlot<Method>::name = name;
    slot = &CheckedSlot<Method>::call;
}

} // namespace

#define JK_CHECK_SLOT(record, slot) checkSlot<&jk::testing::PlayerSide::slot>(record.slot, #slot)

void fillHostSlots(InputModule* m, HWND hostWindow, HINSTANCE pluginInstance) {
    m->hostWindow = hostWindow;
    m->pluginInstance = pluginInstance;
    jk::testing::connectHostSlots(*m, host);
    OutputModule& out = *m->hostOutput;
    JK_CHECK_SLOT(out, openStream);
    JK_CHECK_SLOT(out, closeStream);
    JK_CHECK_SLOT(out, writePcm);
    JK_CHECK_SLOT(out, writableBytes);
    JK_CHECK_SLOT(out, stillPlaying);
    JK_CHECK_SLOT(out, setPaused);
    JK_CHECK_SLOT(out, outputVolume);
    JK_CHECK_SLOT(out, outputBalance);
    JK_CHECK_SLOT(out, flushTo);
    JK_CHECK_SLOT(out, playedTimeMs);
    JK_CHECK_SLOT(out, writtenTimeMs);
    JK_CHECK_SLOT((*m), visFeedOpen);
    JK_CHECK_SLOT((*m), visFeedClose);
    JK_CHECK_SLOT((*m), visFeedPcm1);
    JK_CHECK_SLOT((*m), visFeedPcm2);
    JK_CHECK_SLOT((*m), visFeedFormat);
    JK_CHECK_SLOT((*m), dspActiveQuery);
    JK_CHECK_SLOT((*m), dspProcessBlock);
    JK_CHECK_SLOT((*m), reportStreamInfo);
}

#undef JK_CHECK_SLOT

HWND createHostWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = hostWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "JukoraTestHost";
    RegisterClassA(&wc); // fails harmlessly when the class is there already
    return CreateWindowExA(0, wc.lpszClassName, "testhost", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                           nullptr, nullptr, wc.hInstance, nullptr);
}

LRESULT CALLBACK hostWindowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == hostMsgEndOfStream) {
        std::lock_guard<std::mutex> g(host.lock);
        if (wp != 0 || lp != 0) host.violation("end-of-stream message with parameters");
        if (++host.endOfStream > 1) host.violation("end-of-stream message posted twice");
        if (host.written != host.played)
            host.violation("end-of-stream message before the output played out");
        return 0;
    }
    if (msg == ipcMessage) {
        std::lock_guard<std::mutex> g(host.lock);
        if (host.ipc.size() < 1000) host.ipc.push_back({int64_t(lp), int64_t(wp)});
        if (lp == ipcShowUrl && wp != 0 && host.urls.size() < 1000) {
            // The text lives only while the message is handled: keep a copy, and
            // print it at once so that a test can look at the page while it exists.
            host.urls.emplace_back(reinterpret_cast<const char*>(wp));
            std::printf("url %s\n", host.urls.back().c_str());
            std::fflush(stdout);
        }
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

} // namespace testhost
