// Any bytes as a Nerrit skin folder: skin.ini text, then MainUp.bmp.
#include "sabrith/skin/fuzz/foreign_skin_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    sabrith::test::runFuzzSkin(data, size, "skin.ini", "MainUp.bmp");
    return 0;
}
