// The plug-in's own copy of the C run-time's random generator. The shared
// one is reseeded by every plug-in that runs beside this one (under Morsk),
// which would tie the effect sequence to its neighbours; this one is seeded
// only by the scene's start (the time, or a fixed seed in tests).
#pragma once

#include <cstdint>

namespace umbrek {

struct CrtRandom {
    std::uint32_t seed = 1;
    // 0..32767: bits 16-30 of the state after one step.
    int next() {
        seed = seed * 214013u + 2531011u;
        return int((seed >> 16) & 0x7FFF);
    }
};

} // namespace umbrek
