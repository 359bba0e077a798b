// Pelmit's settings: one static record, fields named after the ini keys of the
// section "Quistor MOD Player".
#pragma once

#include <cstdint>

namespace pelmit {

// An X or Y with this value means no position is stored for that dialog.
constexpr int32_t positionUnset = 39873987;
constexpr int extensionListSize = 50;

struct Settings {
    int32_t StereoSeperation = 64;
    int32_t ReverseStereo = 0;
    int32_t DetectEndOfSong = 1;
    int32_t Interpolation = 0;
    int32_t IgnoreF00 = 0;
    int32_t StripTrailingPause = 0;
    int32_t EmulateFilter = 1;
    int32_t SampleRate = 44100;
    int32_t RememberWindowPositions = 0;
    int32_t ConfigX = positionUnset, ConfigY = positionUnset;
    int32_t MODInfoX = positionUnset, MODInfoY = positionUnset;
    int32_t BPInfoX = positionUnset, BPInfoY = positionUnset;
    int32_t FCInfoX = positionUnset, FCInfoY = positionUnset;
    int32_t SFXInfoX = positionUnset, SFXInfoY = positionUnset;
    int32_t HIPInfoX = positionUnset, HIPInfoY = positionUnset;
    int32_t AboutX = positionUnset, AboutY = positionUnset;
    char MODextension[extensionListSize] = "MOD";
    char BPextension[extensionListSize] = "BP;BP3";
    char FCextension[extensionListSize] = "FC;FC3;FC4;FC13;FC14";
    char SFXextension[extensionListSize] = "SFX";
    char EMUextension[extensionListSize] = "HIP;MON;CUST;CUS;DM2;SID1";
};

extern Settings settings;

} // namespace pelmit

namespace pelmit {

// Output rates Pelmit plays at; a stored rate outside falls back to 44100, since
// 0 or a huge rate would break the tick and step arithmetic.
constexpr int32_t lowestSampleRate = 8000;
constexpr int32_t highestSampleRate = 192000;

// Makes values read from the user-editable settings file safe to use.
void sanitizeSettings(Settings& s);

// The decode thread reads settings while the dialogs change them (the Mixer
// reads Interpolation for every block it mixes), so numbers are stored as
// whole atomic words.
void storeSetting(int32_t& field, int32_t value);
// Copies every field of `from` over `to`, each number as one atomic store.
void storeSettings(Settings& to, const Settings& from);

} // namespace pelmit
