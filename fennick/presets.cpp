#include "fennick/presets.h"

#include "fennick/format_text.h"

namespace fennick {

namespace {
constexpr char nameKey[] = "presetname";
}

std::string presetSection(int slot) {
    return "preset" + std::to_string(slot);
}

std::string presetRowText(ProfileStore& store, int slot) {
    std::string name = store.readString(presetSection(slot).c_str(), nameKey);
    if (name.empty()) return formatText("%d. New Preset", slot + 1);
    return name;
}

bool loadPreset(ProfileStore& store, int slot, Settings& settings) {
    // A save with no row selected names "preset-1", which no row shows and
    // no load may pick up.
    if (slot < 0 || slot >= presetSlotCount) return false;
    std::string section = presetSection(slot);
    if (store.readString(section.c_str(), nameKey).empty()) return false;
    const Settings defaults = defaultSettings();
    for (const SettingKey& k : presetKeys())
        settings.*k.field = store.readInt(section.c_str(), k.name, defaults.*k.field);
    return true;
}

void savePresetName(ProfileStore& store, int slot, const std::string& name) {
    store.writeString(presetSection(slot).c_str(), nameKey, name.substr(0, presetNameLimit));
}

void savePresetValues(ProfileStore& store, int slot, const Settings& settings) {
    writeKeys(store, presetSection(slot).c_str(), presetKeys(), settings);
}

} // namespace fennick
