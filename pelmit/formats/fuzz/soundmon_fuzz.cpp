// Fuzz target of the SoundMon loader and replayer (pelmit_soundmon_fuzz).
#include "fuzz_player.h"
#include "pelmit/formats/soundmon_player.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return pelmit::fuzz::run<pelmit::SoundMonPlayer>(data, size, pelmit::identifySoundMon);
}
