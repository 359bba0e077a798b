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

void startTickTimer(TickTimer* timer, TickRate rate, TickCallback tick, void* player) {
    if (rate.isCiaTimer)
        timer->setCiaTimer(rate.value);
    else
        timer->setBpm(rate.value);
    timer->setCallback(tick, player);
    timer->start();
}

namespace {

template <class Flag>
int32_t skipTicksUntil(const Flag& finished, int32_t targetMs, const int64_t* songClock) {
    mixer.beginSkip();
    while (!finished && mixer.elapsedMs() < targetMs && !stopIsRequested()) {
        const int64_t before = songClock ? *songClock : 0;
        audioEngine.runTick();
        if (songClock && *songClock == before) break;
    }
    return mixer.endSkip();
}

} // namespace

int32_t skipTicks(const uint32_t& finished, int32_t targetMs, const int64_t* songClock) {
    return skipTicksUntil(finished, targetMs, songClock);
}

int32_t skipTicks(const uint16_t& finished, int32_t targetMs, const int64_t* songClock) {
    return skipTicksUntil(finished, targetMs, songClock);
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
