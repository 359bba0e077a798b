#include "fennick/settings.h"

#include "fennick/resolution.h"

#include <algorithm>

namespace fennick {

namespace {

using S = Settings;

constexpr SettingKey waveKeys[] = {
    {"RotSpeed", &S::RotSpeed}, {"Dynamic", &S::Dynamic}, {"Mode", &S::Mode},
    {"RotDir", &S::RotDir},     {"Style", &S::Style},     {"Sensitivity", &S::Sensitivity},
    {"Light0", &S::Light0},     {"Light1", &S::Light1},   {"Light2", &S::Light2},
};

constexpr SettingKey blockKeys[] = {
    {"RotSpeed", &S::RotSpeed}, {"Dynamic", &S::Dynamic}, {"Sensitivity", &S::Sensitivity},
    {"GridRes", &S::GridRes},   {"Light0", &S::Light0},   {"Light1", &S::Light1},
    {"Light2", &S::Light2},
};

constexpr SettingKey tunnelKeys[] = {
    {"RotSpeed", &S::RotSpeed},
    {"Bright", &S::Bright},
    {"Filter", &S::Filter},
    {"Flares", &S::Flares},
    {"Randomize", &S::Randomize},
    {"FlareSpeed", &S::FlareSpeed},
    {"BassSensitivity", &S::BassSensitivity},
    {"MiddleSensitivity", &S::MiddleSensitivity},
    {"TrebleSensitivity", &S::TrebleSensitivity},
    {"BassFlareSensitivity", &S::BassFlareSensitivity},
    {"MiddleFlareSensitivity", &S::MiddleFlareSensitivity},
    {"TrebleFlareSensitivity", &S::TrebleFlareSensitivity},
    {"BLight", &S::Light0},
    {"MLight", &S::Light1},
    {"TLight", &S::Light2},
};

constexpr SettingKey graphicsKeyList[] = {
    {"FullScreen", &S::FullScreen},
    {"FullScreenRes", &S::FullScreenRes},
    {"TextureMode", &S::TextureMode},
    {"ShadeMode", &S::ShadeMode},
};

constexpr SettingKey presetKeyList[] = {
    {"LightColors[0]", &S::Light0},
    {"LightColors[1]", &S::Light1},
    {"LightColors[2]", &S::Light2},
    {"config_Mode", &S::Mode},
    {"config_RotDir", &S::RotDir},
    {"config_RotSpeed", &S::RotSpeed},
    {"config_Style", &S::Style},
    {"config_Dynamic", &S::Dynamic},
    {"config_Sensitivity", &S::Sensitivity},
    {"config_GridRes", &S::GridRes},
    {"config_Bright", &S::Bright},
    {"config_Flares", &S::Flares},
    {"config_BassSens", &S::BassSensitivity},
    {"config_MidSens", &S::MiddleSensitivity},
    {"config_TrebSens", &S::TrebleSensitivity},
    {"config_BassFSens", &S::BassFlareSensitivity},
    {"config_MidFSens", &S::MiddleFlareSensitivity},
    {"config_TrebFSens", &S::TrebleFlareSensitivity},
    {"config_Randomize", &S::Randomize},
    {"config_FlareSpeed", &S::FlareSpeed},
};

} // namespace

Settings defaultSettings() {
    Settings s{};
    s.RotSpeed = 50;
    s.Dynamic = 1;
    s.Mode = 0;
    s.RotDir = 0;
    s.Style = 0;
    s.Sensitivity = 100;
    s.GridRes = 8;
    s.Light0 = 0x0000FF;
    s.Light1 = 0x00FF00;
    s.Light2 = 0xFF0000;
    s.Bright = 0;
    s.Filter = 1;
    s.Flares = 1;
    s.Randomize = 0;
    s.FlareSpeed = 100;
    s.BassSensitivity = 5;
    s.MiddleSensitivity = 20;
    s.TrebleSensitivity = 20;
    s.BassFlareSensitivity = 115;
    s.MiddleFlareSensitivity = 185;
    s.TrebleFlareSensitivity = 215;
    s.FullScreen = 0;
    s.FullScreenRes = 3;
    s.TextureMode = 3;
    s.ShadeMode = 1;
    return s;
}

void resetSettings(Settings& settings) {
    settings = defaultSettings();
}

const char* sectionName(ModuleKind kind) {
    switch (kind) {
    case ModuleKind::Wave: return "Wave";
    case ModuleKind::Block: return "Block";
    case ModuleKind::Tunnel: return "Tunnel";
    case ModuleKind::Cube: break;
    }
    return "Cube";
}

std::span<const SettingKey> moduleKeys(ModuleKind kind) {
    switch (kind) {
    case ModuleKind::Wave: return waveKeys;
    case ModuleKind::Block: return blockKeys;
    case ModuleKind::Tunnel: return tunnelKeys;
    case ModuleKind::Cube: break;
    }
    return {};
}

std::span<const SettingKey> graphicsKeys() {
    return graphicsKeyList;
}
std::span<const SettingKey> presetKeys() {
    return presetKeyList;
}

void readKeys(ProfileStore& store, const char* section, std::span<const SettingKey> keys,
              Settings& settings) {
    for (const SettingKey& k : keys)
        settings.*k.field = store.readInt(section, k.name, settings.*k.field);
}

void writeKeys(ProfileStore& store, const char* section, std::span<const SettingKey> keys,
               const Settings& settings) {
    for (const SettingKey& k : keys)
        store.writeString(section, k.name, std::to_string(settings.*k.field));
}

void readModuleSettings(ProfileStore& store, ModuleKind kind, Settings& settings) {
    if (kind == ModuleKind::Cube) return;
    readGraphicsOptions(store, kind, settings);
    readKeys(store, sectionName(kind), moduleKeys(kind), settings);
}

void writeModuleSettings(ProfileStore& store, ModuleKind kind, const Settings& settings) {
    writeKeys(store, sectionName(kind), moduleKeys(kind), settings);
}

void readGraphicsOptions(ProfileStore& store, ModuleKind kind, Settings& settings) {
    readKeys(store, sectionName(kind), graphicsKeys(), settings);
}

void writeGraphicsOptions(ProfileStore& store, ModuleKind kind, const Settings& settings) {
    writeKeys(store, sectionName(kind), graphicsKeys(), settings);
}

int gridResAtUse(const Settings& settings) {
    return std::clamp(settings.GridRes, 1, gridResLimit);
}

int fullScreenResAtUse(const Settings& settings) {
    return std::clamp(settings.FullScreenRes, 0, resolutionCount - 1);
}

int textureModeAtUse(int textureMode) {
    return std::clamp(textureMode, 0, 3);
}

int flareSpeedAtUse(const Settings& settings) {
    return std::clamp(settings.FlareSpeed, 1, 400);
}

} // namespace fennick
