// The one settings record. It lives in a portable library of its own because
// the mixer reads Interpolation live and is built and tested without the shell.
#include "pelmit/settings.h"

#include <atomic>
#include <cstddef>
#include <cstring>

namespace pelmit {

Settings settings;

} // namespace pelmit

namespace pelmit {

void sanitizeSettings(Settings& s) {
    if (s.SampleRate < lowestSampleRate || s.SampleRate > highestSampleRate) s.SampleRate = 44100;
}

} // namespace pelmit

namespace pelmit {

void storeSetting(int32_t& field, int32_t value) {
    std::atomic_ref<int32_t>(field).store(value, std::memory_order_relaxed);
}

void storeSettings(Settings& to, const Settings& from) {
    int32_t Settings::*const numbers[] = {
        &Settings::StereoSeperation, &Settings::ReverseStereo, &Settings::DetectEndOfSong,
        &Settings::Interpolation,    &Settings::IgnoreF00,     &Settings::StripTrailingPause,
        &Settings::EmulateFilter,    &Settings::SampleRate,    &Settings::RememberWindowPositions,
        &Settings::ConfigX,          &Settings::ConfigY,       &Settings::MODInfoX,
        &Settings::MODInfoY,         &Settings::BPInfoX,       &Settings::BPInfoY,
        &Settings::FCInfoX,          &Settings::FCInfoY,       &Settings::SFXInfoX,
        &Settings::SFXInfoY,         &Settings::HIPInfoX,      &Settings::HIPInfoY,
        &Settings::AboutX,           &Settings::AboutY,
    };
    static_assert(sizeof numbers / sizeof numbers[0] * sizeof(int32_t) ==
                      offsetof(Settings, MODextension),
                  "every number of Settings is copied");
    for (auto field : numbers) storeSetting(to.*field, from.*field);
    // Only the host's thread reads the extension lists.
    std::memcpy(to.MODextension, from.MODextension, sizeof to.MODextension);
    std::memcpy(to.BPextension, from.BPextension, sizeof to.BPextension);
    std::memcpy(to.FCextension, from.FCextension, sizeof to.FCextension);
    std::memcpy(to.SFXextension, from.SFXextension, sizeof to.SFXextension);
    std::memcpy(to.EMUextension, from.EMUextension, sizeof to.EMUextension);
}

} // namespace pelmit
