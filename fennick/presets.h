// Named presets, 100 slots per module in "<section>.pre": each slot's section
// "preset<slot>" holds "presetname" and the 20 integer keys, whatever module
// uses them.
#pragma once

#include "fennick/settings.h"

#include <string>

namespace fennick {

constexpr int presetSlotCount = 100;
constexpr int presetNameLimit = 255;

// "preset5"; with no row selected the slot is -1 and the section "preset-1".
std::string presetSection(int slot);
// The slot's name, or "%d. New Preset" with slot + 1 when it has none.
std::string presetRowText(ProfileStore& store, int slot);
// False (and nothing changed) when the slot has no name or is not one of the
// 100 rows; else every key read into the settings, a missing one as its
// default.
bool loadPreset(ProfileStore& store, int slot, Settings& settings);
void savePresetName(ProfileStore& store, int slot, const std::string& name);
void savePresetValues(ProfileStore& store, int slot, const Settings& settings);

} // namespace fennick
