#include "pelmit/song_info_text.h"

#include <cstdio>
#include <cstring>

namespace pelmit {

namespace {

// Descriptions by bit; null: the bit gives no row.
constexpr const char* modCommandNames[14] = {
    "Arpeggio",
    "Slide up",
    "Slide down",
    "Portamento",
    "Vibrato",
    "Portamento + Volume slide",
    "Vibrato + Volume slide",
    "Tremolo",
    "unknown",
    "Sample offset",
    "Volume slide",
    "Pattern jump",
    "Volume",
    "Position jump",
};

constexpr const char* modExtendedNames[16] = {
    "Filter on/off",
    "Fine slide up",
    "Fine slide down",
    "Glissando on/off (ignored)",
    "Set vibrato waveform (partly ignored)",
    "Set finetune",
    "Pattern loop",
    "Set tremolo waveform (partly ignored)",
    "unknown",
    "Retrig note",
    "Fine volume slide up",
    "Fine volume slide down",
    "Note cut",
    "Note delay",
    "Pattern delay",
    "Invert loop",
};

constexpr int modSpeedBit = 15;

constexpr const char* soundMonNames[16] = {
    "Arpeggio",
    "Volume",
    "Set speed",
    "LED/Filter",
    "Slide up",
    "Slide down",
    "Set repeat count", // "Vibrato" for synth variant 2
    "Position jump",
    "Autoslide",
    "Autoarpeggio",
    "Transpose control",
    "FX control",
    nullptr,
    "Swap FX / Autoarpeggio",
    "Reset ADSR / Autopeggio",
    "Autoarpeggio",
};

// Effects that the older SoundMon versions do not have.
constexpr uint32_t soundMonVariant2Bits = 1u << 11 | 1u << 13 | 1u << 14 | 1u << 15;

constexpr const char* soundFxNames[16] = {
    nullptr,     "Arpeggio",    "Slide",           nullptr,         nullptr,
    "Volume Up", "Volume Down", "Portamento Down", "Portamento Up",
};

std::string hexCode(const char* format, int value) {
    char text[8];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

void addCodedRows(std::vector<EffectText>& rows, uint32_t mask, const char* const* names, int count,
                  const char* format, int firstBit) {
    for (int i = 0; i < count; ++i)
        if (names[i] && (mask >> (firstBit + i) & 1))
            rows.push_back({hexCode(format, i), names[i]});
}

} // namespace

std::vector<EffectText> modEffectRows(uint32_t usedEffects) {
    std::vector<EffectText> rows;
    addCodedRows(rows, usedEffects, modCommandNames, 14, "%Xnn", 0);
    addCodedRows(rows, usedEffects, modExtendedNames, 16, "E%Xn", 16);
    if (usedEffects >> modSpeedBit & 1) rows.push_back({"Fnn", "Set speed/tempo"});
    return rows;
}

std::vector<EffectText> soundMonEffectRows(uint32_t usedEffects, int synthVariant) {
    const char* names[16];
    std::memcpy(names, soundMonNames, sizeof names);
    if (synthVariant == 2) names[6] = "Vibrato";
    if (synthVariant < 2) usedEffects &= ~soundMonVariant2Bits;
    std::vector<EffectText> rows;
    addCodedRows(rows, usedEffects, names, 16, "%Xnn", 0);
    return rows;
}

std::vector<EffectText> soundFxEffectRows(uint32_t usedEffects) {
    std::vector<EffectText> rows;
    addCodedRows(rows, usedEffects, soundFxNames, 16, "%Xnn", 0);
    return rows;
}

std::string instrumentLine(int number, const char* name, size_t nameSize) {
    size_t length = name ? strnlen(name, nameSize) : 0;
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "%02d: ", number);
    return prefix + std::string(name ? name : "", length);
}

const char* soundMonVersionText(int synthVariant) {
    static const char* const names[] = {"V1", "V2", "V3"};
    return synthVariant >= 0 && synthVariant < 3 ? names[synthVariant] : "";
}

const char* futureComposerVersionText(bool version14) {
    return version14 ? "1.4" : "1.3";
}

std::string soundFxBpmText(uint32_t tempo) {
    if (tempo == 0) return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", 88672368.0 / tempo * 0.02);
    return text;
}

} // namespace pelmit
