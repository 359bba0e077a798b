// The plug-in's one set of settings, shared by its modules, with the keys
// each module stores in its section of "fennick.ini", the graphics options,
// and the limits applied where a value is used: the stored values are taken
// as they are (the dialogs' sliders keep them in range, hand-edited files and
// presets need not).
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace fennick {

struct Settings {
    std::int32_t RotSpeed;
    std::int32_t Dynamic;
    std::int32_t Mode;
    std::int32_t RotDir;
    std::int32_t Style;
    std::int32_t Sensitivity;
    std::int32_t GridRes;
    std::int32_t Light0, Light1, Light2; // also the Tunnel's BLight, MLight, TLight
    std::int32_t Bright;
    std::int32_t Filter;
    std::int32_t Flares;
    std::int32_t Randomize;
    std::int32_t FlareSpeed;
    std::int32_t BassSensitivity, MiddleSensitivity, TrebleSensitivity;
    std::int32_t BassFlareSensitivity, MiddleFlareSensitivity, TrebleFlareSensitivity;
    std::int32_t FullScreen;
    std::int32_t FullScreenRes;
    std::int32_t TextureMode;
    std::int32_t ShadeMode;
};

Settings defaultSettings();
// Every setting, whichever module it belongs to.
void resetSettings(Settings& settings);

enum class ModuleKind { Wave, Block, Tunnel, Cube };
const char* sectionName(ModuleKind kind);

struct SettingKey {
    const char* name;
    std::int32_t Settings::*field;
};

// A module's own keys in the order they are read and written (none for Cube).
std::span<const SettingKey> moduleKeys(ModuleKind kind);
std::span<const SettingKey> graphicsKeys();
// The 20 integer keys of a preset slot, after "presetname".
std::span<const SettingKey> presetKeys();

// A private-profile file: sections of keys with text values.
class ProfileStore {
public:
    virtual ~ProfileStore() = default;
    // The value as a whole number, or fallback when the key is absent.
    virtual std::int32_t readInt(const char* section, const char* key, std::int32_t fallback) = 0;
    // Empty when absent.
    virtual std::string readString(const char* section, const char* key) = 0;
    virtual void writeString(const char* section, const char* key, const std::string& value) = 0;
};

// Each key read with the value in memory as its default.
void readKeys(ProfileStore& store, const char* section, std::span<const SettingKey> keys,
              Settings& settings);
// "%d" values.
void writeKeys(ProfileStore& store, const char* section, std::span<const SettingKey> keys,
               const Settings& settings);

// The graphics options, then the module's own keys, from the module's section.
void readModuleSettings(ProfileStore& store, ModuleKind kind, Settings& settings);
// The module's own keys only.
void writeModuleSettings(ProfileStore& store, ModuleKind kind, const Settings& settings);
void readGraphicsOptions(ProfileStore& store, ModuleKind kind, Settings& settings);
void writeGraphicsOptions(ProfileStore& store, ModuleKind kind, const Settings& settings);

// Limits at use. The Block module keeps peaks for at most 24 x 24 cells and
// divides by the cell count; the resolution table has ten entries.
constexpr int gridResLimit = 24;
int gridResAtUse(const Settings& settings);
int fullScreenResAtUse(const Settings& settings);
int textureModeAtUse(int textureMode);
// A flare speed of 0 would leave flares standing for ever.
int flareSpeedAtUse(const Settings& settings);

} // namespace fennick
