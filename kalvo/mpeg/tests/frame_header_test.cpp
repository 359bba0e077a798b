#include "kalvo/mpeg/frame_header.h"
#include "kalvo/mpeg/mp3_ssc.h"

#include <gtest/gtest.h>

#include <string>

using namespace kalvo;

namespace {

// version bits (3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5), layer bits (1 = III), ...
uint32_t header(uint32_t version, uint32_t layer, uint32_t bitRate, uint32_t sampling,
                uint32_t padding = 0, uint32_t mode = 0) {
    return 0xFFE00000u | version << 19 | layer << 17 | 1u << 16 | bitRate << 12 | sampling << 10 |
           padding << 9 | mode << 6;
}

} // namespace

TEST(FrameHeader, DerivedValues) {
    struct Case {
        uint32_t word;
        int layer, version, channels;
        uint32_t rate, bitRate, lengthBytes;
    } cases[] = {
        {header(3, 1, 9, 0), 3, 0, 2, 44100, 128000, 417},
        {header(3, 1, 9, 0, 1, 3), 3, 0, 1, 44100, 128000, 418},
        {header(3, 1, 14, 2, 1), 3, 0, 2, 32000, 320000, 1441}, // the largest Layer III frame
        {header(2, 1, 1, 1), 3, 1, 2, 24000, 8000, 24},
        {header(2, 1, 14, 2), 3, 1, 2, 16000, 160000, 720},
        {header(0, 1, 8, 2, 0, 3), 3, 2, 1, 8000, 64000, 576},
        {header(0, 1, 1, 0), 3, 2, 2, 11025, 8000, 52},
        {header(3, 2, 14, 2), 2, 0, 2, 32000, 384000, 1728},
        {header(3, 3, 14, 2, 1), 1, 0, 2, 32000, 448000, 676},
        {header(2, 3, 1, 0), 1, 1, 2, 22050, 32000, 68},
    };
    for (const Case& c : cases) {
        FrameHeader h = parseFrameHeader(c.word);
        SCOPED_TRACE(std::to_string(c.word));
        ASSERT_TRUE(h.valid);
        EXPECT_EQ(h.layer, c.layer);
        EXPECT_EQ(h.versionIndex, c.version);
        EXPECT_EQ(h.channels, c.channels);
        EXPECT_EQ(h.samplingRate, c.rate);
        EXPECT_EQ(h.bitRate, c.bitRate);
        EXPECT_EQ(h.frameLengthBits, c.lengthBytes * 8);
    }
    FrameHeader h = parseFrameHeader(header(3, 1, 9, 0));
    EXPECT_NEAR(h.frameDurationMs, 26.1224f, 1e-4f);
    EXPECT_FALSE(h.protection);
    EXPECT_EQ(parseFrameHeader(header(0, 1, 8, 2)).frameDurationMs, 72.0f);
}

TEST(FrameHeader, RefusedHeaders) {
    const uint32_t refused[] = {
        header(3, 1, 0, 0),               // free format
        header(3, 1, 15, 0),              // bit-rate index 15
        header(3, 1, 9, 3),               // reserved sampling rate
        header(1, 1, 9, 0),               // reserved version
        header(3, 0, 9, 0),               // reserved layer
        header(0, 2, 9, 0),               // MPEG-2.5 Layer II
        header(0, 3, 9, 0),               // MPEG-2.5 Layer I
        header(3, 1, 9, 0) & ~(1u << 25), // a sync bit missing
    };
    for (uint32_t w : refused) EXPECT_FALSE(parseFrameHeader(w).valid) << std::hex << w;
}

TEST(Mp3Ssc, TextsAndClasses) {
    EXPECT_STREQ(mp3SscText(sscOk), "(Mp3Ssc) success: no error");
    EXPECT_STREQ(mp3SscText(sscIoReadError), "(Mp3Ssc) error: I/O - read error");
    EXPECT_STREQ(mp3SscText(sscMainDataMissing),
                 "(Mp3Ssc) info: Decoder - not enough main data present");
    EXPECT_STREQ(mp3SscText(sscSyncEof), "(Mp3Ssc) warning: Decoder - sync eof");
    EXPECT_STREQ(mp3SscText(0x12345678), "(Mp3Ssc) unknown SSC");
    EXPECT_TRUE(sscUsable(sscOk));
    EXPECT_TRUE(sscUsable(sscCrcError));
    EXPECT_TRUE(sscUsable(sscMainDataMissing));
    EXPECT_FALSE(sscUsable(sscSyncNeedData));
    EXPECT_FALSE(sscUsable(sscWrongLayer));
}
