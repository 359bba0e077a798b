#include "testhost/input_host.h"

#include "host/messages.h"

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

static int JK_CDECL openStream(int rate, int channels, int bits, int a, int b) {
    std::lock_guard<std::mutex> g(host.lock);
    ++host.openCalls;
    if (host.streamOpen) host.violation("openStream while a stream is open");
    if (a != -1 || b != -1) host.violation("openStream's last two arguments are not -1");
    if (rate <= 0 || (channels != 1 && channels != 2) || (bits != 8 && bits != 16)) {
        host.violation("openStream with an unplayable format");
        return -1;
    }
    host.rate = rate;
    host.channels = channels;
    host.bits = bits;
    host.bytesPerSecond = int64_t(rate) * channels * bits / 8;
    host.capacity = host.bytesPerSecond / 2;
    host.capacity -= host.capacity % host.frameBytes();
    host.written = host.played = 0;
    host.baseMs = 0;
    host.paused = false;
    host.streamOpen = true;
    restartClockLocked();
    if (!host.wavPath.empty() && !host.wav.open(host.wavPath, rate, channels, bits))
        host.violation("cannot write " + host.wavPath + ": " + std::strerror(errno));
    host.openResult = 1000 + host.openCalls; // a value the plug-in passes on unchanged
    return host.openResult;
}

static void JK_CDECL closeStream() {
    std::lock_guard<std::mutex> g(host.lock);
    ++host.closeCalls;
    if (!host.streamOpen) host.violation("closeStream without an open stream");
    host.streamOpen = false;
    host.wav.close();
}

static int JK_CDECL writePcm(char* buffer, int bytes) {
    std::lock_guard<std::mutex> g(host.lock);
    if (!host.streamOpen) {
        host.violation("writePcm without an open stream");
        return 0;
    }
    if (bytes == 0) {
        ++host.endMarkers;
        return 0;
    }
    if (host.endOfStream) host.violation("writePcm after the end-of-stream message");
    if (!buffer || bytes < 0) {
        host.violation("writePcm with a bad buffer or size");
        return 0;
    }
    if (bytes % host.frameBytes() != 0) host.violation("writePcm of a partial frame");
    if (bytes > host.capacity - host.bufferedLocked()) {
        host.violation("writePcm of " + std::to_string(bytes) +
                       " bytes, more than writableBytes allows");
    }
    host.wav.write(buffer, size_t(bytes));
    host.written += bytes;
    host.bytesWritten += bytes;
    host.framesWritten += bytes / host.frameBytes();
    return 0;
}

static int JK_CDECL writableBytes() {
    std::lock_guard<std::mutex> g(host.lock);
    if (!host.streamOpen) return 0;
    if (host.gateFrame >= 0 && host.framesWritten >= host.gateFrame) return 0;
    return int(host.capacity - host.bufferedLocked());
}

static int JK_CDECL stillPlaying() {
    std::lock_guard<std::mutex> g(host.lock);
    if (!host.streamOpen) return 0;
    // The device reports what it held when asked, then plays it.
    bool busy = host.written != host.played;
    host.drainLocked();
    return busy ? 1 : 0;
}

static int JK_CDECL setPaused(int pause) {
    std::lock_guard<std::mutex> g(host.lock);
    int was = host.paused;
    if (pause) host.drainLocked();
    host.paused = pause != 0;
    if (!pause) restartClockLocked();
    return was;
}

static void JK_CDECL outputVolume(int volume) {
    std::lock_guard<std::mutex> g(host.lock);
    host.lastVolume = volume;
    ++host.volumeCalls;
}

static void JK_CDECL outputBalance(int) {}

static void JK_CDECL flushTo(int ms) {
    std::lock_guard<std::mutex> g(host.lock);
    host.flushes.push_back({host.framesWritten, ms});
    host.written = host.played = 0;
    host.baseMs = ms;
    restartClockLocked();
}

