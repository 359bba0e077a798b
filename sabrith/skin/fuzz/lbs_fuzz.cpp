// Any bytes as an own-format skin, in the form the foreign skin targets use
// (the text, a zero byte, the bitmap "a.bmp"; "b1.bmp" and "b2.bmp" always
// there). The skin is put through the window's work at two sizes, then ticked
// long enough for chains, drift and the track slide, clicked and drawn.
#include "sabrith/skin/fuzz/foreign_skin_fuzz.h"
#include "sabrith/skin/skin_drawing.h"
#include "sabrith/skin/skin_gizmos.h"
#include "sabrith/skin/tests/skin_workout.h"

#include <cstdint>

using namespace sabrith;
using namespace sabrith::test;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    SkinRig rig;
    addFuzzSkin(rig.files, data, size, "f.lbs", "a.bmp");
    rig.host.title = "Fuzzed \xC8\xFF title";
    rig.host.state = 1;
    rig.host.lengthS = 100;
    if (!rig.set.loadSkinFile(std::string(fuzzSkinFolder) + "f.lbs")) return 0;
    const int sizes[2][2] = {{275, 116}, {7, 300}};
    for (const auto& windowSize : sizes) {
        workOutSkin(rig.set, rig.clock, windowSize[0], windowSize[1]);
        for (int tick = 0; tick < 25; ++tick) {
            rig.clock.time += 20;
            rig.host.positionMs += 700;
            skinMouseEvent(rig.set, tick * 11 % windowSize[0], tick * 7 % windowSize[1], tick % 3);
            skinTick(rig.set);
        }
        DibImage frame("frame");
        frame.resize(windowSize[0], windowSize[1]);
        drawSkin(rig.set, frame);
        rig.set.nextSkin();
    }
    return 0;
}
