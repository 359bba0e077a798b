// What the three effects share: the spectrum they read, the trail values the
// frame loop applies after them, the amplitude curve, the random source, and
// settings kept as tables of keys so that load and save cannot drift apart.
#pragma once

#include "sabrith/dib_image.h"
#include "sabrith/settings_store.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace sabrith {

class FileDialog;

// Levels per channel; the spectrum is the left row, then the right row, each
// value a level 0-255 with 8 fraction bits.
constexpr int spectrumBins = 576;
constexpr int maxBin = spectrumBins - 1;
using Spectrum = std::span<const uint32_t, 2 * spectrumBins>;

// Whole level of a spectrum value, never past the curve's end.
inline int wholeLevel(uint32_t value) {
    return value >= 0xFF00u ? 255 : int(value >> 8);
}

// Light added to a pixel: blue, green and red each capped at 255, the
// fourth byte kept.
inline uint32_t saturatingAdd(uint32_t pixel, uint32_t light) {
    uint32_t out = pixel & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t sum = ((pixel >> shift) & 0xFF) + ((light >> shift) & 0xFF);
        out |= (sum > 255 ? 255u : sum) << shift;
    }
    return out;
}

// min(255, trunc(i ln i)), entry 0 = 0. The smallest distance of i ln i to
// an integer is far above the rounding of any libm, so every platform builds
// the same table.
const std::array<uint8_t, 256>& amplitudeCurve();

// Texts under the frequency sliders: bin 325 is "24869 Hz".
int binToHz(int bin);

class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual int next() = 0; // 0..32767
};

// The C run-time's generator, kept by the plug-in so that other plug-ins'
// srand in the same process cannot disturb its sequences; seeded 1 as the
// run-time's per-thread state starts.
class CrtRandom final : public RandomSource {
public:
    int next() override;

private:
    uint32_t seed_ = 1;
};

// What an effect needs from the module: the store (registry or preset
// files), the presets dialog (none in tests) and its random source.
struct EffectContext {
    SettingsStore& store;
    FileDialog* presets = nullptr;
    RandomSource* random = nullptr;
};

// One integer setting: key, index (0 for the plain key), default and range.
template <class Settings>
struct IntKey {
    const char* name;
    int index;
    int Settings::*field;
    int fallback;
    int min;
    int max;
};

template <class Settings>
void readKeys(SettingsStore& store, const char* file, const char* section,
              std::span<const IntKey<Settings>> keys, Settings& settings) {
    for (const IntKey<Settings>& key : keys)
        store.readInt(file, section, key.name, settings.*key.field, key.fallback, key.min, key.max,
                      key.index);
}

template <class Settings>
void writeKeys(SettingsStore& store, const char* file, const char* section,
               std::span<const IntKey<Settings>> keys, const Settings& settings) {
    for (const IntKey<Settings>& key : keys)
        store.writeInt(file, section, key.name, settings.*key.field, key.index);
}

// The effect that one kind of effect's open pages edit (one sheet is open at
// a time). The pages set it when they are built and clear it when they go
// away; an effect clears it when it is created and when it goes away while
// it is the target, so pages left open then edit nothing instead of freed
// memory.
template <class EffectType>
inline EffectType* pageTarget = nullptr;

template <class EffectType>
void forgetPageTarget(const EffectType* effect) {
    if (pageTarget<EffectType> == effect) pageTarget<EffectType> = nullptr;
}

class Effect {
public:
    explicit Effect(EffectContext context) : context_(context) {}
    virtual ~Effect() = default;
    Effect(const Effect&) = delete;
    Effect& operator=(const Effect&) = delete;

    virtual void render(Spectrum spectrum, const FrameView& view) = 0;
    // file nullptr: the settings store's registry side. Loading a preset file
    // without the effect's section changes nothing.
    virtual void loadSettings(const char* file) = 0;
    virtual void saveSettings(const char* file) = 0;
    // Through the presets dialog; 1 when a file was chosen and used.
    int loadPreset(void* owner);
    int savePreset(void* owner);

    // Trail values that the frame loop reads and sets.
    int blur = 1;
    int fade = 80;
    int dropOff = 1600;

protected:
    EffectContext context_;
};

} // namespace sabrith
