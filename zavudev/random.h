// Random numbers of the plug-in: its own copy of the C run-time's generator,
// which seeds the modules at their start, and the two-word generator step
// that every drawing decision of both modules comes from.
#pragma once

#include <cstdint>

namespace zavudev {

// The run-time's rand(), private to this plug-in: the shared one is reseeded
// by other plug-ins running in the same process (under Morsk), which would
// make this plug-in's sequences depend on its neighbours. Seed 1 at load, as
// a run-time that is never seeded starts.
struct CrtRandom {
    uint32_t seed = 1;
    int next(); // 0..32767
};

// The generator's two signed 32-bit words. Each step mixes B into A, then the
// new A into B; the words themselves are the output.
struct RandomWords {
    int32_t a = 0;
    int32_t b = 0;
};

void stepRandom(RandomWords& w);

// A module start's seeding from two successive run-time values.
RandomWords seedWords(CrtRandom& crt);

} // namespace zavudev
