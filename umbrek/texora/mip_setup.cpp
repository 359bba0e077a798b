// Texture sizes: powers of two, at most 256 a side and at most 8 to 1, and
// the board's level-of-detail range and aspect for them.
#include "umbrek/texora/texora.h"

namespace {

int log2Exact(int n) {
    int log = 0;
    while ((1 << log) < n) ++log;
    return (1 << log) == n ? log : -1;
}

int roundUp(int n) {
    int p = 1;
    while (p < n) p <<= 1;
    return p;
}

int roundDown(int n) {
    int p = 1;
    while (p * 2 <= n) p <<= 1;
    return p;
}

// The long side's ratio to the short side, by aspect.
constexpr int kAspectRatio[7] = {8, 4, 2, 1, 2, 4, 8};
// The smallest level of a full chain, by aspect: where the short side is 1.
constexpr int kSmallestLod[7] = {5, 6, 7, 8, 7, 6, 5};

} // namespace

const char* txFormatName(int format) {
    static const char* const names[17] = {"rgb332", "yiq",      "a8",       "i8",       "ai44",
                                          "p8",     "rsvd1",    "rsvd2",    "argb8332", "ayiq8422",
                                          "rgb565", "argb1555", "argb4444", "ai88",     "ap88",
                                          "rsvd4",  "argb8888"};
    return format >= 0 && format <= 16 ? names[format] : "unknown";
}

int txTexelBytes(int format) {
    return format == TX_ARGB_8888 ? 4 : format > 7 ? 2 : 1;
}

uint32_t txSetUpMip(TxMip* mip, int format, int* width, int* height, int levels, uint32_t flags) {
    if (!mip || !width || !height) {
        txError("txSetUpMip: Null buffer\n");
        return 0;
    }
    if (format < 0 || format > TX_ARGB_8888) {
        txError("Bad data format in txSetUpMip()\n");
        return 0;
    }
    int w = *width, h = *height;
    if (w < 1 || h < 1 || w > TX_MAX_SIDE || h > TX_MAX_SIDE) {
        txError("Bad width/height in txSetUpMip()\n");
        return 0;
    }
    if ((flags & 0xF000) == TX_ROUND_UP) {
        w = roundUp(w);
        h = roundUp(h);
    } else if ((flags & 0xF000) == TX_ROUND_DOWN) {
        w = roundDown(w);
        h = roundDown(h);
    }
    while (w > 256) w /= 2;
    while (h > 256) h /= 2;
    while (w / h > 8) w /= 2;
    while (h / w > 8) h /= 2;
    const int longLog = log2Exact(w > h ? w : h);
    if (longLog < 0 || log2Exact(w < h ? w : h) < 0) {
        txError("Bad arg to Log2\n");
        return 0;
    }

    int aspect;
    switch (w * 8 / h) {
    case 64: aspect = 0; break;
    case 32: aspect = 1; break;
    case 16: aspect = 2; break;
    case 8: aspect = 3; break;
    case 4: aspect = 4; break;
    case 2: aspect = 5; break;
    default: aspect = 6;
    }
    const int largeLod = 8 - longLog;
    int smallLod = kSmallestLod[aspect];
    if (levels > 0 && levels < smallLod - largeLod + 1) smallLod = largeLod + levels - 1;

    uint32_t texels = 0;
    for (int lod = largeLod; lod <= smallLod; ++lod) {
        const int longSide = 256 >> lod;
        const int shortSide = longSide / kAspectRatio[aspect];
        texels += uint32_t(longSide * (shortSide > 0 ? shortSide : 1));
    }
    mip->format = format;
    mip->width = *width = w;
    mip->height = *height = h;
    mip->depth = smallLod - largeLod + 1;
    mip->size = texels * uint32_t(txTexelBytes(format));
    mip->info.smallLod = smallLod;
    mip->info.largeLod = largeLod;
    mip->info.aspectRatio = aspect;
    mip->info.format = format;
    return mip->size;
}
