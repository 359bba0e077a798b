// Layer III: side information, the main-data reservoir, scale factors,
// Huffman decoding, requantisation, stereo processing, the equaliser, the
// hybrid filter bank and the polyphase synthesis into PCM.
#pragma once

#include "kalvo/mpeg/bit_reader.h"
#include "kalvo/mpeg/equalizer.h"
#include "kalvo/mpeg/frame_header.h"
#include "kalvo/mpeg/layer3_tables.h"
#include "kalvo/mpeg/mp3_ssc.h"
#include "kalvo/mpeg/synthesis.h"

#include <cstdint>

namespace kalvo {

// Side information of one granule and channel, as the standard names it.
struct GranuleChannel {
    uint32_t part2_3_length;
    uint32_t big_values;
    uint32_t global_gain;
    uint32_t scalefac_compress;
    uint32_t window_switching_flag;
    uint32_t block_type;
    uint32_t mixed_block_flag;
    uint32_t table_select[3];
    uint32_t subblock_gain[3];
    uint32_t region0_count;
    uint32_t region1_count;
    uint32_t preflag;
    uint32_t scalefac_scale;
    uint32_t count1table_select;
    bool empty; // big_values above 288: the bits are skipped, the lines are silent
};

struct SideInfo {
    uint32_t main_data_begin;
    uint32_t private_bits;
    uint32_t scfsi[2];
    GranuleChannel gr[2][2];
};

// Scale factors of one channel: long bands, short bands by window.
struct ScaleFactors {
    uint8_t l[22];
    uint8_t s[13][3];
    uint32_t intensityScale; // MPEG-2 intensity stereo right channel
};

class Layer3Decoder {
public:
    static constexpr uint32_t reservoirBytes = 2048;

    bool init(int downsample, bool eightBit, bool downmix);
    // full: also the IMDCT overlap, the synthesis history and the working
    // arrays (creation, seek); otherwise the reservoir only (lost sync).
    void reset(bool full);
    void setEqualizer(const EqualizerSettings* eq) { eq_ = eq; }

    // Decodes the frame whose header h stands at the front end's reader
    // position, moves the reader to the frame's end and writes the PCM.
    Mp3Ssc decodeFrame(BitReader& front, const FrameHeader& h, uint8_t* buffer, uint32_t room,
                       uint32_t* bytesOut);

    // Output bytes of a frame with this header under the decoder's options.
    uint32_t outputBytes(const FrameHeader& h) const;
    int outputChannels(const FrameHeader& h) const { return downmix_ ? 1 : h.channels; }

    const SideInfo& sideInfo() const { return side_; }

private:
    void readSideInfo(BitReader& r);
    void readScaleFactorsMpeg1(BitCursor& c, int gr, int ch);
    void readScaleFactorsMpeg2(BitCursor& c, int ch);
    void decodeChannel(int gr, int ch);
    // The requantisation gain of each of the granule channel's lines.
    void lineGains(int ch, const GranuleChannel& g, float gains[576]) const;
    void stereo(int gr);
    void intensityStereo(int gr, bool midSide);
    void intensityBand(uint32_t begin, uint32_t end, uint32_t pos);
    bool illegalPosition(uint32_t pos) const;
    uint32_t switchLine() const;
    void outputGranule(int gr, uint8_t* out);

    int downsample_ = 0;
    bool eightBit_ = false;
    bool downmix_ = false;
    const EqualizerSettings* eq_ = nullptr;

    // Frame context.
    int channels_ = 1;
    uint32_t mode_ = 0, modeExtension_ = 0;
    bool mpeg1_ = true;
    int versionIndex_ = 0;
    uint32_t samplingIndex_ = 0, samplingRate_ = 0;
    const ScaleFactorBands* bands_ = nullptr;

    SideInfo side_ = {};
    BitReader reservoir_;
    ScaleFactors scale_[2] = {};
    uint32_t limit_[2] = {}; // lines up to the last non-zero one

    // Working arrays: spectral lines, subband samples.
    float lines_[2][576];
    float subbands_[2][32][20]; // per subband 18 time slots, padded for vectors
    float overlap_[2][32][20];
    Synthesis synthesis_[2];
};

} // namespace kalvo
