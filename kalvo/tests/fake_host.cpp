#include "kalvo/tests/fake_host.h"

namespace kalvo::test {

FakeHost* fake = nullptr;
InputModule fakeModule{};

void connectFake(FakeHost* host) {
    fake = host;
    if (host) jk::testing::connectHostSlots(fakeModule, *host);
}

int FakeHost::openStream(int rate, int ch, int bits, int a, int b) {
    calls.push_back("openStream " + std::to_string(rate) + " " + std::to_string(ch) + " " +
                    std::to_string(bits) + " " + std::to_string(a) + " " + std::to_string(b));
    return openResult;
}

int FakeHost::writePcm(char* p, int n) {
    if (!p && n == 0) {
        ++endMarkers;
        calls.push_back("end");
        return 0;
    }
    if (posts) calls.push_back("write after the end message");
    ++pieces;
    written.insert(written.end(), p, p + n);
    return 0;
}

int FakeHost::setPaused(int p) {
    pausedState = p;
    return 0;
}

void FakeHost::outputVolume(int v) {
    calls.push_back("outputVolume " + std::to_string(v));
}

void FakeHost::visFeedOpen(int stream, int rate) {
    calls.push_back("visFeedOpen " + std::to_string(stream) + " " + std::to_string(rate));
}

void FakeHost::visFeedPcm2(void*, int, int, int ms) {
    if (visStamps.empty() || visStamps.back() != ms) calls.push_back("visFeedPcm2 differs");
}

void FakeHost::visFeedFormat(int rate, int ch) {
    calls.push_back("visFeedFormat " + std::to_string(rate) + " " + std::to_string(ch));
}

void FakeHost::reportStreamInfo(int a, int b, int c, int d) {
    streamInfo.push_back({a, b, c, d});
    if (a == -1 && d == 0 && onStreamLost) onStreamLost();
    calls.push_back("reportStreamInfo");
}

void post(void*) {
    ++fake->posts;
    fake->calls.push_back("post");
}

} // namespace kalvo::test
