// Any bytes as a Tovrel skin: the .design text, then its face bitmap.
#include "sabrith/skin/fuzz/foreign_skin_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    sabrith::test::runFuzzSkin(data, size, "fuzz.design", "face.bmp");
    return 0;
}
