#include "fake_host.h"

#include "pelmit/host_notify.h"

namespace pelmit::test {

FakeHost fakeHost;

namespace {

InputModule fakeRecord;

} // namespace

int FakeHost::openStream(int, int, int, int, int) {
    record("openStream");
    return openFails ? -1 : 7;
}
void FakeHost::closeStream() {
    record("closeStream");
}
int FakeHost::writePcm(char* data, int bytes) {
    std::lock_guard<std::mutex> g(lock);
    if (keepPcm) {
        const int16_t* samples = reinterpret_cast<const int16_t*>(data);
        pcm.insert(pcm.end(), samples, samples + bytes / 2);
    }
    bytesWritten += bytes;
    writeSizes.push_back(bytes);
    if (!paused)
        buffered = 0;
    else
        buffered += bytes;
    return 0;
}
int FakeHost::writableBytes() {
    std::lock_guard<std::mutex> g(lock);
    ++writableAsked;
    return capacity - buffered;
}
int FakeHost::stillPlaying() {
    std::lock_guard<std::mutex> g(lock);
    return buffered > 0;
}
int FakeHost::setPaused(int p) {
    std::lock_guard<std::mutex> g(lock);
    calls.push_back(p ? "setPaused(1)" : "setPaused(0)");
    paused = p != 0;
    return 0;
}
void FakeHost::outputVolume(int) {
    record("outputVolume");
}
void FakeHost::flushTo(int ms) {
    std::lock_guard<std::mutex> g(lock);
    calls.push_back("flushTo");
    flushes.push_back(ms);
    buffered = 0;
}
void FakeHost::visFeedOpen(int, int) {
    record("visFeedOpen");
}
void FakeHost::visFeedClose() {
    record("visFeedClose");
}
void FakeHost::visFeedFormat(int, int) {
    record("visFeedFormat");
}
int FakeHost::dspActiveQuery() {
    return dspActive;
}
int FakeHost::dspProcessBlock(void*, int, int, int, int) {
    std::lock_guard<std::mutex> g(lock);
    ++dspCalls;
    return dspResultFrames;
}
void FakeHost::reportStreamInfo(int a, int b, int c, int d) {
    std::lock_guard<std::mutex> g(lock);
    calls.push_back("reportStreamInfo");
    streamInfo.push_back({a, b, c, d});
}

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

InputModule* FakeHost::module() {
    jk::testing::connectHostSlots(fakeRecord, *this);
    return &fakeRecord;
}

} // namespace pelmit::test

namespace pelmit {

void postEndOfStream(JkWindow) {
    ++test::fakeHost.endOfStream;
}

} // namespace pelmit
