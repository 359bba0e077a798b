#include "kalvo/song_page.h"

#include <gtest/gtest.h>

namespace kalvo {
namespace {

TEST(SongPage, SizeAndLengthTexts) {
    struct Case {
        const char* tag;
        const char* size;
        const char* length;
    } cases[] = {
        {"3456789", "3.4", "57 mins 36 "},
        {"245000", "0.2", "4 mins 5 "},
        {"", "0.0", "0 mins 0 "},
        {"abc", "0.0", "0 mins 0 "},
        {"-5", "0.0", "0 mins 0 "},
        {"99999999999999999999", "9223372036854.7", "153722867280912 mins 55 "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pageSizeText(c.tag), c.size) << c.tag;
        EXPECT_EQ(pageLengthText(c.tag), c.length) << c.tag;
    }
}

TEST(SongPage, InfoTextFollowsTheDialogsLines) {
    SongTags t;
    t.size = "3456789";
    t.length = "245000";
    t.fileType = "MPG/3";
    t.copyright = "2001 Maker";
    t.pictureMimeType = "image/jpeg";
    EXPECT_EQ(songInfoText(t), "Size: 3456789 bytes \nLength: 245 seconds \nMPEG 1.0 Layer 3\n"
                               "Copyright: 2001\nImage Type: image/jpeg\n");
    // Texts shorter than the cut: less than a second, no underflow.
    for (const char* len : {"", "7", "999"}) {
        SongTags s;
        s.length = len;
        EXPECT_NE(songInfoText(s).find("Length: 0 seconds \n"), std::string::npos) << len;
    }
}

TEST(SongPage, FileTypeDescriptions) {
    struct Case {
        const char* type;
        const char* description;
    } cases[] = {
        {"MPG/1", "MPEG 1.0 Layer 1"},
        {"MPG/2", "MPEG 1.0 Layer 2"},
        {"MPG/2.5", "MPEG 1.0 Layer 2.5"},
        {"MPG/3", "MPEG 1.0 Layer 3"},
        {"MPG/AAC", "Adv. audio compression"},
        {"VQF", "Interleave Vector Quantization"},
        {"mpg/3", ""},
        {"MPG/3 ", ""},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_STREQ(fileTypeDescription(c.type), c.description);
}

TEST(SongPage, TextsAreEscapedAndOnlySafeAddressesLinked) {
    SongTags t;
    t.artist = "A&B <script>alert(1)</script>";
    t.title = "\"Quoted\"";
    t.publisher = "P<b>";
    t.blurb = "x > y";
    t.artistAddress = "javascript:alert(1)";
    t.commercialAddress = "HTTPS://shop.example/?a=1&b=\"2\"";
    t.size = "3456789";
    t.length = "245000";
    std::string h = songPageHtml(t, "C:\\tmp\\~AX1.tmp", "C:\\tmp\\~AX2.tmp");
    EXPECT_EQ(h.find("<script"), std::string::npos);
    EXPECT_NE(h.find("A&amp;B &lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
    EXPECT_NE(h.find("&quot;&quot;Quoted&quot;&quot;"), std::string::npos);
    EXPECT_NE(h.find("(<a href=\"HTTPS://shop.example/?a=1&amp;b=&quot;2&quot;\">P&lt;b&gt;</a>)"),
              std::string::npos);
    EXPECT_EQ(h.find("javascript"), std::string::npos);
    EXPECT_NE(h.find("x &gt; y"), std::string::npos);
    EXPECT_NE(h.find("File Size: 3.4 MB"), std::string::npos);
    EXPECT_NE(h.find("Song Length: 4 mins 5  secs"), std::string::npos);
    EXPECT_NE(h.find("src=\"C:\\tmp\\~AX1.tmp\" width=\"100\" height=\"100\""), std::string::npos);
    EXPECT_NE(h.find("src=\"C:\\tmp\\~AX2.tmp\" width=\"80\" height=\"62\""), std::string::npos);
    EXPECT_NE(h.find("#5A879E"), std::string::npos);
    EXPECT_NE(h.find("picks of the week"), std::string::npos);
    EXPECT_NE(h.find("top downloads"), std::string::npos);

    for (const char* a : {"http://a", "https://a", "mailto:x@y", "HTTP://A"})
        EXPECT_TRUE(isSafeLink(a)) << a;
    for (const char* a : {"", "javascript:x", "file:///c:/x", " http://a", "data:text/html,x",
                          "vbscript:x", "http:"})
        EXPECT_FALSE(isSafeLink(a)) << a;
}

} // namespace
} // namespace kalvo
