// What every player shares in driving the Mixer: starting its tick timer,
// running its ticks in skip mode to measure a song or seek in it, and stopping
// its voices.
#pragma once

#include "pelmit/mixer/sound_device.h"
#include "pelmit/mixer/tick_timer.h"

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

// A tick timer's rate: a tempo in beats a minute, or a CIA timer value (the
// SoundFX file's own, a DeliTracker player's).
struct TickRate {
    static TickRate bpm(uint32_t value) { return {value, false}; }
    static TickRate ciaTimer(uint32_t value) { return {value, true}; }
    uint32_t value;
    bool isCiaTimer;
};

// Sets the timer's rate, hands it the player's tick routine and starts it, in
// that order: the first tick must already run at the song's rate.
void startTickTimer(TickTimer* timer, TickRate rate, TickCallback tick, void* player);

// Runs the tick timer in the Mixer's skip mode until `finished` is set, the
// song has reached targetMs or a stop is requested; returns the milliseconds
// reached. With a songClock, also stops after a tick that left the clock where
// it was, so that a song whose ticks stand still cannot hold the loop.
int32_t skipTicks(const uint32_t& finished, int32_t targetMs = std::numeric_limits<int32_t>::max(),
                  const int64_t* songClock = nullptr);
int32_t skipTicks(const uint16_t& finished, int32_t targetMs = std::numeric_limits<int32_t>::max(),
                  const int64_t* songClock = nullptr);

// Sends cmdStop to voices 0..count-1 of the set.
void stopVoices(VoiceSet* set, int count);

} // namespace pelmit
