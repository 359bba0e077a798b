// A player for the decode passes: records every call in order, with the
// output's room, drain and sample processor under the test's control.
#pragma once

#include "host/input_module.h"
#include "host/testing/player_side.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kalvo::test {

// The player's side, recording every call in order (in `calls`).
struct FakeHost : jk::testing::PlayerSide {
    std::vector<std::array<int, 4>> streamInfo;
    std::vector<int> visStamps;
    std::vector<int> flushes;
    std::vector<uint8_t> written;
    int pieces = 0, endMarkers = 0, posts = 0;
    int openResult = 77;
    int writable = 1 << 20;
    int stillPlayingCountdown = 2;
    bool dsp = false;
    int writtenMs = 0, playedMs = 0;
    int pausedState = -1;
    std::function<void()> onStreamLost; // called at reportStreamInfo(-1, -1, -1, 0)

    int openStream(int rateHz, int channels, int bits, int bufferMs, int prebufferMs) override;
    void closeStream() override { calls.push_back("closeStream"); }
    int writePcm(char* buffer, int bytes) override;
    int writableBytes() override { return writable; }
    int stillPlaying() override { return stillPlayingCountdown > 0 ? stillPlayingCountdown-- : 0; }
    int setPaused(int pause) override;
    void outputVolume(int volume) override;
    void flushTo(int ms) override { flushes.push_back(ms); }
    int playedTimeMs() override { return playedMs; }
    int writtenTimeMs() override { return writtenMs; }
    void visFeedOpen(int stream, int rate) override;
    void visFeedClose() override { calls.push_back("visFeedClose"); }
    void visFeedPcm1(void*, int, int, int ms) override { visStamps.push_back(ms); }
    void visFeedPcm2(void*, int, int, int ms) override;
    void visFeedFormat(int rate, int channels) override;
    int dspActiveQuery() override { return dsp ? 1 : 0; }
    void reportStreamInfo(int kbps, int khz, int channels, int synced) override;
};

// The host that the record below reports to, and the record; each test
// connects its own host.
extern FakeHost* fake;
extern InputModule fakeModule;
void connectFake(FakeHost* host);
// Counts the end-of-stream messages.
void post(void* user);

} // namespace kalvo::test
