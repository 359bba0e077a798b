#include "kalvo/song_tags.h"
#include "kalvo/tests/tag_builder.h"

#include <gtest/gtest.h>

namespace kalvo {
namespace {

using namespace kalvo::test;

Bytes apic(const char* mime, const Bytes& data) {
    return frame("APIC", Bytes{0} + bytesOf(mime) + Bytes{0, 3, 0} + data);
}

TEST(SongTags, FillsEveryFieldFromItsFrame) {
    Bytes id = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 255};
    Bytes frames =
        textFrame("TIT2", "Title") + textFrame("TPE1", "Artist") + textFrame("TALB", "Album") +
        textFrame("TSER", "Series") + textFrame("TSIZ", "3456789") +
        textFrame("TCOP", "2001 Maker") + textFrame("TPUB", "Label") + textFrame("TLEN", "245000") +
        textFrame("TFLT", "MPG/3") + frame("COMM", bytesOf("Xeng") + Bytes{0} + bytesOf("c")) +
        frame("WCOM", bytesOf("http://buy.example/")) +
        frame("WOAR", bytesOf("http://artist.example/")) +
        frame("WOAF", bytesOf("http://file.example/")) +
        frame("TXXX", Bytes{0} + bytesOf("Other") + Bytes{0} + bytesOf("no")) +
        frame("TXXX", Bytes{0} + bytesOf("OrvaneBLURB") + Bytes{0} + bytesOf("Blurb")) +
        frame("TXXX", Bytes{0} + bytesOf("Another") + Bytes{0} + bytesOf("no")) +
        frame("UFID", bytesOf("http://id.example/") + Bytes{0, 0} + id) +
        apic("image/jpeg", Bytes{1, 1}) + apic("image/jpeg", Bytes{2, 2, 2}) +
        apic("image/png", Bytes{3});
    std::string path = writeTemp(tag(frames, 64) + Bytes{0xFF, 0xFB, 0x90, 0x64}, "all.tqz");
    SongTags t;
    std::vector<uint8_t> cover{7};
    readTags(path, t, &cover, wideToLatin1, nullptr);
    EXPECT_EQ(t.fileName, path);
    EXPECT_EQ(t.title, "Title");
    EXPECT_EQ(t.artist, "Artist");
    EXPECT_EQ(t.album, "Album");
    EXPECT_EQ(t.series, "Series");
    EXPECT_EQ(t.comment, "Xeng");
    EXPECT_EQ(t.size, "3456789");
    EXPECT_EQ(t.copyright, "2001 Maker");
    EXPECT_EQ(t.publisher, "Label");
    EXPECT_EQ(t.length, "245000");
    EXPECT_EQ(t.fileType, "MPG/3");
    EXPECT_EQ(t.commercialAddress, "http://buy.example/");
    EXPECT_EQ(t.artistAddress, "http://artist.example/");
    EXPECT_EQ(t.fileAddress, "http://file.example/");
    EXPECT_EQ(t.blurb, "Blurb");
    EXPECT_EQ(t.songId, "000102030405060708090a0b0c0d0eff");
    EXPECT_EQ(t.pictureMimeType, "image/png"); // the last picture's type
    EXPECT_EQ(cover, (Bytes{2, 2, 2}));        // the last JPEG
    EXPECT_EQ(songTitle(t), "Artist-Title");
}

TEST(SongTags, CoverStaysWithoutAJpeg) {
    std::string path =
        writeTemp(tag(apic("image/png", Bytes{3}) + textFrame("TIT2", "x")), "png.tqz");
    SongTags t;
    std::vector<uint8_t> cover{7, 7};
    readTags(path, t, &cover, wideToLatin1, nullptr);
    EXPECT_EQ(cover, (Bytes{7, 7}));
    EXPECT_EQ(t.title, "x");
}

TEST(SongTags, FilesThatAreNotSongsSayWhy) {
    struct Case {
        const char* name;
        Bytes data; // empty: no file
        const char* title;
        const char* report;
    } cases[] = {
        {"missing.tqz", {}, titleFileMissing, ""},
        {"v24.tqz", tag(textFrame("TIT2", "x"), 0, 4), titleNotValid, ""},
        {"plain.tqz", Bytes{0xFF, 0xFB, 0x90, 0x64, 0, 0, 0, 0, 0, 0, 0}, titleNotValid,
         "ID3: error -5 line 536\n"},
        {"short.tqz", bytesOf("ID3"), titleNotValid, "ID3: error -4 line 536\n"},
    };
    for (const Case& c : cases) {
        std::string path = testing::TempDir() + c.name;
        if (!c.data.empty())
            writeTemp(c.data, c.name);
        else
            std::remove(path.c_str());
        auto errors = jk::test::ByteStream::forWriting(4096);
        SongTags t;
        t.blurb = "old";
        readTags(path, t, nullptr, wideToLatin1, errors);
        EXPECT_EQ(t.title, c.title) << c.name;
        EXPECT_EQ(t.artist, path) << c.name;
        EXPECT_EQ(t.blurb, "") << c.name;
        EXPECT_EQ(errors.contents(), c.report) << c.name;
    }
}

TEST(SongTags, ATruncatedTagKeepsWhatCameBeforeAndReportsTheFrame) {
    Bytes data = tagHeader(500) + textFrame("TIT2", "Kept") + frame("TPE1", Bytes{0, 'a'}, 300);
    std::string path = writeTemp(data, "cut.tqz");
    auto errors = jk::test::ByteStream::forWriting(4096);
    SongTags t;
    readTags(path, t, nullptr, wideToLatin1, errors);
    EXPECT_EQ(t.title, "Kept");
    EXPECT_EQ(t.artist, "");
    EXPECT_EQ(errors.contents(), "ID3: error -4 line 554\n");
}

TEST(SongTags, MangledTagsAreReadSafely) {
    Bytes frames = textFrame("TIT2", "Title") +
                   frame("TXXX", Bytes{1} + utf16(u"OrvaneBLURB") + utf16(u"Blurb")) +
                   frame("APIC", Bytes{1} + bytesOf("image/jpeg") + Bytes{0, 3} + utf16(u"d") +
                                     Bytes(300, 0xAB)) +
                   frame("UFID", bytesOf("o") + Bytes(18, 0)) + frame("WOAR", bytesOf("http://a"));
    Bytes clean = tag(frames, 20);
    uint32_t seed = 99;
    for (int round = 0; round < 400; ++round) {
        Bytes data = clean;
        for (int i = 0; i < 1 + round % 6; ++i) {
            seed = seed * 1103515245 + 12345;
            data[(seed >> 8) % data.size()] = uint8_t(seed >> 3);
        }
        if (round % 7 == 0) data.resize((seed >> 4) % data.size());
        std::string path = writeTemp(data, "mangled.tqz");
        SongTags t;
        std::vector<uint8_t> cover;
        readTags(path, t, &cover, wideToLatin1, nullptr);
        EXPECT_LE(cover.size(), data.size());
        EXPECT_TRUE(t.title.size() <= data.size() || t.title == titleNotValid) << t.title;
        EXPECT_TRUE(t.songId.empty() || t.songId.size() == 32);
    }
}

} // namespace
} // namespace kalvo
