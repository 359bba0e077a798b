#include "kalvo/mpeg/layer3_decoder.h"

#include "kalvo/mpeg/huffman.h"
#include "kalvo/mpeg/hybrid.h"

#include <algorithm>
#include <cstring>

namespace kalvo {

namespace {

uint32_t sideInfoBytes(bool mpeg1, int channels) {
    return mpeg1 ? (channels == 1 ? 17 : 32) : (channels == 1 ? 9 : 17);
}

} // namespace

bool Layer3Decoder::init(int downsample, bool eightBit, bool downmix) {
    downsample_ = downsample;
    eightBit_ = eightBit;
    downmix_ = downmix;
    if (!reservoir_.init(reservoirBytes)) return false;
    reset(true);
    return true;
}

void Layer3Decoder::reset(bool full) {
    reservoir_.clear();
    if (!full) return;
    std::memset(overlap_, 0, sizeof overlap_);
    std::memset(lines_, 0, sizeof lines_);
    std::memset(subbands_, 0, sizeof subbands_);
    for (Synthesis& s : synthesis_) s.reset();
}

uint32_t Layer3Decoder::outputBytes(const FrameHeader& h) const {
    uint32_t samples = h.versionIndex == 0 ? 1152 : 576;
    return (samples * uint32_t(outputChannels(h)) * (eightBit_ ? 1 : 2)) >> downsample_;
}

uint32_t Layer3Decoder::switchLine() const {
    return bands_->longBorders[mpeg1_ ? 8 : 6];
}

void Layer3Decoder::readSideInfo(BitReader& r) {
    SideInfo& si = side_;
    si.main_data_begin = r.read(mpeg1_ ? 9 : 8);
    si.private_bits = r.read(mpeg1_ ? (channels_ == 1 ? 5 : 3) : (channels_ == 1 ? 1 : 2));
    for (int ch = 0; ch < channels_; ++ch) si.scfsi[ch] = mpeg1_ ? r.read(4) : 0;
    for (int gr = 0; gr < (mpeg1_ ? 2 : 1); ++gr)
        for (int ch = 0; ch < channels_; ++ch) {
            GranuleChannel& g = si.gr[gr][ch];
            g.part2_3_length = r.read(12);
            g.big_values = r.read(9);
            g.global_gain = r.read(8);
            g.scalefac_compress = r.read(mpeg1_ ? 4 : 9);
            g.window_switching_flag = r.read(1);
            if (g.window_switching_flag) {
                g.block_type = r.read(2);
                g.mixed_block_flag = r.read(1);
                for (int i = 0; i < 2; ++i) g.table_select[i] = r.read(5);
                g.table_select[2] = 0;
                for (int i = 0; i < 3; ++i) g.subblock_gain[i] = r.read(3);
                g.region0_count = g.block_type == 2 && !g.mixed_block_flag ? 8 : 7;
                g.region1_count = 36;
            } else {
                g.block_type = 0;
                g.mixed_block_flag = 0;
                for (int i = 0; i < 3; ++i) g.table_select[i] = r.read(5);
                for (int i = 0; i < 3; ++i) g.subblock_gain[i] = 0;
                g.region0_count = r.read(4);
                g.region1_count = r.read(3);
            }
            g.preflag = mpeg1_ ? r.read(1) : 0;
            g.scalefac_scale = r.read(1);
            g.count1table_select = r.read(1);
            // More pairs than a granule has lines: skip the granule's bits
            // and leave it silent, so that the next granules stay in place.
            g.empty = g.big_values > 288;
        }
}

void Layer3Decoder::decodeChannel(int gr, int ch) {
    const GranuleChannel& g = side_.gr[gr][ch];
    // Never read past what the reservoir holds.
    uint32_t bits = std::min(g.part2_3_length, reservoir_.bitsHeld());
    limit_[ch] = 0;
    if (!g.empty) {
        BitCursor c = reservoir_.cursor();
        uint32_t start = c.pos;
        if (mpeg1_)
            readScaleFactorsMpeg1(c, gr, ch);
        else
            readScaleFactorsMpeg2(c, ch);
        if (c.pos - start <= bits) {
            HuffmanRegions regions;
            regions.bigValues = g.big_values;
            for (int i = 0; i < 3; ++i) regions.tableSelect[i] = g.table_select[i];
            if (g.window_switching_flag) {
                // Short blocks: the first three short bands of all windows.
                regions.region1Start =
                    g.block_type == 2 ? bands_->shortBorders[3] * 3u : bands_->longBorders[8];
                regions.region2Start = 576;
            } else {
                regions.region1Start = bands_->longBorders[std::min(g.region0_count + 1, 22u)];
                regions.region2Start =
                    bands_->longBorders[std::min(g.region0_count + g.region1_count + 2, 22u)];
            }
            regions.count1Table = g.count1table_select;
            float gains[576];
            lineGains(ch, g, gains);
            limit_[ch] = decodeHuffman(c, start + bits, regions, gains, lines_[ch]);
        }
    }
    if (limit_[ch] == 0) std::memset(lines_[ch], 0, sizeof lines_[ch]);
    reservoir_.skip(int32_t(bits));
}

Mp3Ssc Layer3Decoder::decodeFrame(BitReader& front, const FrameHeader& h, uint8_t* buffer,
                                  uint32_t room, uint32_t* bytesOut) {
    if (h.layer != 3) return sscWrongLayer;
    uint32_t outBytes = outputBytes(h);
    if (room < outBytes || !buffer) return sscBufferTooSmall;

    channels_ = h.channels;
    mode_ = h.mode;
    modeExtension_ = h.modeExtension;
    mpeg1_ = h.versionIndex == 0;
    versionIndex_ = h.versionIndex;
    samplingIndex_ = h.samplingIndex;
    samplingRate_ = h.samplingRate;
    bands_ = &scaleFactorBands(versionIndex_, samplingIndex_);

    front.clearCounter();
    uint32_t sideBits = sideInfoBytes(mpeg1_, channels_) * 8;
    bool bad = false;
    if (h.protection) {
        front.skip(16);
        uint16_t crc = front.crc16(16, 0xFFFF);
        uint32_t stored = front.read(16);
        crc = front.crc16(sideBits, crc);
        front.skip(-int32_t(sideBits));
        bad = stored != 0 && crc != stored;
    } else {
        front.skip(32);
    }
    readSideInfo(front);
    if (bad) side_ = SideInfo{};

    uint32_t headerBits = h.protection ? 48 : 32;
    int32_t mainBytes = int32_t((h.frameLengthBits - headerBits) / 8) - int32_t(sideBits / 8);
    mainBytes = std::max(mainBytes, 0);
    reservoir_.makeRoom(uint32_t(mainBytes));
    uint32_t heldBefore = reservoir_.bitsHeld();
    reservoir_.copyBytes(front, uint32_t(mainBytes));
    bool missing = heldBefore < side_.main_data_begin * 8;
    if (!missing) reservoir_.skip(int32_t(heldBefore - side_.main_data_begin * 8));

    int granuleBytes = int(outBytes) / (mpeg1_ ? 2 : 1);
    for (int gr = 0; gr < (mpeg1_ ? 2 : 1); ++gr) {
        for (int ch = 0; ch < channels_; ++ch) {
            if (missing) {
                limit_[ch] = 0;
                std::memset(lines_[ch], 0, sizeof lines_[ch]);
            } else {
                decodeChannel(gr, ch);
            }
        }
        stereo(gr);
        int outChannels = outputChannels(h);
        if (eq_ && eq_->on.load(std::memory_order_relaxed)) {
            float* const lines[2] = {lines_[0], lines_[1]};
            uint32_t limit = limit_[0];
            if (outChannels == 2) limit = std::max(limit, limit_[1]);
            applyEqualizer(*eq_, samplingRate_, lines, outChannels, limit);
        }
        outputGranule(gr, buffer + gr * granuleBytes);
    }

    int32_t rest = int32_t(h.frameLengthBits) - front.counter();
    if (rest > 0) front.skip(rest);
    *bytesOut = outBytes;
    if (bad) {
        reservoir_.clear();
        return sscCrcError;
    }
    return missing ? sscMainDataMissing : sscOk;
}

void Layer3Decoder::outputGranule(int gr, uint8_t* out) {
    int outChannels = downmix_ ? 1 : channels_;
    int n = 32 >> downsample_;
    for (int ch = 0; ch < outChannels; ++ch) {
        const GranuleChannel& g = side_.gr[gr][ch];
        BlockShape shape;
        shape.blockType = g.window_switching_flag ? g.block_type : 0;
        shape.mixed = g.window_switching_flag && g.mixed_block_flag;
        shape.switchLine = switchLine();
        shape.shortBorders = bands_->shortBorders;
        hybridSynthesis(lines_[ch], limit_[ch], shape, n, overlap_[ch], subbands_[ch]);
    }
    bool shortened = downmix_ && channels_ == 2;
    float pcm[2][18][32];
    for (int ch = 0; ch < outChannels; ++ch)
        synthesis_[ch].granule(subbands_[ch], downsample_, shortened, pcm[ch]);
    const int slotBytes = n * outChannels * (eightBit_ ? 1 : 2);
    for (int slot = 0; slot < 18; ++slot) {
        const float* right = outChannels == 2 ? pcm[1][slot] : nullptr;
        if (eightBit_)
            toPcm8(pcm[0][slot], right, n, out + slot * slotBytes);
        else
            toPcm16(pcm[0][slot], right, n, out + slot * slotBytes);
    }
}

} // namespace kalvo
