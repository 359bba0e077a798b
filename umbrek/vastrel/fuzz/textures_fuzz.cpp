// Any sequence of texture creations (any size and conversion mode),
// selections, evictions, placements and frame-counter steps in a 64 KiB
// texture memory.
#include "umbrek/glide/glide_test.h"
#include "umbrek/vastrel/engine.h"
#include "umbrek/vastrel/fuzz/fuzz_input.h"
#include "umbrek/vastrel/glide_device.h"
#include "umbrek/vastrel/texture_manager.h"

using namespace umbrek::vastrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool started = [] {
        umbrek::glide::options().textureMemory = 64u << 10;
        KX_DetectGlide();
        KX_InstallGlide();
        KX_OpenVideoMode(320, 200, 60);
        return true;
    }();
    (void)started;
    fuzz::Input in{data, size};
    Engine& e = engine();
    KX_AllocTextures(in.byte() % 16);
    for (int i = 0; i < 768; ++i) e.palette[i] = in.byte();
    for (int step = 0; step < 64 && in.more(); ++step) {
        switch (in.byte() % 6) {
        case 0: {
            const int width = in.half() % 1100, height = in.half() % 1100;
            e.textureFormat = std::int8_t(in.byte()) % 16;
            KX_Bitmap* b = KX_NewBitmap(width, height);
            if (b)
                for (int k = 0; k < width * height; ++k)
                    KX_BitmapPixels(b)[k] = std::uint8_t(k * 7 + step);
            KX_CreateTexture("t", b);
            break;
        }
        case 1: KX_SelectTexture(std::int8_t(in.byte())); break;
        case 2: KX_EvictTexture(std::int8_t(in.byte())); break;
        case 3: KX_PlaceTexture(std::int8_t(in.byte()), in.byte() & 1); break;
        case 4: e.frameCounter += std::int8_t(in.byte()); break;
        default: textureManager().resetLastUsed(); break;
        }
    }
    KX_FreeTextures();
    return 0;
}
