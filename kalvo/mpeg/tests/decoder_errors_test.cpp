// The error and information paths of the decoder on crafted frames.
#include "kalvo/mpeg/tests/crafted_streams.h"
#include "kalvo/mpeg/tests/test_support.h"

#include <gtest/gtest.h>

using namespace kalvo;
using namespace kalvo::test;

namespace {

std::vector<uint8_t> concat(const std::vector<CraftFrame>& frames) {
    std::vector<uint8_t> s;
    for (const CraftFrame& f : frames) {
        std::vector<uint8_t> b = writeFrame(f);
        s.insert(s.end(), b.begin(), b.end());
    }
    return s;
}

std::vector<CraftFrame> patternFrames(int n, bool crc = false) {
    std::vector<CraftFrame> v;
    for (int i = 0; i < n; ++i) {
        v.push_back(patternFrame(0, 0, 0, i));
        v.back().crc = crc;
    }
    return v;
}

// The PCM of frame k of a decode (all frames the same size).
std::vector<uint8_t> framePcm(const Decoded& d, int k) {
    size_t n = d.frameBytes.at(size_t(k));
    return std::vector<uint8_t>(d.pcm.begin() + ptrdiff_t(n * size_t(k)),
                                d.pcm.begin() + ptrdiff_t(n * size_t(k + 1)));
}

std::vector<Mp3Ssc> usable(const Decoded& d) {
    std::vector<Mp3Ssc> v;
    for (Mp3Ssc s : d.statuses)
        if (sscUsable(s)) v.push_back(s);
    return v;
}

} // namespace

TEST(DecoderErrors, CrcIsCheckedAndAStoredZeroIsAccepted) {
    std::vector<CraftFrame> frames = patternFrames(8, true);
    Decoded good = decodeAll(concat(frames));
    ASSERT_EQ(good.frames, 8);
    EXPECT_EQ(usable(good), std::vector<Mp3Ssc>(8, sscOk));
    Decoded plain = decodeAll(concat(patternFrames(8, false)));
    EXPECT_EQ(good.pcm, plain.pcm);

    // A stored word of 0 is taken as no check.
    frames[3].zeroCrc = true;
    frames[3].gr[0][0].globalGain += 1; // side information the word no longer covers
    frames[2].zeroCrc = true;
    Decoded zero = decodeAll(concat(frames));
    EXPECT_EQ(usable(zero), std::vector<Mp3Ssc>(8, sscOk));
    EXPECT_NE(framePcm(zero, 3), framePcm(good, 3));
}

// A frame whose side information does not match its CRC plays as silence
// (the overlap of the frame before still fades out), and the reservoir is
// emptied, so the next frame that needs earlier main data is silent too.
TEST(DecoderErrors, CrcMismatchSilencesTheFrameAndEmptiesTheReservoir) {
    std::vector<CraftFrame> frames = patternFrames(8, true);
    for (CraftFrame& f : frames) f.mainDataBegin = 4; // zero padding of the frame before
    frames[0].mainDataBegin = 0;
    std::vector<uint8_t> s = concat(frames);
    // Flip one side-information bit of frame 3 (in granule 0's big_values).
    size_t frameSize = s.size() / 8;
    std::vector<uint8_t> bad = s;
    bad[3 * frameSize + 6 + 4] ^= 0x01;
    Decoded d = decodeAll(bad);
    std::vector<Mp3Ssc> expected(8, sscOk);
    expected[3] = sscCrcError;
    expected[4] = sscMainDataMissing;
    EXPECT_EQ(usable(d), expected);

    // The same frames decoded with silence in place of frame 3's lines.
    std::vector<CraftFrame> quiet = frames;
    for (int gr = 0; gr < 2; ++gr)
        for (int ch = 0; ch < 2; ++ch) quiet[3].gr[gr][ch] = CraftGranule{};
    Decoded q = decodeAll(concat(quiet));
    EXPECT_EQ(framePcm(d, 3), framePcm(q, 3));
    // The corrupted frame reports its flag.
    std::vector<uint8_t> upTo3(bad.begin(), bad.begin() + ptrdiff_t(4 * frameSize));
    EXPECT_TRUE(decodeAll(upTo3).info.crcError);
}

TEST(DecoderErrors, MissingMainDataPlaysSilence) {
    std::vector<CraftFrame> frames = patternFrames(3);
    frames[0].mainDataBegin = 100;
    Decoded d = decodeAll(concat(frames));
    EXPECT_EQ(d.statuses.front(), sscMainDataMissing);
    std::vector<uint8_t> first = framePcm(d, 0);
    EXPECT_EQ(first, std::vector<uint8_t>(first.size(), 0));
    std::vector<uint8_t> s = concat(frames);
    std::unique_ptr<MpegDecoder> decoder;
    ASSERT_EQ(MpegDecoder::Create(0, false, false, &decoder), sscOk);
    MemoryInput input(s);
    decoder->Attach(&input);
    std::vector<uint8_t> buffer(MpegDecoder::maxFrameBytes);
    uint32_t n;
    EXPECT_EQ(decoder->DecodeFrame(buffer.data(), 4608, &n), sscMainDataMissing);
    EXPECT_EQ(n, 4608u);
    EXPECT_TRUE(decoder->StreamInfo().mainDataMissing);
    EXPECT_EQ(decoder->DecodeFrame(buffer.data(), 4608, &n), sscOk);
    EXPECT_FALSE(decoder->StreamInfo().mainDataMissing);
}

