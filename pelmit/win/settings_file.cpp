// startUp and shutDown: Pelmit's settings read from and written back to
// "Plugins\quistor.ini" below the player's folder, and the Mixer connected
// and disconnected.
#include "pelmit/formats/mod_loader.h"
#include "pelmit/formats/mod_player.h"
#include "pelmit/formats/soundmon_player.h"
#include "pelmit/mixer/mixer.h"
#include "pelmit/playback.h"
#include "pelmit/win/plugin.h"
#include "pelmit/settings.h"

#include <cstdio>
#include <cstring>

namespace pelmit {

namespace {

const char section[] = "Quistor MOD Player";

struct IntKey {
    const char* name;
    int32_t Settings::*field;
    int32_t fallback;
};

// In the order startUp reads them.
const IntKey readOrder[] = {
    {"SampleRate", &Settings::SampleRate, 44100},
    {"StereoSeperation", &Settings::StereoSeperation, 64},
    {"ReverseStereo", &Settings::ReverseStereo, 0},
    {"DetectEndOfSong", &Settings::DetectEndOfSong, 1},
    {"Interpolation", &Settings::Interpolation, 0},
    {"IgnoreF00", &Settings::IgnoreF00, 0},
    {"StripTrailingPause", &Settings::StripTrailingPause, 0},
    {"EmulateFilter", &Settings::EmulateFilter, 1},
    {"ConfigX", &Settings::ConfigX, positionUnset},
    {"ConfigY", &Settings::ConfigY, positionUnset},
    {"MODInfoX", &Settings::MODInfoX, positionUnset},
    {"MODInfoY", &Settings::MODInfoY, positionUnset},
    {"BPInfoX", &Settings::BPInfoX, positionUnset},
    {"BPInfoY", &Settings::BPInfoY, positionUnset},
    {"SFXInfoX", &Settings::SFXInfoX, positionUnset},
    {"SFXInfoY", &Settings::SFXInfoY, positionUnset},
    {"HIPInfoX", &Settings::HIPInfoX, positionUnset},
    {"HIPInfoY", &Settings::HIPInfoY, positionUnset},
    {"FCInfoX", &Settings::FCInfoX, positionUnset},
    {"FCInfoY", &Settings::FCInfoY, positionUnset},
    {"AboutX", &Settings::AboutX, positionUnset},
    {"AboutY", &Settings::AboutY, positionUnset},
    {"RememberWindowPositions", &Settings::RememberWindowPositions, 0},
};

// In the order shutDown writes them.
const char* const writeOrder[] = {
    "SampleRate",
    "StereoSeperation",
    "ReverseStereo",
    "DetectEndOfSong",
    "Interpolation",
    "IgnoreF00",
    "StripTrailingPause",
    "EmulateFilter",
    "RememberWindowPositions",
    "ConfigX",
    "ConfigY",
    "MODInfoX",
    "MODInfoY",
    "BPInfoX",
    "BPInfoY",
    "FCInfoX",
    "FCInfoY",
    "SFXInfoX",
    "SFXInfoY",
    "HIPInfoX",
    "HIPInfoY",
    "AboutX",
    "AboutY",
};

int32_t& field(const char* name) {
    for (const IntKey& k : readOrder)
        if (std::strcmp(k.name, name) == 0) return settings.*k.field;
    static int32_t none;
    return none;
}

struct TextKey {
    const char* name;
    char* value;
};

} // namespace

void JK_CDECL startUp() {
    for (const IntKey& k : readOrder)
        settings.*k.field = int32_t(GetPrivateProfileIntA(section, k.name, k.fallback, iniPath));
    sanitizeSettings(settings);
    setMixerReady(mixer.connect() != 0);
    applyStoredSettings();
}

void JK_CDECL shutDown() {
    mixer.disconnect();
    setMixerReady(false);
    char text[256];
    for (const char* name : writeOrder) {
        std::snprintf(text, sizeof text, "%d", int(field(name)));
        WritePrivateProfileStringA(section, name, text, iniPath);
    }
    const TextKey lists[] = {
        {"MODextension", settings.MODextension}, {"BPextension", settings.BPextension},
        {"SFXextension", settings.SFXextension}, {"EMUextension", settings.EMUextension},
        {"FCextension", settings.FCextension},
    };
    for (const TextKey& k : lists) {
        std::snprintf(text, sizeof text, "%s", k.value);
        WritePrivateProfileStringA(section, k.name, text, iniPath);
    }
}

} // namespace pelmit
