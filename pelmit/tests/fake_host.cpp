#include "fake_host.h"

#include "pelmit/host_notify.h"

namespace pelmit::test {

FakeHost fakeHost;

namespace {

InputModule record;
OutputModule output;

void log(const char* call) {
    std::lock_guard<std::mutex> g(fakeHost.lock);
    fakeHost.calls.push_back(call);
}

int JK_CDECL openStream(int, int, int, int, int) {
    log("openStream");
    return fakeHost.openFails ? -1 : 7;
}
void JK_CDECL closeStream() {
    log("closeStream");
}
int JK_CDECL writePcm(char* data, int bytes) {
    std::lock_guard<std::mutex> g(fakeHost.lock);
    if (fakeHost.keepPcm) {
        const int16_t* samples = reinterpret_cast<const int16_t*>(data);
        fakeHost.pcm.insert(fakeHost.pcm.end(), samples, samples + bytes / 2);
    }
    fakeHost.bytesWritten += bytes;
    fakeHost.writeSizes.push_back(bytes);
    if (!fakeHost.paused)
        fakeHost.buffered = 0;
    else
        fakeHost.buffered += bytes;
    return 0;
}
int JK_CDECL writableBytes() {
    std::lock_guard<std::mutex> g(fakeHost.lock);
    ++fakeHost.writableAsked;
    return fakeHost.capacity - fakeHost.buffered;
}
int JK_CDECL stillPlaying() {
    std::lock_guard<std::mutex> g(fakeHost.lock);
    return fakeHost.buffered > 0;
}
int JK_CDECL setPaused(int p) {
    std::lock_guard<std::mutex> g(fakeHost.lock);
    fakeHost.calls.push_back(p ? "setPaused(1)" : "setPaused(0)");
    fakeHost.paused = p != 0;
    return 0;
}
void JK_CDECL outputVolume(int) {
    log("outputVolume");
}
void JK_CDECL outputBalance(int) {}
void JK_CDECL flushTo(int ms) {
    std::lock_guard<std::mutex> g(fakeHost.lock);
    fakeHost.calls.push_back("flushTo");
    fakeHost.flushes.push_back(ms);
    fakeHost.buffered = 0;
}
int JK_CDECL playedTimeMs() {
    return 0;
}
int JK_CDECL writtenTimeMs() {
    return 0;
}
void JK_CDECL visFeedOpen(int, int) {
    log("visFeedOpen");
}
void JK_CDECL visFeedClose() {
    log("visFeedClose");
}
void JK_CDECL visFeedPcm(void*, int, int, int) {}
void JK_CDECL visFeedFormat(int, int) {
    log("visFeedFormat");
}
int JK_CDECL dspActiveQuery() {
    return fakeHost.dspActive;
}
int JK_CDECL dspProcessBlock(void*, int, int, int, int) {
    std::lock_guard<std::mutex> g(fakeHost.lock);
    ++fakeHost.dspCalls;
    return fakeHost.dspResultFrames;
}
void JK_CDECL reportStreamInfo(int a, int b, int c, int d) {
    std::lock_guard<std::mutex> g(fakeHost.lock);
    fakeHost.calls.push_back("reportStreamInfo");
    fakeHost.streamInfo.push_back({a, b, c, d});
}

} // namespace

void FakeHost::reset() {
    std::lock_guard<std::mutex> g(lock);
    calls.clear();
    capacity = 16 * 2304;
    buffered = 0;
    paused = false;
    openFails = false;
    dspActive = false;
    dspResultFrames = 0;
    bytesWritten = 0;
    writeSizes.clear();
    flushes.clear();
    streamInfo.clear();
    endOfStream = 0;
    dspCalls = 0;
    writableAsked = 0;
    keepPcm = false;
    pcm.clear();
}

int FakeHost::count(const std::string& call) {
    std::lock_guard<std::mutex> g(lock);
    int n = 0;
    for (auto& c : calls) n += c == call;
    return n;
}

InputModule* FakeHost::module() {
    output.openStream = openStream;
    output.closeStream = closeStream;
    output.writePcm = writePcm;
    output.writableBytes = writableBytes;
    output.stillPlaying = stillPlaying;
    output.setPaused = setPaused;
    output.outputVolume = outputVolume;
    output.outputBalance = outputBalance;
    output.flushTo = flushTo;
    output.playedTimeMs = playedTimeMs;
    output.writtenTimeMs = writtenTimeMs;
    record.visFeedOpen = visFeedOpen;
    record.visFeedClose = visFeedClose;
    record.visFeedPcm1 = visFeedPcm;
    record.visFeedPcm2 = visFeedPcm;
    record.visFeedFormat = visFeedFormat;
    record.dspActiveQuery = dspActiveQuery;
    record.dspProcessBlock = dspProcessBlock;
    record.reportStreamInfo = reportStreamInfo;
    record.hostOutput = &output;
    return &record;
}

} // namespace pelmit::test

namespace pelmit {

void postEndOfStream(JkWindow) {
    ++test::fakeHost.endOfStream;
}

} // namespace pelmit
