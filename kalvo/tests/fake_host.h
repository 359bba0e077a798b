// A player for the decode passes: records every call in order, with the
// output's room, drain and sample processor under the test's control.
#pragma once

#include "host/input_module.h"

#include <array>
#include <functional>
#include <cstdint>
#include <string>
#include <vector>

namespace kalvo::test {

// The player's side, recording every call in order.
struct FakeHost {
    std::vector<std::string> calls;
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
};

// The host that the record below reports to; set by each test.
extern FakeHost* fake;
extern InputModule fakeModule;
// Counts the end-of-stream messages.
void post(void* user);

} // namespace kalvo::test
