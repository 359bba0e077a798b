// The plug-in's seven settings: their defaults, the order and names of their
// keys in "zephrin.ini" and the limits a hand-edited file is held to. Reading
// and writing the file is the Win32 shell's.
#pragma once

#include <array>
#include <cstdint>

namespace umbrek {

constexpr char moduleName[] = "Zephrin Lite Jukora Plugin";

// Effects shown at once: the dialog's up-down range, and the slot array's size.
constexpr int minEffects = 1, maxEffects = 6;

struct Settings {
    std::int32_t effectTime = 600; // frames each effect runs
    std::int32_t effectFade = 200; // frames of fade-in and fade-out
    std::int32_t numEffects = 3;
    std::int32_t motionBlur = 70; // base opacity of the overlay that leaves trails
    std::int32_t renderDevice = 0;
    std::int32_t renderHal = 0;
    std::int32_t runInWindow = 0;
};

// Seven signed 32-bit values, as the file and the dialog hold them.
static_assert(sizeof(Settings) == 7 * sizeof(std::int32_t));

struct SettingKey {
    const char* name;
    std::int32_t Settings::*field;
};

// The keys in the file's order.
constexpr std::array<SettingKey, 7> settingKeys = {{
    {"EffectTime", &Settings::effectTime},
    {"EffectFade", &Settings::effectFade},
    {"NumEffects", &Settings::numEffects},
    {"MotionBlur", &Settings::motionBlur},
    {"RenderDevice", &Settings::renderDevice},
    {"RenderHAL", &Settings::renderHal},
    {"RunInWindow", &Settings::runInWindow},
}};

// A hand-edited file may hold anything: more effects than slots, a fade of 0
// (which the fade would divide by) or a blur beyond a byte. Held to
// NumEffects 1..6, EffectTime and EffectFade >= 1, MotionBlur 0..255; the
// other keys are kept as read.
void clampSettings(Settings& settings);

} // namespace umbrek
