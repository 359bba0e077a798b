#include "kalvo/id3_reader.h"
#include "kalvo/tests/tag_builder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kalvo {
namespace {

using namespace kalvo::test;

struct Memory {
    Bytes data;
    size_t pos = 0;
    static int read(void* user, uint8_t* buffer, uint32_t length) {
        auto* m = static_cast<Memory*>(user);
        if (m->data.size() - m->pos < length) return 0;
        std::memcpy(buffer, m->data.data() + m->pos, length);
        m->pos += length;
        return 1;
    }
    static int skip(void* user, uint32_t length) {
        auto* m = static_cast<Memory*>(user);
        if (m->data.size() - m->pos < length) return 0;
        m->pos += length;
        return 1;
    }
};

struct Read {
    int headerResult = 0;
    Id3Header header;
    std::vector<Id3Frame> frames;
    int endResult = 0;
};

Read readAll(const Bytes& data) {
    Memory m{data};
    Id3Reader r;
    Read out;
    EXPECT_EQ(r.open(Memory::read, Memory::skip, &m), id3Ok);
    out.headerResult = r.readHeader(&out.header);
    if (out.headerResult) return out;
    for (;;) {
        Id3Frame f;
        int rc = r.nextFrame(nullptr);
        if (rc == 0) rc = r.readFrame(&f);
        if (rc) {
            out.endResult = rc;
            break;
        }
        out.frames.push_back(f);
        EXPECT_LT(out.frames.size(), 100u);
    }
    return out;
}

TEST(Id3Reader, ReadsFramesOfEveryKindUpToThePadding) {
    Bytes jpeg{0xFF, 0xD8, 0xFF, 0xE0, 1, 2, 3};
    Bytes frames = textFrame("TIT2", "Song") +
                   frame("TXXX", Bytes{0} + bytesOf("OrvaneBLURB") + Bytes{0} + bytesOf("Hi")) +
                   frame("WOAR", bytesOf("http://a.example/")) +
                   frame("APIC", Bytes{0} + bytesOf("image/jpeg") + Bytes{0, 3} + bytesOf("cover") +
                                     Bytes{0} + jpeg) +
                   frame("UFID", bytesOf("owner") + Bytes{0, 0} +
                                     Bytes{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF, 0, 1, 2,
                                           3, 4, 5, 6, 0xFF}) +
                   frame("PRIV", bytesOf("x"));
    Read r = readAll(tag(frames, 100) + bytesOf("\xFF\xFB audio"));
    ASSERT_EQ(r.headerResult, 0);
    EXPECT_EQ(r.header.version, 0x0300);
    EXPECT_EQ(r.header.size, frames.size() + 100);
    EXPECT_EQ(r.endResult, id3EndOfTag);
    ASSERT_EQ(r.frames.size(), 6u);
    EXPECT_EQ(r.frames[0].kind, Id3Kind::text);
    EXPECT_EQ(r.frames[0].text, "Song");
    EXPECT_EQ(r.frames[1].kind, Id3Kind::userText);
    EXPECT_EQ(r.frames[1].description, "OrvaneBLURB");
    EXPECT_EQ(r.frames[1].text, "Hi");
    EXPECT_EQ(r.frames[2].kind, Id3Kind::link);
    EXPECT_EQ(r.frames[2].text, "http://a.example/");
    const Id3Frame& pic = r.frames[3];
    EXPECT_EQ(pic.kind, Id3Kind::picture);
    EXPECT_EQ(pic.mimeType, "image/jpeg");
    EXPECT_EQ(pic.pictureType, 3);
    EXPECT_EQ(pic.description, "cover");
    EXPECT_EQ(Bytes(pic.body.begin() + pic.dataOffset,
                    pic.body.begin() + pic.dataOffset + pic.dataLength),
              jpeg);
    EXPECT_EQ(r.frames[4].owner, "owner");
    EXPECT_TRUE(r.frames[4].hasIdentifier);
    EXPECT_EQ(r.frames[4].identifier[0], 0x01);
    EXPECT_EQ(r.frames[4].identifier[15], 0xFF);
    EXPECT_EQ(r.frames[5].kind, Id3Kind::other);
}

TEST(Id3Reader, HeaderErrors) {
    struct Case {
        Bytes data;
        int result;
    } cases[] = {
        {bytesOf("ID3\x03"), id3IoFailed},                        // cut header
        {Bytes{'R', 'I', 'F', 'F', 3, 0, 0, 0, 0, 0}, id3NotId3}, // another file
    };
    for (const Case& c : cases) EXPECT_EQ(readAll(c.data).headerResult, c.result);
    Id3Reader none;
    EXPECT_EQ(none.readHeader(nullptr), id3NoReader);
    EXPECT_EQ(none.open(nullptr, Memory::skip, nullptr), id3NoReader);
}

TEST(Id3Reader, StateRules) {
    Memory m{tag(textFrame("TIT2", "a") + textFrame("TPE1", "b"))};
    Id3Reader r;
    r.open(Memory::read, Memory::skip, &m);
    Id3Frame f;
    EXPECT_EQ(r.nextFrame(nullptr), id3BadState); // before the header
    ASSERT_EQ(r.readHeader(nullptr), 0);
    EXPECT_EQ(r.readFrame(&f), id3BadState); // no frame header read yet
    EXPECT_EQ(r.skipFrame(), id3BadState);
    Id3FrameHeader h;
    ASSERT_EQ(r.nextFrame(&h), 0);
    EXPECT_STREQ(h.id, "TIT2");
    ASSERT_EQ(r.nextFrame(&h), 0); // skips the unread TIT2
    EXPECT_STREQ(h.id, "TPE1");
    ASSERT_EQ(r.readFrame(&f), 0);
    EXPECT_EQ(f.text, "b");
    EXPECT_EQ(r.nextFrame(&h), id3EndOfTag);
    EXPECT_EQ(r.state(), Id3Reader::endOfTag);
    EXPECT_EQ(r.nextFrame(&h), id3BadState);
    Id3Reader::freeFrame(&f);
    EXPECT_TRUE(f.body.empty());
}

TEST(Id3Reader, SizesThatLieAreBoundedByTheTag) {
    // A frame size of 4 GB - 1: cut to what the tag holds, no wrap, no huge read.
    Bytes body = Bytes{0} + bytesOf("Long");
    Read r = readAll(tag(frame("TIT2", body, 0xFFFFFFFF - 1)) + Bytes(40, 0xAA));
    ASSERT_EQ(r.frames.size(), 1u);
    EXPECT_EQ(r.frames[0].header.size, body.size());
    EXPECT_EQ(r.frames[0].text, "Long");
    EXPECT_EQ(r.endResult, id3EndOfTag);

    // An extended header that claims more than the tag: the tag just ends.
    Bytes ext = tagHeader(20, 3, 0x40) + Bytes{0x7F, 0xFF, 0xFF, 0xFF} + Bytes(16, 0);
    Read e = readAll(ext);
    EXPECT_EQ(e.headerResult, 0);
    EXPECT_TRUE(e.frames.empty());
    EXPECT_EQ(e.endResult, id3EndOfTag);

    // An extended header of 6 bytes, then a frame.
    Bytes frames = textFrame("TIT2", "After");
    Bytes ok = tagHeader(uint32_t(4 + 6 + frames.size()), 3, 0x40) + Bytes{0, 0, 0, 6} +
               Bytes(6, 0) + frames;
    Read o = readAll(ok);
    ASSERT_EQ(o.frames.size(), 1u);
    EXPECT_EQ(o.frames[0].text, "After");

    // A tag that claims more bytes than the file has: the read fails cleanly.
    Read t = readAll(tagHeader(5000) + textFrame("TIT2", "x") + frame("APIC", Bytes(10, 1), 4000));
    EXPECT_EQ(t.frames.size(), 1u);
    EXPECT_EQ(t.endResult, id3IoFailed);

    // Fewer than ten bytes after the last frame end the tag.
    Read s = readAll(tagHeader(uint32_t(frames.size() + 5)) + frames + bytesOf("TPE1x"));
    EXPECT_EQ(s.frames.size(), 1u);
    EXPECT_EQ(s.endResult, id3EndOfTag);
}

TEST(Id3Reader, Utf16TextIsConverted) {
    Bytes tit2 = frame("TIT2", Bytes{1} + utf16(u"S\u00f6ng \u263a", false));
    Bytes txxx = frame("TXXX", Bytes{1} + utf16(u"OrvaneBLURB") + utf16(u"Blurb"));
    Bytes be = frame("TPE1", Bytes{1, 0xFE, 0xFF, 0, 'B', 0, 'E', 0, 0});
    Bytes odd = frame("TALB", Bytes{1, 0xFF, 0xFE, 'A', 0, 'x'}); // a stray last byte
    Read r = readAll(tag(tit2 + txxx + be + odd));
    ASSERT_EQ(r.frames.size(), 4u);
    EXPECT_EQ(r.frames[0].text, "S\xf6ng ?");
    EXPECT_EQ(r.frames[1].description, "OrvaneBLURB");
    EXPECT_EQ(r.frames[1].text, "Blurb");
    EXPECT_EQ(r.frames[2].text, "BE");
    EXPECT_EQ(r.frames[3].text, "A");
}

TEST(Id3Reader, PicturesAndIdentifiersNeverReadPastTheirFrame) {
    // UTF-16 description: its terminator is two bytes.
    Bytes data{9, 8, 7};
    Bytes apic16 =
        frame("APIC", Bytes{1} + bytesOf("image/jpeg") + Bytes{0, 3} + utf16(u"d") + data);
    Bytes apicCut = frame("APIC", Bytes{0} + bytesOf("image/jp"));
    Bytes ufidShort = frame("UFID", bytesOf("owner") + Bytes{0, 0} + Bytes(15, 1));
    Bytes ufidNoZero = frame("UFID", bytesOf("owner") + Bytes{0, 5} + Bytes(16, 1));
    Read r = readAll(tag(apic16 + apicCut + ufidShort + ufidNoZero));
    ASSERT_EQ(r.frames.size(), 4u);
    const Id3Frame& p = r.frames[0];
    EXPECT_EQ(p.description, "d");
    EXPECT_EQ(Bytes(p.body.begin() + p.dataOffset, p.body.end()), data);
    EXPECT_EQ(p.dataLength, data.size());
    EXPECT_EQ(r.frames[1].mimeType, "image/jp");
    EXPECT_EQ(r.frames[1].dataLength, 0u);
    EXPECT_LE(r.frames[1].dataOffset, r.frames[1].body.size());
    EXPECT_FALSE(r.frames[2].hasIdentifier);
    EXPECT_FALSE(r.frames[3].hasIdentifier);
}

} // namespace
} // namespace kalvo
