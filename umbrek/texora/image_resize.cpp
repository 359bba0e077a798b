// Area-weighted resampling, exact in integers: to put n source texels onto m
// destination texels, each source texel spans m units and each destination
// texel n; a destination channel is the sum of source channel x overlap,
// divided by n. Rows first (width), then columns (height).
#include "umbrek/texora/texora.h"

#include <vector>

namespace {

// Resamples COUNT lines of N texels (STRIDE apart within a line, LINE_STRIDE
// between lines) into lines of M texels laid out the same way in OUT.
void resampleLines(const uint32_t* in, uint32_t* out, int n, int m, int count, int stride,
                   int inLineStride, int outLineStride) {
    for (int line = 0; line < count; ++line) {
        const uint32_t* src = in + size_t(line) * size_t(inLineStride);
        uint32_t* dst = out + size_t(line) * size_t(outLineStride);
        for (int j = 0; j < m; ++j) {
            // Destination texel j covers units [j n, (j + 1) n).
            const int64_t from = int64_t(j) * n, to = from + n;
            uint64_t sum[4] = {0, 0, 0, 0};
            for (int64_t i = from / m; i < n && i * m < to; ++i) {
                const int64_t start = i * m > from ? i * m : from;
                const int64_t end = (i + 1) * m < to ? (i + 1) * m : to;
                const uint32_t texel = src[size_t(i) * size_t(stride)];
                for (int c = 0; c < 4; ++c)
                    sum[c] += uint64_t((texel >> (8 * c)) & 0xFF) * uint64_t(end - start);
            }
            uint32_t texel = 0;
            for (int c = 0; c < 4; ++c) texel |= uint32_t(sum[c] / uint64_t(n)) << (8 * c);
            dst[size_t(j) * size_t(stride)] = texel;
        }
    }
}

} // namespace

int txImageResize(TxMip* dest, const TxMip* source) {
    if (!dest || !source || !dest->data[0] || !source->data[0]) {
        txError("txImageResize: Null buffer\n");
        return 0;
    }
    if (source->format != TX_ARGB_8888 || dest->format != TX_ARGB_8888) {
        txError("Bad image format in txMipResample.");
        return 0;
    }
    const int sw = source->width, sh = source->height, dw = dest->width, dh = dest->height;
    if (sw < 1 || sh < 1 || dw < 1 || dh < 1 || sw > TX_MAX_SIDE || sh > TX_MAX_SIDE ||
        dw > TX_MAX_SIDE || dh > TX_MAX_SIDE) {
        txError("Bad width/height in txImageResize()\n");
        return 0;
    }
    const auto* in = static_cast<const uint32_t*>(source->data[0]);
    auto* out = static_cast<uint32_t*>(dest->data[0]);
    if (sw == dw && sh == dh) {
        if (in != out)
            for (size_t i = 0; i < size_t(sw) * size_t(sh); ++i) out[i] = in[i];
        return 1;
    }
    std::vector<uint32_t> rows(size_t(dw) * size_t(sh));
    resampleLines(in, rows.data(), sw, dw, sh, 1, sw, dw);
    resampleLines(rows.data(), out, sh, dh, dw, dw, 1, 1);
    return 1;
}
