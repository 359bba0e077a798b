#include "kalvo/mpeg/tests/crafted_streams.h"
#include "kalvo/mpeg/tests/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace kalvo;
using namespace kalvo::test;

namespace {

size_t countStatus(const Decoded& d, Mp3Ssc s) {
    return size_t(std::count(d.statuses.begin(), d.statuses.end(), s));
}

} // namespace

// A stream found behind garbage of any bit length plays exactly as the
// stream on its own; a lone valid header in the garbage is not enough.
TEST(Sync, FindsTheStreamAtAnyBitOffset) {
    std::vector<uint8_t> clean = patternStream(8);
    Decoded reference = decodeAll(clean);
    ASSERT_EQ(reference.frames, 8);
    std::vector<uint8_t> loneHeader = {0xFF, 0xFB, 0x90, 0x00, 0x12, 0x34, 0x56, 0x78};
    for (int bits : {0, 1, 2, 3, 5, 7, 8, 9, 15, 16, 17, 31, 33, 1001, 8 * 3000 + 3}) {
        for (bool withHeader : {false, true}) {
            std::vector<uint8_t> s = clean;
            if (withHeader) s.insert(s.begin(), loneHeader.begin(), loneHeader.end());
            s = behindFiller(s, bits);
            Decoded d = decodeAll(s, {}, 500);
            SCOPED_TRACE(testing::Message() << bits << " bits, lone header " << withHeader);
            ASSERT_EQ(d.frames, 8);
            EXPECT_EQ(d.pcm, reference.pcm);
            EXPECT_EQ(d.statuses.back(), sscSyncEof);
        }
    }
}

TEST(Sync, FreeFormatNeverSynchronises) {
    // Free-format frames of a fixed length: a bit-rate index of 0.
    std::vector<uint8_t> s;
    for (int i = 0; i < 20; ++i) {
        CraftFrame f = patternFrame(0, 0, 0, i);
        std::vector<uint8_t> b = writeFrame(f);
        b[2] &= 0x0F;
        s.insert(s.end(), b.begin(), b.end());
    }
    Decoded d = decodeAll(s);
    EXPECT_EQ(d.frames, 0);
    EXPECT_EQ(d.statuses.back(), sscSyncEof);
}

TEST(Sync, TruncatedLastFrameNeedsDataUntilTheInputEnds) {
    std::vector<uint8_t> s = patternStream(5);
    s.erase(s.end() - 600, s.end());
    Decoded d = decodeAll(s, {}, 64);
    EXPECT_EQ(d.frames, 4);
    auto lastFrame =
        std::find_if(d.statuses.rbegin(), d.statuses.rend(), [](Mp3Ssc x) { return sscUsable(x); });
    ASSERT_NE(lastFrame, d.statuses.rend());
    std::vector<Mp3Ssc> after(d.statuses.end() - (lastFrame - d.statuses.rbegin()),
                              d.statuses.end());
    ASSERT_GE(after.size(), 2u);
    EXPECT_TRUE(
        std::all_of(after.begin(), after.end() - 1, [](Mp3Ssc x) { return x == sscSyncNeedData; }));
    EXPECT_EQ(after.back(), sscSyncEof);
}

TEST(Sync, OtherLayersAreRefusedWithoutLosingTheStream) {
    // Layer III frames, then frames that claim Layer II.
    std::vector<uint8_t> s = patternStream(6);
    for (int i = 0; i < 6; ++i) {
        CraftFrame f = patternFrame(0, 0, 0, i);
        f.layerBits = 2;
        std::vector<uint8_t> b(1253, 0); // 384 kbit/s Layer II at 44.1 kHz
        uint32_t h = headerWord(f);
        b[0] = uint8_t(h >> 24), b[1] = uint8_t(h >> 16), b[2] = uint8_t(h >> 8), b[3] = uint8_t(h);
        s.insert(s.end(), b.begin(), b.end());
    }
    Decoded d = decodeAll(s, {}, 0xFFFFFFFF, 200000);
    // The last Layer III frame is still in its ten double-checked frames:
    // the header after it does not agree, so it is dropped.
    EXPECT_EQ(d.frames, 5);
    EXPECT_GT(countStatus(d, sscWrongLayer), 0u);
    EXPECT_EQ(d.statuses.back(), sscSyncEof);

    // A stream that starts with Layer II is locked to it and never plays.
    std::vector<uint8_t> layer2(s.begin() + ptrdiff_t(s.size() - 6 * 1253), s.end());
    Decoded refused = decodeAll(layer2, {}, 0xFFFFFFFF, 200000);
    EXPECT_EQ(refused.frames, 0);
    EXPECT_GT(countStatus(refused, sscWrongLayer), 0u);
    EXPECT_EQ(refused.statuses.back(), sscSyncEof);
}

