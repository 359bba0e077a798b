// The tick clock a player runs on: a tempo or a CIA timer value becomes a tick
// length in output frames, and each tick calls the player's tick routine.
#pragma once

#include <cstdint>

namespace pelmit {

// A player's tick routine; the argument is the value given to setCallback.
using TickCallback = void (*)(void* argument);

// The 7 timer operations, in slot order.
class TickTimer {
public:
    virtual void setCallback(TickCallback callback, void* argument) = 0;
    virtual void setParameter(uint32_t value) = 0;
    virtual void setBpm(uint32_t bpm) = 0;        // only the low 8 bits count
    virtual void setCiaTimer(uint32_t value) = 0; // only the low 16 bits count
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual void release() = 0;

protected:
    ~TickTimer() = default;
};

} // namespace pelmit
