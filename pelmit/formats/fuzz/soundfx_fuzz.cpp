// Fuzz target of the SoundFX loader and player (pelmit_soundfx_fuzz).
#include "fuzz_player.h"
#include "pelmit/formats/soundfx_player.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return pelmit::fuzz::run<pelmit::SoundFxPlayer>(data, size, pelmit::identifySoundFx);
}
