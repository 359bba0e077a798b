// A player stand-in for the playback shell's native tests: an OutputModule
// whose device plays instantly unless paused, a recording visualization feed
// and sample processor, and a log of every call in order.
#pragma once

#include "host/input_module.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace pelmit::test {

struct FakeHost {
    std::mutex lock;
    std::vector<std::string> calls; // names of the host operations, in order
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
    int count(const std::string& call);
    InputModule* module(); // a record with the host slots filled
};

extern FakeHost fakeHost;

} // namespace pelmit::test
