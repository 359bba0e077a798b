// What the native players share in driving the Mixer: running their ticks in
// skip mode to measure a song or seek in it, and stopping their voices.
#pragma once

#include "pelmit/mixer/sound_device.h"

#include <atomic>
#include <cstdint>
#include <limits>
#include <thread>

namespace pelmit {

// Set while a player's tick runs on the timer's thread, so that stopping the
// song waits for the tick in progress instead of pulling its voices away.
class TickInProgress {
public:
    template <class Tick>
    void run(Tick tick) {
        running = 1;
        tick();
        running = 0;
    }
    void waitForEnd() const {
        while (running.load()) std::this_thread::yield();
    }

private:
    std::atomic<int> running{0};
};

// The shell's stop request (null: none). Every loop that runs ticks without
// giving out sound looks at it before each tick, so that a stop ends a seek,
// a length measurement or a subsong change at once, however long the song's
// own code keeps each tick busy.
void watchStopRequest(const std::atomic<int>* request);
bool stopIsRequested();

// Runs the tick timer in the Mixer's skip mode until `finished` is set, the
// song has reached targetMs or a stop is requested; returns the milliseconds
// reached.
int32_t skipTicks(const uint32_t& finished, int32_t targetMs = std::numeric_limits<int32_t>::max());

// Sends cmdStop to voices 0..count-1 of the set.
void stopVoices(VoiceSet* set, int count);

} // namespace pelmit
