// A player stand-in for the playback shell's native tests: an OutputModule
// whose device plays instantly unless paused, a recording visualization feed
// and sample processor, and a log of every call in order.
#pragma once

#include "host/input_module.h"
#include "host/testing/player_side.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace pelmit::test {

// Logs in `calls` the names of the operations whose order the tests check.
struct FakeHost : jk::testing::PlayerSide {
    int capacity = 16 * 2304;
    int buffered = 0;
    bool paused = false;
    bool openFails = false;
    bool dspActive = false;
    int dspResultFrames = 0; // what dspProcessBlock returns
    long long bytesWritten = 0;
    std::vector<int> writeSizes;
    std::vector<int> flushes;
    std::vector<std::vector<int>> streamInfo;
    std::atomic<int> endOfStream{0};
    int dspCalls = 0;
    std::atomic<int> writableAsked{0};
    std::vector<int> writableNeeded; // bytes asked for, from each writableBytes-then-write pair
    bool keepPcm = false;            // whether writePcm keeps what it is given
    std::vector<int16_t> pcm;

    void reset();
    InputModule* module(); // a record with the host slots filled

    int openStream(int rateHz, int channels, int bits, int bufferMs, int prebufferMs) override;
    void closeStream() override;
    int writePcm(char* buffer, int bytes) override;
    int writableBytes() override;
    int stillPlaying() override;
    int setPaused(int pause) override;
    void outputVolume(int volume) override;
    void flushTo(int ms) override;
    void visFeedOpen(int stream, int rate) override;
    void visFeedClose() override;
    void visFeedFormat(int rate, int channels) override;
    int dspActiveQuery() override;
    int dspProcessBlock(void* pcm, int frames, int bits, int channels, int rate) override;
    void reportStreamInfo(int kbps, int khz, int channels, int synced) override;
};

extern FakeHost fakeHost;

} // namespace pelmit::test
