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

// Runs the tick timer in the Mixer's skip mode until `finished` is set or the
// song has reached targetMs; returns the milliseconds reached.
int32_t skipTicks(const uint32_t& finished, int32_t targetMs = std::numeric_limits<int32_t>::max());

// Sends cmdStop to voices 0..count-1 of the set.
void stopVoices(VoiceSet* set, int count);

} // namespace pelmit
