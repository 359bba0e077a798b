// Future Composer files from the fuzzer: each is refused, or loaded within its
// bounds, measured, played for a while, sought and released without harm.
#include "pelmit/formats/future_composer_player.h"
#include "pelmit/mixer/audio_engine.h"
#include "pelmit/mixer/mixer.h"
#include "pelmit/settings.h"

#include <algorithm>
#include <cstdio>

using namespace pelmit;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A low rate keeps the length measurement's ticks short.
    static const bool ready = [] {
        settings.SampleRate = 8000;
        return mixer.connect() != 0;
    }();
    if (!ready || size == 0) return 0;
    std::FILE* stream = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!stream) return 0;
    FutureComposerPlayer player;
    if (player.loadSong(stream, "C:\\fuzz\\tune.fc")) {
        player.startSong();
        for (int i = 0; i < 200 && !player.songFinished(); ++i) audioEngine.runTick();
        // Long enough to reach the later steps of most inputs; the length
        // measurement has already played every tune to its end.
        player.seekToMs(std::min(player.songLengthMs() / 2, 60000));
        char title[titleBufferSize];
        player.songTitle(title, sizeof title);
        player.stopSong();
    }
    player.releaseSong();
    std::fclose(stream);
    return 0;
}
