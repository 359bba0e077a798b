// A whole data library as the scene's archive: start-up, five loud frames and
// the stop on the headless board, with a fixed seed. Whatever the archive
// holds, a start either fails cleanly or the frames run, and the stop leaves
// nothing behind (the fuzzer's leak check sees every block). One slot shows
// each effect in turn: an archive's flare image may make every sprite cover
// the screen, and six slots of them would only cost time.
#include "umbrek/scene.h"

#include <array>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // No bytes would mean no library in memory, and the scene would look for
    // the file instead.
    if (size == 0) return 0;
    umbrek::SceneStart start;
    start.settings.numEffects = 1;
    start.settings.effectFade = 1;
    start.settings.effectTime = 1000;
    start.randomSeed = 1;
    start.libraryBytes = data;
    start.librarySize = size;
    std::array<std::uint8_t, 576> row{};
    for (std::size_t i = 0; i < row.size(); ++i) row[i] = std::uint8_t(200 + i % 50);
    if (umbrek::startScene(start) == 0) {
        static constexpr int effects[5] = {0, 1, 3, 5, 1};
        for (int effect : effects) {
            umbrek::sceneEffects().slots[0].effect = effect;
            umbrek::renderSceneFrame(row.data(), nullptr);
        }
        umbrek::stopScene();
    }
    return 0;
}
