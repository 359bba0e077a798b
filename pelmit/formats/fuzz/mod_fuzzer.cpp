// libFuzzer target: any bytes as a file named like a MOD, through detection,
// loading with the length measurement, a few ticks of play, the title and a
// seek. Nothing may crash, hang, leak or trip a sanitizer.
#include "pelmit/formats/mod_loader.h"
#include "pelmit/formats/mod_player.h"
#include "pelmit/mixer/audio_engine.h"
#include "pelmit/mixer/mixer.h"
#include "pelmit/settings.h"
#include "tests/test_files.h"

#include <cstdint>
#include <cstdio>
#include <string>

using namespace pelmit;

namespace {

const std::string& scratchFile() {
    static const std::string path =
        jk::test::tempPath("input-" + std::to_string(jk::test::processId()) + ".mod");
    return path;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    settings.SampleRate = 44100;
    mixer.connect();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = scratchFile();
    jk::test::writeFile(path, data, size);

    // The switches from the last bytes, so that every path is reached.
    const uint8_t last = size ? data[size - 1] : 0;
    ModFileType::stripTrailingPause = last & 1;
    ModPlayer::ignoreF00 = (last >> 1) & 1;
    ModPlayer::emulateFilter = (last >> 2) & 1;

    std::FILE* s = jk::test::openFile(path, "rb");
    identifyModFile(s, path.c_str());
    std::fclose(s);
    char title[64];
    readModTitle(path.c_str(), title, sizeof title);

    ModPlayer player;
    if (player.loadSong(path.c_str())) {
        player.setTrackerType((last >> 3) % 7);
        player.startSong();
        for (int t = 0; t < 64 && !player.songFinished(); ++t) {
            audioEngine.runTick();
            mixer.resetOutput();
        }
        player.songTitle(title, sizeof title);
        player.seekToMs(int(last) * 100);
        player.setSongPosition(last);
        player.stopSong();
        player.releaseSong();
    }
    std::remove(path.c_str());
    return 0;
}
