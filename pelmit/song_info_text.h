// The texts of the song information dialogs, made from the players' numbers:
// the effect lists with their codes, instrument lines, version and tempo
// texts. Portable, so that the tables are tested without Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pelmit {

// One row of an effect list: its code ("3nn", "E8n", "Fnn") and description.
struct EffectText {
    std::string code;
    const char* description;
};

// MOD usedEffects: bits 0-13 as "%Xnn", bits 16-31 as "E%Xn", bit 15 as "Fnn"
// last; bit 14 gives no row.
std::vector<EffectText> modEffectRows(uint32_t usedEffects);
// SoundMon usedEffects (bits 0-15): bit 6 reads as vibrato only for synth
// variant 2; bits 11, 13-15 appear from variant 2 on; bit 12 never.
std::vector<EffectText> soundMonEffectRows(uint32_t usedEffects, int synthVariant);
// SoundFX: bits 1, 2, 5, 6, 7 and 8 have names; the others give no row.
std::vector<EffectText> soundFxEffectRows(uint32_t usedEffects);

// "%02d: %s" with the instrument's number counted from 1; the name is read up
// to its NUL or nameSize bytes, as names in files need not be terminated.
std::string instrumentLine(int number, const char* name, size_t nameSize);

// "V1", "V2", "V3" for synth variants 0-2, empty for any other.
const char* soundMonVersionText(int synthVariant);
const char* futureComposerVersionText(bool version14);

// The SoundFX timer value as beats per minute, "%.2f"; "-" for 0, which has no
// tempo.
std::string soundFxBpmText(uint32_t tempo);

// Copies text into a buffer of `size` characters that someone else offers
// (the list view asking for a row's text): cut to fit, NUL-terminated, nothing
// written for a null buffer or a size below 1.
template <typename Char>
void copyBounded(Char* buffer, int size, std::string_view text) {
    if (!buffer || size <= 0) return;
    size_t n = text.size() < size_t(size) - 1 ? text.size() : size_t(size) - 1;
    for (size_t i = 0; i < n; ++i) buffer[i] = Char(static_cast<unsigned char>(text[i]));
    buffer[n] = 0;
}

} // namespace pelmit
