// The mipmap chain: each level from the one above by averaging 2 x 2 texels
// per channel with rounding; once one side is 1, pairs along the other.
#include "umbrek/texora/texora.h"

namespace {

uint32_t average(const uint32_t* texels[], int count) {
    uint32_t out = 0;
    for (int c = 0; c < 4; ++c) {
        uint32_t sum = uint32_t(count / 2); // rounding: + 2 of 4, + 1 of 2
        for (int k = 0; k < count; ++k) sum += (*texels[k] >> (8 * c)) & 0xFF;
        out |= (sum / uint32_t(count)) << (8 * c);
    }
    return out;
}

} // namespace

void txMipMipmap(TxMip* mip) {
    int w = mip->width, h = mip->height;
    for (int level = 1; level < mip->depth; ++level) {
        const auto* in = static_cast<const uint32_t*>(mip->data[level - 1]);
        auto* out = static_cast<uint32_t*>(mip->data[level]);
        const int nw = w > 1 ? w / 2 : 1, nh = h > 1 ? h / 2 : 1;
        for (int y = 0; y < nh; ++y) {
            for (int x = 0; x < nw; ++x) {
                const int x0 = w > 1 ? 2 * x : x, y0 = h > 1 ? 2 * y : y;
                const uint32_t* texels[4] = {&in[y0 * w + x0]};
                int count = 1;
                if (w > 1) texels[count++] = &in[y0 * w + x0 + 1];
                if (h > 1) texels[count++] = &in[(y0 + 1) * w + x0];
                if (w > 1 && h > 1) texels[count++] = &in[(y0 + 1) * w + x0 + 1];
                out[y * nw + x] = average(texels, count);
            }
        }
        w = nw;
        h = nh;
    }
}
