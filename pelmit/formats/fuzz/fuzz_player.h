// The fuzz run shared by the format players: a file that the player loads is
// measured (inside loadSong), played with the Mixer rendering and read out,
// sought in, stopped and released; every input is also shown to the format's
// detector.
#pragma once

#include "pelmit/format_player.h"
#include "pelmit/mixer/audio_engine.h"
#include "pelmit/mixer/mixer.h"
#include "pelmit/settings.h"
#include "tests/test_files.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace pelmit::fuzz {

// The players read files by name: each input goes to one file in the
// target's own folder, named after its process (libFuzzer may run several).
// A file that cannot be written or read stops the run with its path and the
// reason, rather than fuzzing nothing.
inline const std::string& writeInput(const uint8_t* data, size_t size,
                                     const char* extension = ".bin") {
    static const std::string path = [extension] {
        settings.SampleRate = 44100;
        if (!mixer.connect()) std::abort();
        mixer.setSampleRate(44100);
        return jk::test::tempPath("input-" + std::to_string(jk::test::processId()) + extension);
    }();
    jk::test::writeFile(path, data, size);
    return path;
}

template <class Player>
int run(const uint8_t* data, size_t size, int (*identify)(std::FILE*, const char*)) {
    const std::string& path = writeInput(data, size);
    std::FILE* f = jk::test::openFile(path, "rb");
    identify(f, path.c_str());
    std::fclose(f);
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
