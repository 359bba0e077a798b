// Which effects the scene shows: up to six slots, each running one effect
// number for a number of frames and fading it in and out. Only 0, 1, 3 and 5
// draw anything; the other numbers are marked busy for good, so they are never
// picked.
#pragma once

#include "umbrek/crt_random.h"
#include "umbrek/settings.h"

#include <array>
#include <cstdint>

namespace umbrek {

constexpr int effectNumbers = 10;
// A new pick gives up after this many busy numbers and keeps the old effect.
constexpr int effectPickTries = 500;

struct EffectSlot {
    std::int32_t effect = 0;
    std::int32_t left = 0;  // frames left
    std::int32_t total = 0; // frames it was given
};

static_assert(sizeof(EffectSlot) == 12);

struct EffectSchedule {
    std::array<EffectSlot, maxEffects> slots{};
    int count = 0;
    std::array<std::uint8_t, effectNumbers> busy{};
};

// The first fill: slot i gets EffectTime + i * (EffectTime / 2) frames, so
// the slots change at different times. Its picks are not marked busy, so two
// slots may start with the same effect.
void fillEffectSlots(EffectSchedule& schedule, const Settings& settings, CrtRandom& random);

// A slot whose frames ran out: the first of up to 500 picks that is not busy
// replaces its effect (the old number is freed, the new one marked busy);
// when every pick is busy the slot keeps its effect. Either way it runs
// EffectTime frames again.
void pickNewEffect(EffectSchedule& schedule, int slot, const Settings& settings, CrtRandom& random);

// One frame of a slot: counts it down, picks anew when it had one frame or
// less left, and gives its fade: rising over the first EffectFade frames,
// falling over the last, 1 between.
float advanceEffectSlot(EffectSchedule& schedule, int slot, const Settings& settings,
                        CrtRandom& random);

} // namespace umbrek
