// The player's side of an input plug-in's record, for tests: the OutputModule
// operations, the visualization feed, the sample processor and the stream
// information as one class. A test's host derives from it and overrides what
// it watches or steers; connectHostSlots fills a record's host slots so that
// the plug-in's calls reach it. The defaults answer as a player that accepts
// everything and has no room, no clock and no sample processor.
#pragma once

#include "host/input_module.h"

#include <mutex>
#include <string>
#include <vector>

namespace jk::testing {

class PlayerSide {
public:
    PlayerSide() = default;
    // A copy takes the log, not the lock: tests start a host afresh by assigning.
    PlayerSide(const PlayerSide& other) : calls(other.calls) {}
    PlayerSide& operator=(const PlayerSide& other) {
        calls = other.calls;
        return *this;
    }
    virtual ~PlayerSide() = default;

    // OutputModule, slots 9 to 19.
    virtual int openStream(int rateHz, int channels, int bits, int bufferMs, int prebufferMs);
    virtual void closeStream() {}
    virtual int writePcm(char* buffer, int bytes);
    virtual int writableBytes() { return 0; }
    virtual int stillPlaying() { return 0; }
    virtual int setPaused(int pause);
    virtual void outputVolume(int) {}
    virtual void outputBalance(int) {}
    virtual void flushTo(int) {}
    virtual int playedTimeMs() { return 0; }
    virtual int writtenTimeMs() { return 0; }

    // The record's host operations.
    virtual void visFeedOpen(int, int) {}
    virtual void visFeedClose() {}
    virtual void visFeedPcm1(void*, int, int, int) {}
    virtual void visFeedPcm2(void*, int, int, int) {}
    virtual void visFeedFormat(int, int) {}
    virtual int dspActiveQuery() { return 0; }
    virtual int dspProcessBlock(void*, int frames, int, int, int) { return frames; }
    virtual void reportStreamInfo(int, int, int, int) {}

    // The calls a host chose to log, in order; safe from the decode thread.
    void record(std::string call);
    int count(const std::string& call);
    std::vector<std::string> calls;
    std::mutex lock;
};

// Fills the host slots of the record (hostOutput with an OutputModule of this
// library's) so that every call reaches `side`. The slots are plain functions,
// so one side serves a process at a time: the one connected last.
void connectHostSlots(InputModule& module, PlayerSide& side);

} // namespace jk::testing