TEST(DecoderErrors, TooSmallABufferConsumesNothing) {
    std::vector<uint8_t> s = concat(patternFrames(4));
    Decoded reference = decodeAll(s);
    std::unique_ptr<MpegDecoder> d;
    ASSERT_EQ(MpegDecoder::Create(0, false, false, &d), sscOk);
    MemoryInput input(s);
    d->Attach(&input);
    std::vector<uint8_t> buffer(MpegDecoder::maxFrameBytes), pcm;
    uint32_t n = 77;
    EXPECT_EQ(d->DecodeFrame(buffer.data(), 4607, &n), sscBufferTooSmall);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(d->DecodeFrame(nullptr, 4608, &n), sscBufferTooSmall);
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(d->DecodeFrame(buffer.data(), 4608, &n), sscOk);
        pcm.insert(pcm.end(), buffer.begin(), buffer.begin() + n);
    }
    EXPECT_EQ(pcm, reference.pcm);
}

// big_values above 288: that granule is silent, and the granules after it
// are still read from the right place.
TEST(DecoderErrors, HugeBigValuesSilenceOnlyTheirGranule) {
    std::vector<CraftFrame> frames = patternFrames(4);
    std::vector<CraftFrame> expected = frames;
    frames[1].gr[0][0].bigValues = 400;
    // Silent the other way: a gain that scales the lines below one LSB.
    expected[1].gr[0][0].globalGain = 0;
    Decoded d = decodeAll(concat(frames));
    EXPECT_EQ(usable(d), std::vector<Mp3Ssc>(4, sscOk));
    EXPECT_EQ(d.pcm, decodeAll(concat(expected)).pcm);
}

// Region counts past the band table and the undefined table selects 4 and
// 14 neither crash nor read bits: those lines decode as zeros.
TEST(DecoderErrors, UndefinedTablesDecodeAsZeros) {
    for (uint32_t table : {4u, 14u}) {
        std::vector<CraftFrame> frames = patternFrames(3);
        CraftGranule& g = frames[1].gr[1][1];
        for (int i = 376; i < 576; ++i) g.lines[i] = 0;
        // The same bits read as count1 quadruples 200 lines further up.
        std::vector<CraftFrame> shifted = frames;
        CraftGranule& h = shifted[1].gr[1][1];
        for (int i = 575; i >= 0; --i) h.lines[i] = i >= 200 ? h.lines[i - 200] : 0;
        g.bigValues = 100;
        g.tableSelect[0] = g.tableSelect[1] = g.tableSelect[2] = table;
        g.region0 = 15;
        g.region1 = 7;
        Decoded d = decodeAll(concat(frames));
        EXPECT_EQ(usable(d), std::vector<Mp3Ssc>(3, sscOk));
        EXPECT_EQ(d.pcm, decodeAll(concat(shifted)).pcm) << table;
    }
}

// A count1 quadruple whose sign bits run past part2_3_length is dropped.
// (The frame's last granule, so that no later granule depends on its length.)
TEST(DecoderErrors, QuadrupleRunningPastTheGranuleIsDropped) {
    std::vector<CraftFrame> frames = patternFrames(3);
    CraftGranule& g = frames[1].gr[1][1];
    for (int i = 0; i < 576; ++i) g.lines[i] = 0;
    g.lines[0] = 1;
    g.lines[40] = -1;
    g.lines[41] = 1;
    // Quadruples 0 to 10: 11 codes of 4 bits and 3 sign bits, 47 bits; the
    // last quadruple's second sign bit lies outside 46.
    std::vector<CraftFrame> cut = frames, without = frames;
    cut[1].gr[1][1].part23Length = 46;
    without[1].gr[1][1].lines[40] = without[1].gr[1][1].lines[41] = 0;
    Decoded a = decodeAll(concat(cut)), b = decodeAll(concat(without));
    EXPECT_EQ(usable(a), std::vector<Mp3Ssc>(3, sscOk));
    EXPECT_EQ(a.pcm, b.pcm);
    // With the whole quadruple inside, the lines count.
    EXPECT_NE(decodeAll(concat(frames)).pcm, b.pcm);
}

// A part2_3_length beyond the main data the reservoir holds reads no
// further than that: the frame decodes and the stream goes on.
TEST(DecoderErrors, OverlongGranulesStayInsideTheReservoir) {
    std::vector<CraftFrame> frames = patternFrames(5);
    frames[2].gr[0][0].part23Length = 4095;
    frames[2].gr[1][1].part23Length = 4095;
    frames[3].gr[0][1].scalefacCompress = 15; // scale factors longer than the granule
    frames[3].gr[0][1].part23Length = 10;
    Decoded d = decodeAll(concat(frames));
    EXPECT_EQ(usable(d), std::vector<Mp3Ssc>(5, sscOk));
    Decoded clean = decodeAll(concat(patternFrames(5)));
    EXPECT_EQ(framePcm(d, 0), framePcm(clean, 0));
}
