#include "pelmit/formats/player_controls.h"

#include "pelmit/mixer/audio_engine.h"
#include "pelmit/mixer/mixer.h"

namespace pelmit {

int32_t skipTicks(const uint32_t& finished, int32_t targetMs) {
    mixer.beginSkip();
    while (!finished && mixer.elapsedMs() < targetMs) audioEngine.runTick();
    return mixer.endSkip();
}

void stopVoices(VoiceSet* set, int count) {
    for (int v = 0; v < count; ++v) {
        VoiceCommand stop{};
        stop.flags = cmdStop;
        stop.voice = uint8_t(v);
        mixer.sendVoiceCommand(set, &stop);
    }
}

} // namespace pelmit