static int msOf(int64_t bytes) {
    return host.bytesPerSecond ? int(bytes * 1000 / host.bytesPerSecond) : 0;
}

static int JK_CDECL playedTimeMs() {
    std::lock_guard<std::mutex> g(host.lock);
    host.drainLocked();
    return host.baseMs + msOf(host.played);
}

static int JK_CDECL writtenTimeMs() {
    std::lock_guard<std::mutex> g(host.lock);
    return host.baseMs + msOf(host.written);
}

static void JK_CDECL visFeedOpen(int stream, int rate) {
    std::lock_guard<std::mutex> g(host.lock);
    ++host.visOpenCalls;
    if (stream != host.openResult) host.violation("visFeedOpen without openStream's result");
    if (rate != host.rate) host.violation("visFeedOpen with another rate than the stream's");
    host.visOpen = true;
}

static void JK_CDECL visFeedClose() {
    std::lock_guard<std::mutex> g(host.lock);
    ++host.visCloseCalls;
    host.visOpen = false;
}

static void checkVisBlock(void* pcm, int channels, int bits) {
    if (!host.visOpen) host.violation("visualization block while the feed is closed");
    if (!pcm || channels != host.channels || bits != host.bits)
        host.violation("visualization block that does not match the stream");
}

static void JK_CDECL visFeedPcm1(void* pcm, int channels, int bits, int) {
    std::lock_guard<std::mutex> g(host.lock);
    checkVisBlock(pcm, channels, bits);
    ++host.visBlocks1;
}

static void JK_CDECL visFeedPcm2(void* pcm, int channels, int bits, int) {
    std::lock_guard<std::mutex> g(host.lock);
    checkVisBlock(pcm, channels, bits);
    ++host.visBlocks2;
    if (host.visBlocks2 > host.visBlocks1) host.violation("visFeedPcm2 without visFeedPcm1");
}

static void JK_CDECL visFeedFormat(int rate, int channels) {
    std::lock_guard<std::mutex> g(host.lock);
    host.visFormat = {rate, channels};
}

static int JK_CDECL dspActiveQuery() {
    return host.dspActive ? 1 : 0;
}

// A processor that hands every block back unchanged.
static int JK_CDECL dspProcessBlock(void* pcm, int frames, int bits, int channels, int rate) {
    std::lock_guard<std::mutex> g(host.lock);
    ++host.dspBlocks;
    if (!pcm || frames <= 0 || bits != host.bits || channels != host.channels || rate != host.rate)
        host.violation("dspProcessBlock with arguments that do not match the stream");
    return frames;
}

static void JK_CDECL reportStreamInfo(int kbps, int khz, int channels, int synced) {
    std::lock_guard<std::mutex> g(host.lock);
    host.streamInfo.push_back({kbps, khz, channels, synced});
}

static OutputModule outputModule = [] {
    OutputModule o{};
    o.openStream = openStream;
    o.closeStream = closeStream;
    o.writePcm = writePcm;
    o.writableBytes = writableBytes;
    o.stillPlaying = stillPlaying;
    o.setPaused = setPaused;
    o.outputVolume = outputVolume;
    o.outputBalance = outputBalance;
    o.flushTo = flushTo;
    o.playedTimeMs = playedTimeMs;
    o.writtenTimeMs = writtenTimeMs;
    return o;
}();

void fillHostSlots(InputModule* m, HWND hostWindow, HINSTANCE pluginInstance) {
    m->hostWindow = hostWindow;
    m->pluginInstance = pluginInstance;
    m->visFeedOpen = visFeedOpen;
    m->visFeedClose = visFeedClose;
    m->visFeedPcm1 = visFeedPcm1;
    m->visFeedPcm2 = visFeedPcm2;
    m->visFeedFormat = visFeedFormat;
    m->dspActiveQuery = dspActiveQuery;
    m->dspProcessBlock = dspProcessBlock;
    m->reportStreamInfo = reportStreamInfo;
    m->hostOutput = &outputModule;
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
