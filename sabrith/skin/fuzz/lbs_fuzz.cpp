// Any bytes as an own-format skin: the text up to the first zero byte is the
// skin file, the bytes after it the bitmap "a.bmp"; "b.bmp" (8 x 8) and
// "c.bmp" (1 x 1) are always there. The skin is loaded, laid out, shaped,
// ticked, clicked and drawn at two window sizes (ASan and UBSan watch).
#include "sabrith/skin/region.h"
#include "sabrith/skin/skin_drawing.h"
#include "sabrith/skin/skin_gizmos.h"
#include "sabrith/skin/tests/skin_test_rig.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

using namespace sabrith;
using namespace sabrith::test;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const std::vector<uint8_t> small =
        bmpOf(8, 8, [](int x, int y) { return uint32_t(x * 32) << 16 | uint32_t(y * 32); });
    static const std::vector<uint8_t> tiny = bmpOf(1, 1, [](int, int) { return 0xFF00FFu; });
    const uint8_t* end = data + size;
    const uint8_t* split = std::find(data, end, uint8_t(0));
    SkinRig rig;
    rig.files.add("c:\\s\\f.lbs",
                  std::string_view(reinterpret_cast<const char*>(data), std::size_t(split - data)));
    if (split != end) rig.files.add("c:\\s\\a.bmp", std::vector<uint8_t>(split + 1, end));
    rig.files.add("c:\\s\\b.bmp", small);
    rig.files.add("c:\\s\\c.bmp", tiny);
    rig.host.title = "Fuzzed \xC8\xFF title";
    rig.host.state = 1;
    rig.host.lengthS = 100;
    if (!rig.set.loadSkinFile("c:\\s\\f.lbs")) return 0;
    const int sizes[2][2] = {{275, 116}, {7, 300}};
    for (const auto& windowSize : sizes) {
        rig.set.setWindowSize(windowSize[0], windowSize[1]);
        int32_t w = windowSize[0], h = windowSize[1];
        rig.set.clampWindowSize(w, h);
        DibImage frame("frame");
        frame.resize(windowSize[0], windowSize[1]);
        for (int tick = 0; tick < 25; ++tick) {
            rig.clock.time += 20;
            rig.host.positionMs += 700;
            const int32_t x = tick * 11 % windowSize[0], y = tick * 7 % windowSize[1];
            skinMouseEvent(rig.set, x, y, tick % 3);
            skinTick(rig.set);
            if (tick % 8 == 0) setFocusState(rig.set, frame, tick % 16 == 0 ? 0 : 1);
        }
        if (const auto shape = buildWindowShape(rig.set)) shape->contains(1, 1);
        drawSkin(rig.set, frame);
        rig.set.nextSkin();
    }
    return 0;
}
