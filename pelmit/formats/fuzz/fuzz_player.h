// The fuzz run shared by the format players: a file that the player loads is
// measured (inside loadSong), played with the Mixer rendering and read out,
// sought in, stopped and released; every input is also shown to the format's
// detector.
#pragma once

#include "pelmit/format_player.h"
#include "pelmit/mixer/audio_engine.h"
#include "pelmit/mixer/mixer.h"
#include "pelmit/settings.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace pelmit::fuzz {

// The players read files by name: each input goes to one temporary file.
inline const std::string& inputPath() {
    static const std::string path = [] {
        char name[] = "/tmp/pelmit-fuzz-XXXXXX";
        int fd = mkstemp(name);
        if (fd >= 0) close(fd);
        settings.SampleRate = 44100;
        if (!mixer.connect()) std::abort();
        mixer.setSampleRate(44100);
        return std::string(name);
    }();
    return path;
}

template <class Player>
int run(const uint8_t* data, size_t size, int (*identify)(std::FILE*, const char*)) {
    const std::string& path = inputPath();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    if ((f = std::fopen(path.c_str(), "rb"))) {
        identify(f, path.c_str());
        std::fclose(f);
    }
    Player player;
    if (player.loadSong(path.c_str())) {
        int16_t block[576 * 2];
        player.startSong();
        for (int tick = 0; tick < 40 && !player.songFinished(); ++tick) {
            audioEngine.runTick();
            while (mixer.readBlock(block, 576)) {
            }
        }
        player.seekToMs(player.songLengthMs() / 2);
        for (int tick = 0; tick < 10; ++tick) audioEngine.runTick();
        char title[32];
        player.songTitle(title, sizeof title);
        player.stopSong();
    }
    player.releaseSong();
    return 0;
}

} // namespace pelmit::fuzz
