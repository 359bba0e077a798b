// Fuzz target of the emulated formats' detectors, loaders and player
// (pelmit_emulated_fuzz): every input goes to each detector; a file that
// loads runs its 68000 code for some ticks, a subsong choice and a seek.
#include "fuzz_player.h"
#include "pelmit/formats/emulated_player.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pelmit;
    const std::string& path = fuzz::writeInput(data, size);
    std::FILE* f = jk::test::openFile(path, "rb");
    const uint32_t bytes = uint32_t(size);
    isHippelFile(f, bytes);
    isMonFile(f, bytes);
    isDeltaMusic2File(f, bytes);
    isSidMon1File(f, bytes);
    isDeliTrackerFile(f);
    std::fclose(f);
    EmulatedPlayer player;
    if (player.loadSong(path.c_str())) {
        int16_t block[576 * 2];
        player.startSong();
        auto ticks = [&](int n) {
            for (int tick = 0; tick < n && !player.songFinished(); ++tick) {
                audioEngine.runTick();
                while (mixer.readBlock(block, 576)) {
                }
            }
        };
        ticks(10);
        player.selectSubsong(player.subsongCount());
        ticks(5);
        player.seekToMs(200);
        ticks(5);
        player.stopSong();
    }
    player.releaseSong();
    return 0;
}
