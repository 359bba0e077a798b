// Scale factors: MPEG-1 with the reuse of granule 0's factors (scfsi),
// MPEG-2 and 2.5 with scalefac_compress split into partitions.
#include "kalvo/mpeg/layer3_decoder.h"

namespace kalvo {

void Layer3Decoder::readScaleFactorsMpeg1(BitCursor& c, int gr, int ch) {
    const GranuleChannel& g = side_.gr[gr][ch];
    ScaleFactors& sf = scale_[ch];
    int slen1 = slen1Table[g.scalefac_compress & 15];
    int slen2 = slen2Table[g.scalefac_compress & 15];
    if (g.window_switching_flag && g.block_type == 2) {
        int firstShort = 0;
        if (g.mixed_block_flag) {
            for (int sfb = 0; sfb < 8; ++sfb) sf.l[sfb] = uint8_t(c.read(slen1));
            firstShort = 3;
        }
        for (int sfb = firstShort; sfb < 12; ++sfb)
            for (int w = 0; w < 3; ++w) sf.s[sfb][w] = uint8_t(c.read(sfb < 6 ? slen1 : slen2));
        for (int w = 0; w < 3; ++w) sf.s[12][w] = 0;
    } else {
        static const int groupStart[5] = {0, 6, 11, 16, 21};
        for (int group = 0; group < 4; ++group) {
            if (gr == 1 && ((side_.scfsi[ch] >> (3 - group)) & 1)) continue;
            for (int sfb = groupStart[group]; sfb < groupStart[group + 1]; ++sfb)
                sf.l[sfb] = uint8_t(c.read(group < 2 ? slen1 : slen2));
        }
        sf.l[21] = 0;
    }
    sf.intensityScale = 0;
}

void Layer3Decoder::readScaleFactorsMpeg2(BitCursor& c, int ch) {
    GranuleChannel& g = side_.gr[0][ch];
    ScaleFactors& sf = scale_[ch];
    uint32_t sfc = g.scalefac_compress;
    uint32_t slen[4] = {};
    int row;
    g.preflag = 0;
    if (mode_ == 1 && (modeExtension_ & 1) && ch == 1) {
        uint32_t isc = sfc >> 1;
        sf.intensityScale = sfc & 1;
        if (isc < 180) {
            slen[0] = isc / 36;
            slen[1] = (isc % 36) / 6;
            slen[2] = isc % 36 % 6;
            row = 3;
        } else if (isc < 244) {
            uint32_t s = isc - 180;
            slen[0] = (s & 63) >> 4;
            slen[1] = (s & 15) >> 2;
            slen[2] = s & 3;
            row = 4;
        } else {
            uint32_t s = isc - 244;
            slen[0] = s / 3;
            slen[1] = s % 3;
            row = 5;
        }
    } else {
        sf.intensityScale = 0;
        if (sfc < 400) {
            slen[0] = (sfc >> 4) / 5;
            slen[1] = (sfc >> 4) % 5;
            slen[2] = (sfc & 15) >> 2;
            slen[3] = sfc & 3;
            row = 0;
        } else if (sfc < 500) {
            uint32_t s = sfc - 400;
            slen[0] = (s >> 2) / 5;
            slen[1] = (s >> 2) % 5;
            slen[2] = s & 3;
            row = 1;
        } else {
            uint32_t s = sfc - 500;
            slen[0] = s / 3;
            slen[1] = s % 3;
            row = 2;
            g.preflag = 1;
        }
    }

    bool shortBlocks = g.window_switching_flag && g.block_type == 2;
    int kind = shortBlocks ? (g.mixed_block_flag ? 2 : 1) : 0;
    uint8_t values[40] = {};
    int n = 0;
    for (int part = 0; part < 4; ++part)
        for (int k = 0; k < mpeg2PartitionSizes[row][kind][part]; ++k)
            values[n++] = uint8_t(c.read(int(slen[part])));

    int i = 0;
    int firstShort = 0;
    if (kind != 1) {
        int longBands = kind == 0 ? 21 : 6;
        for (int sfb = 0; sfb < longBands; ++sfb) sf.l[sfb] = values[i++];
        for (int sfb = longBands; sfb < 22; ++sfb) sf.l[sfb] = 0;
        firstShort = 3;
    }
    if (kind != 0) {
        for (int sfb = firstShort; sfb < 12; ++sfb)
            for (int w = 0; w < 3; ++w) sf.s[sfb][w] = values[i++];
        for (int w = 0; w < 3; ++w) sf.s[12][w] = 0;
    }
}

} // namespace kalvo
