#include "umbrek/effect_scheduler.h"

#include <algorithm>
#include <cstdint>

namespace umbrek {

namespace {

constexpr int busyForGood[] = {2, 4, 6, 7, 8, 9};

// A staggered length beyond the 32-bit range (a huge EffectTime) runs as
// long as a slot can count.
std::int32_t framesFor(std::int64_t frames) {
    return std::int32_t(std::min<std::int64_t>(frames, INT32_MAX));
}

} // namespace

void fillEffectSlots(EffectSchedule& schedule, const Settings& settings, CrtRandom& random) {
    schedule.busy.fill(0);
    for (int n : busyForGood) schedule.busy[std::size_t(n)] = 1;
    schedule.count = std::clamp(int(settings.numEffects), minEffects, maxEffects);
    const std::int64_t time = std::max(settings.effectTime, std::int32_t(1));
    for (int i = 0; i < schedule.count; ++i) {
        EffectSlot& slot = schedule.slots[std::size_t(i)];
        // Four numbers are never busy at the first fill, so this ends.
        do slot.effect = random.next() % effectNumbers;
        while (schedule.busy[std::size_t(slot.effect)]);
        slot.left = slot.total = framesFor(time + time / 2 * i);
    }
}

void pickNewEffect(EffectSchedule& schedule, int index, const Settings& settings,
                   CrtRandom& random) {
    EffectSlot& slot = schedule.slots[std::size_t(index)];
    for (int i = 0; i < effectPickTries; ++i) {
        const int pick = random.next() % effectNumbers;
        if (schedule.busy[std::size_t(pick)]) continue;
        schedule.busy[std::size_t(slot.effect)] = 0;
        schedule.busy[std::size_t(pick)] = 1;
        slot.effect = pick;
        break;
    }
    slot.left = slot.total = std::max(settings.effectTime, std::int32_t(1));
}

float advanceEffectSlot(EffectSchedule& schedule, int index, const Settings& settings,
                        CrtRandom& random) {
    EffectSlot& slot = schedule.slots[std::size_t(index)];
    if (slot.left-- <= 1) pickNewEffect(schedule, index, settings, random);
    const float fade = float(std::max(settings.effectFade, std::int32_t(1)));
    const float in = float(slot.total - slot.left) / fade;
    if (in < 1) return in;
    if (slot.left < settings.effectFade) return float(slot.left) / fade;
    return 1;
}

} // namespace umbrek
