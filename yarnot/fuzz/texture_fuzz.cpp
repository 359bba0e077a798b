// Any bytes as a texture file: a result and a message, and nothing else
// (no read outside the input, no texel written past the texture).
#include "yarnot/texture.h"

#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto texture = std::make_unique<yarnot::Texture>();
    yarnot::MemorySource source(data, size);
    std::string message;
    bool ok = yarnot::LoadTexture(source, "fuzz.bmp", int(size & 3), *texture, message);
    if (ok != message.empty()) std::abort();
    return 0;
}
