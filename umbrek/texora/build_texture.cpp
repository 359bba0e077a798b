// txBuildTexture: the source expanded to argb8888, resampled to the record's
// size, averaged down its levels and quantised into the record's format,
// inside the block the caller gave for it.
#include "umbrek/texora/quantize.h"
#include "umbrek/texora/texora.h"

#include <vector>

namespace {

// Level LEVEL's size in a chain that starts at WIDTH x HEIGHT.
size_t levelTexels(int width, int height, int level) {
    const int w = width >> level, h = height >> level;
    return size_t(w > 0 ? w : 1) * size_t(h > 0 ? h : 1);
}

bool needsTable(int format) {
    return format == TX_YIQ_422 || format == TX_AYIQ_8422 || format == TX_P_8 || format == TX_AP_88;
}

} // namespace

int txBuildTexture(TxMip* mip, int sourceFormat, int width, int height, const void* sourceData,
                   uint32_t flags, const void* sourceTable) {
    using namespace texora;
    if (!mip || !mip->info.data || mip->depth < 1 || mip->depth > TX_MAX_LEVEL) {
        txError("txImageResize: no miplevel present\n");
        return 0;
    }
    if (!sourceData || (needsTable(sourceFormat) && !sourceTable)) {
        txError("txImageResize: Null buffer\n");
        return 0;
    }
    if (sourceFormat < 0 || sourceFormat > TX_ARGB_8888 || sourceFormat == TX_RSVD1 ||
        sourceFormat == TX_RSVD2 || sourceFormat == TX_RSVD4) {
        txError("Bad data format in Quantize\n");
        return 0;
    }
    if (width < 1 || height < 1 || width > TX_MAX_SIDE || height > TX_MAX_SIDE || mip->width < 1 ||
        mip->height < 1 || mip->width > TX_MAX_SIDE || mip->height > TX_MAX_SIDE) {
        txError("Bad width/height in txImageResize()\n");
        return 0;
    }

    // 1. The source as one argb8888 level; an argb8888 source is used where
    // it lies (it is only read), which spares a copy of the whole image.
    std::vector<uint32_t> expanded;
    TxMip original{};
    original.format = TX_ARGB_8888;
    original.width = width;
    original.height = height;
    original.depth = 1;
    if (sourceFormat == TX_ARGB_8888) {
        original.data[0] = const_cast<void*>(sourceData);
    } else {
        expanded.resize(size_t(width) * size_t(height));
        const size_t sourceBytes = size_t(txTexelBytes(sourceFormat));
        const auto* in = static_cast<const uint8_t*>(sourceData);
        for (size_t k = 0; k < expanded.size(); ++k) {
            uint32_t v = 0;
            for (size_t b = 0; b < sourceBytes; ++b)
                v |= uint32_t(in[k * sourceBytes + b]) << (8 * b);
            expanded[k] = expandTexel(sourceFormat, v, sourceTable);
        }
        original.data[0] = expanded.data();
    }

    // 2. and 3. Every level of the record in argb8888; level 0 is the source
    // itself when no resampling is needed.
    TxMip work = *mip;
    work.format = TX_ARGB_8888;
    const bool sameSize = width == mip->width && height == mip->height;
    size_t total = 0;
    for (int level = sameSize ? 1 : 0; level < mip->depth; ++level)
        total += levelTexels(mip->width, mip->height, level);
    std::vector<uint32_t> levels(total);
    size_t at = 0;
    if (sameSize) work.data[0] = original.data[0];
    for (int level = sameSize ? 1 : 0; level < mip->depth; ++level) {
        work.data[level] = levels.data() + at;
        at += levelTexels(mip->width, mip->height, level);
    }
    if (!sameSize && !txImageResize(&work, &original)) return 0;
    txMipMipmap(&work);

    // 4. and 5. The levels in the record's format, one after another.
    auto* out = static_cast<uint8_t*>(mip->info.data);
    const size_t bytes = size_t(txTexelBytes(mip->format));
    at = 0;
    for (int level = 0; level < mip->depth; ++level) {
        mip->data[level] = out + at;
        at += levelTexels(mip->width, mip->height, level) * bytes;
    }
    return txQuantize(mip, &work, flags);
}
