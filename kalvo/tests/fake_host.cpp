#include "kalvo/tests/fake_host.h"

namespace kalvo::test {

FakeHost* fake = nullptr;

namespace {

int JK_CDECL openStream(int rate, int ch, int bits, int a, int b) {
    fake->calls.push_back("openStream " + std::to_string(rate) + " " + std::to_string(ch) + " " +
                          std::to_string(bits) + " " + std::to_string(a) + " " + std::to_string(b));
    return fake->openResult;
}
void JK_CDECL closeStream() {
    fake->calls.push_back("closeStream");
}
int JK_CDECL writePcm(char* p, int n) {
    if (!p && n == 0) {
        ++fake->endMarkers;
        fake->calls.push_back("end");
        return 0;
    }
    if (fake->posts) fake->calls.push_back("write after the end message");
    ++fake->pieces;
    fake->written.insert(fake->written.end(), p, p + n);
    return 0;
}
int JK_CDECL writableBytes() {
    return fake->writable;
}
int JK_CDECL stillPlaying() {
    return fake->stillPlayingCountdown > 0 ? fake->stillPlayingCountdown-- : 0;
}
int JK_CDECL setPaused(int p) {
    fake->pausedState = p;
    return 0;
}
void JK_CDECL outputVolume(int v) {
    fake->calls.push_back("outputVolume " + std::to_string(v));
}
void JK_CDECL outputBalance(int) {}
void JK_CDECL flushTo(int ms) {
    fake->flushes.push_back(ms);
}
int JK_CDECL playedTimeMs() {
    return fake->playedMs;
}
int JK_CDECL writtenTimeMs() {
    return fake->writtenMs;
}
void JK_CDECL visFeedOpen(int stream, int rate) {
    fake->calls.push_back("visFeedOpen " + std::to_string(stream) + " " + std::to_string(rate));
}
void JK_CDECL visFeedClose() {
    fake->calls.push_back("visFeedClose");
}
void JK_CDECL visFeedPcm1(void*, int, int, int ms) {
    fake->visStamps.push_back(ms);
}
void JK_CDECL visFeedPcm2(void*, int, int, int ms) {
    if (fake->visStamps.empty() || fake->visStamps.back() != ms)
        fake->calls.push_back("visFeedPcm2 differs");
}
void JK_CDECL visFeedFormat(int rate, int ch) {
    fake->calls.push_back("visFeedFormat " + std::to_string(rate) + " " + std::to_string(ch));
}
int JK_CDECL dspActiveQuery() {
    return fake->dsp ? 1 : 0;
}
void JK_CDECL reportStreamInfo(int a, int b, int c, int d) {
    fake->streamInfo.push_back({a, b, c, d});
    if (a == -1 && d == 0 && fake->onStreamLost) fake->onStreamLost();
    fake->calls.push_back("reportStreamInfo");
}

OutputModule output = [] {
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

} // namespace

InputModule fakeModule = [] {
    InputModule m{};
    m.visFeedOpen = visFeedOpen;
    m.visFeedClose = visFeedClose;
    m.visFeedPcm1 = visFeedPcm1;
    m.visFeedPcm2 = visFeedPcm2;
    m.visFeedFormat = visFeedFormat;
    m.dspActiveQuery = dspActiveQuery;
    m.reportStreamInfo = reportStreamInfo;
    m.hostOutput = &output;
    return m;
}();

void post(void*) {
    ++fake->posts;
    fake->calls.push_back("post");
}

} // namespace kalvo::test
