// Whole-degree sine and cosine tables (pi taken as 3.14, each degree repeated
// 100 times) and the plug-in's own random generator, both set up at every
// module start.
#pragma once

#include <cstdint>

namespace fennick {

constexpr int trigTableSize = 36360;

struct TrigTables {
    float cosDeg[trigTableSize];
    float sinDeg[trigTableSize];
    float cosRaw[trigTableSize]; // the whole number used as radians; not read
    float sinRaw[trigTableSize];
};

void fillTrigTables(TrigTables& tables);

// The entry of a whole angle 0 to 363 degrees; callers reduce angles first.
inline float cosDegOf(const TrigTables& t, int degrees) {
    return t.cosDeg[degrees * 100];
}
inline float sinDegOf(const TrigTables& t, int degrees) {
    return t.sinDeg[degrees * 100];
}

// The C run-time's generator (multiplier 214013, increment 2531011, bits
// 16-30), kept here so that seeding it from the time does not reseed the
// shared one that other plug-ins in the player's thread draw from.
struct RandomGenerator {
    std::uint32_t state = 1;
    void seed(std::uint32_t value) { state = value; }
    int next() { // 0 to 32767
        state = state * 214013u + 2531011u;
        return int((state >> 16) & 0x7FFF);
    }
};

} // namespace fennick
