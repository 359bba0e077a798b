// Output options on crafted streams: sizes, 8-bit, clipping, equaliser.
#include "kalvo/mpeg/equalizer.h"
#include "kalvo/mpeg/huffman.h"
#include "kalvo/mpeg/tests/crafted_streams.h"
#include "kalvo/mpeg/tests/test_support.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace kalvo;
using namespace kalvo::test;

TEST(OutputOptions, BytesPerFrame) {
    struct Case {
        int version;
        uint32_t mode;
        int downsample;
        bool eightBit, downmix;
        uint32_t bytes, rate;
        int channels;
    } cases[] = {
        {0, 0, 0, false, false, 4608, 44100, 2}, {0, 0, 1, false, false, 2304, 22050, 2},
        {0, 0, 2, false, false, 1152, 11025, 2}, {0, 0, 0, true, false, 2304, 44100, 2},
        {0, 0, 0, false, true, 2304, 44100, 1},  {0, 3, 2, true, false, 288, 11025, 1},
        {1, 0, 0, false, false, 2304, 22050, 2}, {2, 3, 1, true, true, 288, 5512, 1},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> s;
        for (int i = 0; i < 3; ++i) {
            CraftFrame f = patternFrame(c.version, 0, c.mode, i, 200);
            if (c.version) f.bitRateIndex = 9;
            std::vector<uint8_t> b = writeFrame(f);
            s.insert(s.end(), b.begin(), b.end());
        }
        Decoded d = decodeAll(s, {c.downsample, c.eightBit, c.downmix});
        SCOPED_TRACE(testing::Message()
                     << c.version << c.mode << c.downsample << c.eightBit << c.downmix);
        ASSERT_EQ(d.frames, 3);
        EXPECT_EQ(d.frameBytes[0], c.bytes);
        EXPECT_EQ(d.info.outputRate, c.rate);
        EXPECT_EQ(d.info.outputChannels, c.channels);
        EXPECT_EQ(d.info.outputBits, c.eightBit ? 8 : 16);
    }
}

// 8-bit output is the 16-bit output plus 32,768, shifted right by 8; a
// frame far above full scale clips at both ends.
TEST(OutputOptions, EightBitIsSixteenBitShiftedAndBothClip) {
    std::vector<uint8_t> s;
    for (int i = 0; i < 4; ++i) {
        CraftFrame f = patternFrame(0, 0, 0, i);
        if (i == 2)
            for (int gr = 0; gr < 2; ++gr)
                for (int ch = 0; ch < 2; ++ch) f.gr[gr][ch].globalGain = 255;
        std::vector<uint8_t> b = writeFrame(f);
        s.insert(s.end(), b.begin(), b.end());
    }
    for (int ds = 0; ds < 3; ++ds) {
        for (bool downmix : {false, true}) {
            std::vector<int16_t> wide = asSamples(decodeAll(s, {ds, false, downmix}).pcm);
            std::vector<uint8_t> narrow = decodeAll(s, {ds, true, downmix}).pcm;
            ASSERT_EQ(wide.size(), narrow.size());
            for (size_t i = 0; i < wide.size(); ++i)
                ASSERT_EQ(narrow[i], (wide[i] + 32768) >> 8) << i;
            std::set<int> values(wide.begin(), wide.end());
            EXPECT_TRUE(values.count(32767) && values.count(-32768));
            std::set<int> bytes(narrow.begin(), narrow.end());
            EXPECT_TRUE(bytes.count(255) && bytes.count(0));
        }
    }
}

TEST(Equalizer, BordersAndGains) {
    uint16_t b[11];
    equalizerBorders(44100, b);
    EXPECT_EQ(std::vector<uint16_t>(b, b + 11),
              (std::vector<uint16_t>{0, 3, 9, 18, 38, 77, 153, 408, 576, 0, 0}));
    equalizerBorders(22050, b);
    EXPECT_EQ(std::vector<uint16_t>(b, b + 11),
              (std::vector<uint16_t>{0, 6, 18, 36, 76, 154, 306, 576, 576, 0, 0}));
    equalizerBorders(0, b);
    EXPECT_EQ(b[8], 0);
    EXPECT_EQ(equalizerGain(0), 4.0f);
    EXPECT_EQ(equalizerGain(31), 1.0f);
    EXPECT_EQ(equalizerGain(63), 0.25f);
    EXPECT_EQ(equalizerGain(-5), 4.0f); // out-of-range values take the nearest end
    EXPECT_EQ(equalizerGain(1000), 0.25f);
}

// A flat setting leaves the output bit-identical to the equaliser off; the
// two top sliders never change anything.
TEST(Equalizer, FlatAndTopBandsChangeNothing) {
    std::vector<uint8_t> s = patternStream(4);
    std::vector<uint8_t> off = decodeAll(s).pcm;
    EqualizerSettings eq;
    eq.on = true;
    for (auto& b : eq.bands) b = 31;
    EXPECT_EQ(decodeAll(s, {0, false, false, &eq}).pcm, off);
    eq.bands[8] = 0;
    eq.bands[9] = 63;
    EXPECT_EQ(decodeAll(s, {0, false, false, &eq}).pcm, off);
    eq.bands[3] = 10;
    EXPECT_NE(decodeAll(s, {0, false, false, &eq}).pcm, off);
    eq.on = false;
    EXPECT_EQ(decodeAll(s, {0, false, false, &eq}).pcm, off);
}

// Every code table of the standard is a complete prefix code: a wrong entry
// in the table data breaks one of the two.
TEST(Huffman, CodeTablesAreCompletePrefixCodes) {
    for (int t : {1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 16, 24, 32}) {
        HuffmanCodeTable ct = huffmanCodeTable(t);
        ASSERT_NE(ct.codes, nullptr) << t;
        double kraft = 0;
        std::set<std::string> codes;
        for (int i = 0; i < ct.entries; ++i) {
            int len = ct.lengths[i];
            ASSERT_LT(ct.codes[i], 1u << len) << t << " " << i;
            kraft += 1.0 / double(1u << len);
            std::string bits;
            for (int k = len - 1; k >= 0; --k) bits += char('0' + ((ct.codes[i] >> k) & 1));
            codes.insert(bits);
        }
        EXPECT_EQ(kraft, 1.0) << t;
        EXPECT_EQ(codes.size(), size_t(ct.entries)) << t;
        for (auto it = codes.begin(); std::next(it) != codes.end(); ++it)
            EXPECT_NE(std::next(it)->rfind(*it, 0), 0u) << t << ": " << *it << " prefixes another";
    }
    EXPECT_EQ(huffmanCodeTable(4).codes, nullptr);
    EXPECT_EQ(huffmanCodeTable(14).codes, nullptr);
}
