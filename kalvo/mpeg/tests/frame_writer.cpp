#include "kalvo/mpeg/tests/frame_writer.h"

#include <stdexcept>

namespace kalvo::test {

void BitWriter::put(uint32_t value, int bits) {
    for (int i = bits - 1; i >= 0; --i) {
        if (bits_ % 8 == 0) bytes_.push_back(0);
        if ((value >> i) & 1) bytes_.back() |= uint8_t(0x80 >> (bits_ % 8));
        ++bits_;
    }
}

uint32_t headerWord(const CraftFrame& f, bool padding) {
    uint32_t versionBits = f.version == 0 ? 3 : f.version == 1 ? 2 : 0;
    return 0xFFE00000u | versionBits << 19 | f.layerBits << 17 | uint32_t(f.crc ? 0 : 1) << 16 |
           f.bitRateIndex << 12 | f.samplingIndex << 10 | uint32_t(padding) << 9 | f.mode << 6 |
           f.modeExtension << 4;
}

uint32_t frameBytes(const CraftFrame& f) {
    static const uint16_t mpeg1[15] = {0,   32,  40,  48,  56,  64,  80, 96,
                                       112, 128, 160, 192, 224, 256, 320};
    static const uint16_t mpeg2[15] = {0,  8,  16, 24,  32,  40,  48, 56,
                                       64, 80, 96, 112, 128, 144, 160};
    static const uint32_t rates[3] = {44100, 48000, 32000};
    uint32_t rate = rates[f.samplingIndex] >> f.version;
    uint32_t br = (f.version == 0 ? mpeg1 : mpeg2)[f.bitRateIndex] * 1000u;
    uint32_t spf = f.version == 0 ? 1152 : 576;
    return br / 8 * spf / rate;
}

uint16_t referenceCrc(const uint8_t* data, size_t firstBit, size_t bits, uint16_t crc) {
    for (size_t i = firstBit; i < firstBit + bits; ++i) {
        int bit = (data[i / 8] >> (7 - i % 8)) & 1;
        bool top = ((crc >> 15) & 1) ^ bit;
        crc = uint16_t(crc << 1);
        if (top) crc ^= 0x8005;
    }
    return crc;
}

namespace {

// Scale factors, then the lines as table-B quadruples up to the last
// non-zero one, then any extra bits.
BitWriter granuleBits(const CraftGranule& g) {
    BitWriter w;
    for (auto [v, b] : g.scaleFactors) w.put(v, b);
    int last = 0;
    for (int i = 0; i < 576; ++i)
        if (g.lines[i]) last = i + 1;
    int quads = (last + 3) / 4;
    for (int q = 0; q < quads && q * 4 <= 572; ++q) {
        uint32_t vwxy = 0;
        for (int k = 0; k < 4; ++k) vwxy = vwxy << 1 | uint32_t(g.lines[q * 4 + k] != 0);
        w.put(15 - vwxy, 4);
        for (int k = 0; k < 4; ++k)
            if (g.lines[q * 4 + k]) w.put(g.lines[q * 4 + k] < 0, 1);
    }
    for (auto [v, b] : g.extraBits) w.put(v, b);
    return w;
}

} // namespace

std::vector<uint8_t> writeFrame(const CraftFrame& f) {
    bool mpeg1 = f.version == 0;
    int channels = f.mode == 3 ? 1 : 2;
    int granules = mpeg1 ? 2 : 1;
    BitWriter main;
    uint32_t p23[2][2] = {};
    for (int gr = 0; gr < granules; ++gr)
        for (int ch = 0; ch < channels; ++ch) {
            BitWriter g = granuleBits(f.gr[gr][ch]);
            p23[gr][ch] = f.gr[gr][ch].part23Length >= 0 ? uint32_t(f.gr[gr][ch].part23Length)
                                                         : uint32_t(g.bits());
            for (size_t i = 0; i < g.bits(); ++i)
                main.put((g.bytes()[i / 8] >> (7 - i % 8)) & 1, 1);
        }

    BitWriter side;
    side.put(f.mainDataBegin, mpeg1 ? 9 : 8);
    side.put(0, mpeg1 ? (channels == 1 ? 5 : 3) : (channels == 1 ? 1 : 2));
    if (mpeg1)
        for (int ch = 0; ch < channels; ++ch) side.put(f.scfsi[ch], 4);
    for (int gr = 0; gr < granules; ++gr)
        for (int ch = 0; ch < channels; ++ch) {
            const CraftGranule& g = f.gr[gr][ch];
            side.put(p23[gr][ch], 12);
            side.put(g.bigValues >= 0 ? uint32_t(g.bigValues) : 0, 9);
            side.put(g.globalGain, 8);
            side.put(g.scalefacCompress, mpeg1 ? 4 : 9);
            side.put(g.windowSwitching, 1);
            if (g.windowSwitching) {
                side.put(g.blockType, 2);
                side.put(g.mixed, 1);
                for (int i = 0; i < 2; ++i) side.put(g.tableSelect[i], 5);
                for (int i = 0; i < 3; ++i) side.put(g.subblockGain[i], 3);
            } else {
                for (int i = 0; i < 3; ++i) side.put(g.tableSelect[i], 5);
                side.put(g.region0, 4);
                side.put(g.region1, 3);
            }
            if (mpeg1) side.put(g.preflag, 1);
            side.put(g.scalefacScale, 1);
            side.put(1, 1); // count1 table B
        }

    uint32_t size = frameBytes(f);
    BitWriter out;
    uint32_t header = headerWord(f);
    out.put(header, 32);
    if (f.crc) {
        std::vector<uint8_t> h = {uint8_t(header >> 8), uint8_t(header)};
        uint16_t crc = referenceCrc(h.data(), 0, 16, 0xFFFF);
        crc = referenceCrc(side.bytes().data(), 0, side.bits(), crc);
        if (f.corruptCrc) crc = uint16_t(crc ^ 0x0101);
        if (f.zeroCrc) crc = 0;
        out.put(crc, 16);
    }
    out.putBytes(side.bytes());
    if (out.bits() / 8 + main.bytes().size() > size) throw std::length_error("frame too small");
    out.putBytes(main.bytes());
    std::vector<uint8_t> bytes = out.bytes();
    bytes.resize(size, 0);
    return bytes;
}

} // namespace kalvo::test
