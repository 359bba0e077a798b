// Quantising argb8888 levels into the board's formats, one converter per
// format, and the inverse that expands a source image of any format.
#include "umbrek/texora/ncc_table.h"
#include "umbrek/texora/quantize.h"

namespace texora {

namespace {

int intensity8(uint32_t t) {
    return int(intensity(t));
}

uint32_t rgb332(uint32_t t) {
    return uint32_t(red(t) & 0xE0) | uint32_t(green(t) >> 3 & 0x1C) | uint32_t(blue(t) >> 6);
}

// Bits widened back to 8 by repeating them, so that full scale stays full.
int widen(int value, int bits) {
    int out = 0;
    for (int shift = 8 - bits; shift > -bits; shift -= bits)
        out |= shift >= 0 ? value << shift : value >> -shift;
    return out & 0xFF;
}

} // namespace

uint32_t quantizeTexel(int format, uint32_t t) {
    switch (format) {
    case TX_RGB_332: return rgb332(t);
    case TX_ALPHA_8: return uint32_t(alpha(t));
    case TX_INTENSITY_8: return uint32_t(intensity8(t));
    case TX_ALPHA_INTENSITY_44: return uint32_t((alpha(t) >> 4) << 4 | intensity8(t) / 16);
    case TX_ARGB_8332: return uint32_t(alpha(t)) << 8 | rgb332(t);
    case TX_RGB_565: return uint32_t((red(t) >> 3) << 11 | (green(t) >> 2) << 5 | blue(t) >> 3);
    case TX_ARGB_1555:
        return uint32_t((alpha(t) != 0) << 15 | (red(t) >> 3) << 10 | (green(t) >> 3) << 5 |
                        blue(t) >> 3);
    case TX_ARGB_4444:
        return uint32_t((alpha(t) >> 4) << 12 | (red(t) >> 4) << 8 | (green(t) >> 4) << 4 |
                        blue(t) >> 4);
    case TX_ALPHA_INTENSITY_88: return uint32_t(alpha(t)) << 8 | uint32_t(intensity8(t));
    default: return t; // argb8888
    }
}

uint32_t expandTexel(int format, uint32_t v, const void* table) {
    const auto* palette = static_cast<const uint32_t*>(table);
    const auto* ncc = static_cast<const TxNccTable*>(table);
    switch (format) {
    case TX_RGB_332:
        return argb(255, widen(int(v >> 5), 3), widen(int(v >> 2 & 7), 3), widen(int(v & 3), 2));
    case TX_YIQ_422: return nccColour(*ncc, uint8_t(v));
    case TX_ALPHA_8: return argb(int(v), 255, 255, 255);
    case TX_INTENSITY_8: return argb(255, int(v), int(v), int(v));
    case TX_ALPHA_INTENSITY_44: {
        const int i = widen(int(v & 15), 4);
        return argb(widen(int(v >> 4), 4), i, i, i);
    }
    case TX_P_8: return palette[v & 0xFF];
    case TX_ARGB_8332:
        return (expandTexel(TX_RGB_332, v & 0xFF, table) & 0xFFFFFF) | (v >> 8) << 24;
    case TX_AYIQ_8422: return (nccColour(*ncc, uint8_t(v)) & 0xFFFFFF) | (v >> 8) << 24;
    case TX_RGB_565:
        return argb(255, widen(int(v >> 11), 5), widen(int(v >> 5 & 63), 6), widen(int(v & 31), 5));
    case TX_ARGB_1555:
        return argb(v & 0x8000 ? 255 : 0, widen(int(v >> 10 & 31), 5), widen(int(v >> 5 & 31), 5),
                    widen(int(v & 31), 5));
    case TX_ARGB_4444:
        return argb(widen(int(v >> 12), 4), widen(int(v >> 8 & 15), 4), widen(int(v >> 4 & 15), 4),
                    widen(int(v & 15), 4));
    case TX_ALPHA_INTENSITY_88:
        return argb(int(v >> 8), int(v & 0xFF), int(v & 0xFF), int(v & 0xFF));
    case TX_AP_88: return (palette[v & 0xFF] & 0xFFFFFF) | (v >> 8) << 24;
    default: return v; // argb8888
    }
}

} // namespace texora

int txQuantize(TxMip* dest, const TxMip* source, uint32_t flags) {
    using namespace texora;
    const int format = dest ? dest->format : -1;
    if (format < 0 || format > TX_ARGB_8888 || format == TX_RSVD1 || format == TX_RSVD2 ||
        format == TX_RSVD4) {
        txError("Bad data format in Quantize\n");
        return 0;
    }
    // Dithered converters, palette targets and the heuristic NCC method are
    // never asked for by the texture manager; they fail rather than guess.
    if (format == TX_P_8 || format == TX_AP_88 || (flags & 0x0F) != 0 || (flags & 0xF0) != 0) {
        txError("Bad case in txQuantize()\n");
        return 0;
    }
    if (!source || source->format != TX_ARGB_8888) {
        txError("Bad image format in txMipResample.");
        return 0;
    }
    const bool yiq = format == TX_YIQ_422 || format == TX_AYIQ_8422;
    NccRanges ranges{};
    if (yiq) {
        ranges = nccRanges(*source);
        dest->ncc = nccTable(ranges);
    }
    const int bytes = txTexelBytes(format);
    int w = source->width, h = source->height;
    for (int level = 0; level < source->depth && level < dest->depth; ++level) {
        const auto* in = static_cast<const uint32_t*>(source->data[level]);
        auto* out = static_cast<uint8_t*>(dest->data[level]);
        for (size_t k = 0; k < size_t(w) * size_t(h); ++k) {
            uint32_t v = yiq ? nccIndex(ranges, in[k]) : quantizeTexel(format, in[k]);
            if (format == TX_AYIQ_8422) v |= uint32_t(alpha(in[k])) << 8;
            for (int b = 0; b < bytes; ++b)
                out[k * size_t(bytes) + size_t(b)] = uint8_t(v >> (8 * b));
        }
        w = w > 1 ? w / 2 : 1;
        h = h > 1 ? h / 2 : 1;
    }
    return 1;
}