// After a lost sync only the reservoir is emptied: the next frame that
// needs earlier main data plays as silence, the one after it plays again.
TEST(Sync, LostSyncEmptiesTheReservoir) {
    std::vector<uint8_t> s;
    for (int i = 0; i < 16; ++i) {
        CraftFrame f = patternFrame(0, 0, 0, i);
        f.mainDataBegin = 4; // the four padding bytes of the frame before
        std::vector<uint8_t> b = writeFrame(f);
        s.insert(s.end(), b.begin(), b.end());
        if (i == 12) s.insert(s.end(), {0x12, 0x34, 0x56, 0x00, 0x42});
    }
    Decoded d = decodeAll(s);
    std::vector<Mp3Ssc> seen;
    for (Mp3Ssc x : d.statuses)
        if (sscUsable(x) || x == sscSyncLost) seen.push_back(x);
    std::vector<Mp3Ssc> expected(13, sscOk);
    expected[0] = sscMainDataMissing;
    expected.insert(expected.end(), {sscSyncLost, sscMainDataMissing, sscOk, sscOk});
    EXPECT_EQ(seen, expected);
}

TEST(Sync, ResetStartsOverAndCreateChecksItsArguments) {
    std::unique_ptr<MpegDecoder> d;
    EXPECT_EQ(MpegDecoder::Create(3, false, false, &d), sscInvalidParameter);
    EXPECT_EQ(MpegDecoder::Create(-1, false, false, &d), sscInvalidParameter);
    EXPECT_EQ(MpegDecoder::Create(0, false, false, nullptr), sscInvalidParameter);
    ASSERT_EQ(MpegDecoder::Create(0, false, false, &d), sscOk);

    std::vector<uint8_t> s = patternStream(6);
    MemoryInput input(s);
    d->Attach(&input);
    std::vector<uint8_t> buffer(MpegDecoder::maxFrameBytes);
    uint32_t n = 0;
    EXPECT_EQ(d->DecodeFrame(buffer.data(), 4608, nullptr), sscInvalidParameter);
    Mp3Ssc first = d->DecodeFrame(buffer.data(), 4608, &n);
    EXPECT_EQ(first, sscOk);
    std::vector<uint8_t> firstPcm(buffer.begin(), buffer.begin() + n);
    while (!d->AtEnd()) d->DecodeFrame(buffer.data(), 4608, &n);
    EXPECT_EQ(d->DecodeFrame(buffer.data(), 4608, &n), sscSyncEof);
    // A seek back to the start plays the first frame again, from silence.
    d->Reset();
    input.seek(0);
    EXPECT_FALSE(d->AtEnd());
    EXPECT_EQ(d->DecodeFrame(buffer.data(), 4608, &n), sscOk);
    EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + n), firstPcm);
    const StreamInfo& info = d->StreamInfo();
    EXPECT_EQ(info.layer, 3);
    EXPECT_EQ(info.samplingRate, 44100u);
    EXPECT_EQ(info.outputRate, 44100u);
    EXPECT_EQ(info.outputBits, 16);
    EXPECT_EQ(info.outputChannels, 2);
    EXPECT_EQ(info.bitRate, 320000u);
    EXPECT_EQ(info.bitRateIndex, 14u);
    EXPECT_EQ(info.frameLengthBits, 1044u * 8);
}
