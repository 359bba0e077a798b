// The scrambling stream of data libraries: names and the password field are
// stored as plain bytes plus one stream value each, the stream restarting
// from the library's seed for every field.
#pragma once

#include <cstdint>

struct LibraryScrambler {
    int32_t state;

    explicit LibraryScrambler(int32_t seed) : state(seed) {}
    // The next stream value: 0 to 49 for a non-negative state, down to -49 for
    // a negative one (the remainder keeps the state's sign).
    int32_t next() {
        // Signed wrap-around, done in unsigned arithmetic so that it is defined.
        state = int32_t(uint32_t(state) * 6293u + 997u);
        state %= 16384;
        return state * 50 / 16384;
    }
};
