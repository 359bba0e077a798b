// The board on any sequence of calls with any arguments, on a 320x200 screen.
#include "umbrek/glide/fuzz/glide_calls.h"
#include "umbrek/glide/glide.h"
#include "umbrek/glide/glide_test.h"

#include <cstring>
#include <vector>

using namespace umbrek::glide;
using namespace umbrek::glide::fuzz;

namespace {

struct Reader {
    const uint8_t* data;
    size_t size, pos = 0;
    bool more() const { return pos < size; }
    uint8_t byte() { return pos < size ? data[pos++] : 0; }
    uint32_t word() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= uint32_t(byte()) << (8 * i);
        return v;
    }
    int32_t integer() { return int32_t(word()); }
    float real() {
        const uint32_t bits = word();
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
};

GrVertex vertex(Reader& in) {
    GrVertex v;
    float* f = &v.x;
    for (int i = 0; i < 15; ++i) f[i] = in.real();
    return v;
}

void setState(Reader& in) {
    const int which = in.byte() % setterCount;
    const int32_t a = in.integer(), b = in.integer(), c = in.integer(), d = in.integer();
    switch (which) {
    case 0: grRenderBuffer(a); break;
    case 1: grClipWindow(FxU32(a), FxU32(b), FxU32(c), FxU32(d)); break;
    case 2: grColorMask(a, b); break;
    case 3: grDepthMask(a); break;
    case 4: grDepthBufferMode(a); break;
    case 5: grDepthBufferFunction(a); break;
    case 6: grDepthBiasLevel(FxI16(a)); break;
    case 7: grCullMode(a); break;
    case 8: grConstantColorValue(FxU32(a)); break;
    case 9: guColorCombineFunction(a); break;
    case 10: grColorCombine(a, b, c, d, 0); break;
    case 11: grAlphaCombine(a, b, c, d, 0); break;
    case 12: guAlphaSource(a); break;
    case 13: grTexCombineFunction(a, b); break;
    case 14: grAlphaBlendFunction(a, b, c, d); break;
    case 15: grAlphaTestFunction(a); break;
    case 16: grAlphaTestReferenceValue(GrAlpha_t(a)); break;
    case 17: grChromakeyMode(a); break;
    case 18: grChromakeyValue(FxU32(a)); break;
    case 19: grTexMipMapMode(a, b, c); break;
    case 20: grTexFilterMode(a, b, c); break;
    case 21: grFogMode(a); break;
    case 22: grFogColorValue(FxU32(a)); break;
    case 23: {
        GrFog_t table[GR_FOG_TABLE_SIZE];
        float nearW, farW;
        std::memcpy(&nearW, &a, 4);
        std::memcpy(&farW, &b, 4);
        guFogGenerateLinear(table, nearW, farW);
        grFogTable(table);
        break;
    }
    default: grDisableAllEffects(); break;
    }
}

// Region calls get a buffer of exactly width × height pixels, as a caller
// allocates; sizes beyond 512 are cut to keep the allocation small.
void region(Reader& in, bool write) {
    const int32_t buffer = in.integer(), x = in.integer(), y = in.integer();
    int32_t w = in.integer(), h = in.integer();
    if (w > 512) w %= 512;
    if (h > 512) h %= 512;
    std::vector<uint16_t> pixels(size_t(w > 0 ? w : 0) * size_t(h > 0 ? h : 0) + 1, 0x1234);
    const FxU32 stride = FxU32(w > 0 ? w : 0) * 2;
    if (write)
        grLfbWriteRegion(buffer, FxU32(x), FxU32(y), 0, FxU32(w), FxU32(h), FxI32(stride),
                         pixels.data());
    else
        grLfbReadRegion(buffer, FxU32(x), FxU32(y), FxU32(w), FxU32(h), stride, pixels.data());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::vector<uint8_t> texels(2 * 256 * 256 * 2, 0);
    resetOptions();
    options().textureMemory = 1 << 20;
    grGlideInit();
    if (!grSstWinOpen(0, 0, 0, GR_COLORFORMAT_RGBA, 0, 2, 1)) return 0;
    Reader in{data, size};
    while (in.more()) {
        const uint8_t op = in.byte() % OpCount;
        switch (op) {
        case SetState: setState(in); break;
        case Triangle: {
            const GrVertex a = vertex(in), b = vertex(in), c = vertex(in);
            grDrawTriangle(&a, &b, &c);
            break;
        }
        case Line: {
            const GrVertex a = vertex(in), b = vertex(in);
            grDrawLine(&a, &b);
            break;
        }
        case Download:
        case Source: {
            GrTexInfo info;
            info.smallLod = in.integer(), info.largeLod = in.integer();
            info.aspectRatio = in.integer(), info.format = in.integer();
            const FxU32 start = in.word();
            for (size_t i = 0; i < 64; ++i) texels[(start + i * 977) % texels.size()] = in.byte();
            info.data = texels.data();
            if (op == Download)
                grTexDownloadMipMap(0, start, GR_MIPMAPLEVELMASK_BOTH, &info);
            else
                grTexSource(0, start, GR_MIPMAPLEVELMASK_BOTH, &info);
            break;
        }
        case Table: {
            const int32_t type = in.integer();
            GuTexPalette table;
            for (FxU32& entry : table.data) entry = in.word();
            grTexDownloadTable(0, type, &table);
            break;
        }
        case Lock: {
            const int32_t buffer = in.integer(), mode = in.integer();
            const uint32_t offset = in.word(), value = in.word();
            GrLfbInfo_t info{};
            if (grLfbLock(GR_LFB_WRITE_ONLY, buffer, mode, 0, 0, &info)) {
                // One write inside the locked rows, as the engine's text and bitmaps do.
                const int bytes = mode == GR_LFBWRITEMODE_8888 ? 4 : 2;
                const size_t limit = size_t(info.strideInBytes) * 200 / size_t(bytes);
                if (bytes == 4)
                    static_cast<uint32_t*>(info.lfbPtr)[offset % limit] = value;
                else
                    static_cast<uint16_t*>(info.lfbPtr)[offset % limit] = uint16_t(value);
            }
            break;
        }
        case Unlock: grLfbUnlock(GR_LFB_WRITE_ONLY, in.integer()); break;
        case ReadRegion: region(in, false); break;
        case WriteRegion: region(in, true); break;
        case Clear: {
            const FxU32 colour = in.word();
            grBufferClear(colour, 0, FxU16(in.word()));
            break;
        }
        case Swap: grBufferSwap(0); break;
        case SaveRestore: {
            GrState s;
            grGlideGetState(&s);
            grDisableAllEffects();
            grGlideSetState(&s);
            break;
        }
        default: {
            // A new screen replaces the old one (any resolution code).
            const int32_t resolution = in.integer();
            grSstWinOpen(0, resolution, 0, GR_COLORFORMAT_RGBA, 0, 2, 1);
            break;
        }
        }
    }
    grGlideShutdown();
    return 0;
}
