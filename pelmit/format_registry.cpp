#include "pelmit/format_registry.h"

#include "pelmit/formats/emulated_player.h"
#include "pelmit/formats/future_composer_player.h"
#include "pelmit/formats/mod_loader.h"
#include "pelmit/formats/mod_player.h"
#include "pelmit/formats/soundfx_player.h"
#include "pelmit/formats/soundmon_player.h"

namespace pelmit {

// One entry per format player of the plug-in, in any order.
static const FormatEntry formats[] = {
    {FormatKind::FutureComposer, createFutureComposerPlayer,
     [](std::FILE* stream, const char*) { return identifyFutureComposer(stream); }, nullptr},
    {FormatKind::Mod, ModPlayer::create, identifyModFile, readModTitle},
    {FormatKind::SoundMon, SoundMonPlayer::create, identifySoundMon, readSoundMonTitle},
    {FormatKind::SoundFx, SoundFxPlayer::create, identifySoundFx, nullptr},
    {FormatKind::Emulated, EmulatedPlayer::create,
     [](std::FILE* stream, const char*) { return isEmulatedFile(stream); }, nullptr},
};

std::span<const FormatEntry> builtInFormats() {
    return formats;
}

} // namespace pelmit
