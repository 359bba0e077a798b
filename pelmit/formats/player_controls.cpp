#include "pelmit/formats/player_controls.h"

#include "pelmit/mixer/audio_engine.h"
#include "pelmit/mixer/mixer.h"

namespace pelmit {

namespace {

std::atomic<const std::atomic<int>*> watchedStop{nullptr};

} // namespace

void watchStopRequest(const std::atomic<int>* request) {
    watchedStop = request;
}

bool stopIsRequested() {
    const std::atomic<int>* request = watchedStop.load();
    return request && request->load() != 0;
}

int32_t skipTicks(const uint32_t& finished, int32_t targetMs) {
    mixer.beginSkip();
    while (!finished && mixer.elapsedMs() < targetMs && !stopIsRequested()) audioEngine.runTick();
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
