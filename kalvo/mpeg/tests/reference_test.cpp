// The decoder against mpg123 (and madplay as a second opinion) on streams
// that lame encodes here and on real files from Debian packages.
#include "kalvo/mpeg/frame_header.h"
#include "kalvo/mpeg/tests/test_signal.h"
#include "kalvo/mpeg/tests/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

using namespace kalvo;
using namespace kalvo::test;
namespace fs = std::filesystem;

namespace {

bool haveReferences() {
    return haveTool("lame") && haveTool("mpg123") && haveTool("madplay");
}

std::string encode(const std::string& name, const std::vector<uint8_t>& wav,
                   const std::string& options) {
    std::string dir = scratchDir();
    std::string in = dir + "/" + name + ".wav", out = dir + "/" + name + ".mp3";
    writeFile(in, wav);
    runCommand("lame --quiet -t " + options + " " + quote(in) + " " + quote(out) + " 2>&1");
    return out;
}

std::vector<int16_t> mpg123(const std::string& path, const std::string& options = "") {
    return asSamples(runCommand("mpg123 -q --no-gapless --no-infoframe " + options + " -s " +
                                quote(path) + " 2>/dev/null"));
}

std::vector<int16_t> madplay(const std::string& path) {
    return asSamples(runCommand("madplay -Q -d -b 16 -o raw:- " + quote(path) + " 2>/dev/null"));
}

// The audio of a file without its ID3v2 tag, as the plug-in's song source
// hands it to the decoder.
std::vector<uint8_t> audioOf(const std::string& path) {
    std::vector<uint8_t> b = readFile(path);
    if (b.size() > 10 && b[0] == 'I' && b[1] == 'D' && b[2] == '3') {
        size_t size = size_t(b[6] & 0x7F) << 21 | size_t(b[7] & 0x7F) << 14 |
                      size_t(b[8] & 0x7F) << 7 | size_t(b[9] & 0x7F);
        size += 10 + ((b[5] & 0x10) ? 10 : 0);
        b.erase(b.begin(), b.begin() + ptrdiff_t(std::min(size, b.size())));
    }
    return b;
}

void expectMatch(const std::vector<int16_t>& ours, const std::vector<int16_t>& ref,
                 const char* who) {
    Comparison c = compare(ours, ref);
    EXPECT_EQ(ours.size(), ref.size()) << who;
    EXPECT_LE(c.maxDiff, 1) << who;
    EXPECT_GE(c.identical, 0.99) << who;
}

double rms(const std::vector<int16_t>& v, size_t from) {
    double s = 0;
    for (size_t i = from; i < v.size(); ++i) s += double(v[i]) * v[i];
    return std::sqrt(s / double(v.size() - from));
}

} // namespace

// All nine sampling rates; mono, stereo, joint and forced mid/side; CBR,
// VBR and CRC; the test signal's bursts force short, start and stop blocks.
TEST(Reference, LameStreamsMatchMpg123AndMadplay) {
    if (!haveReferences()) GTEST_SKIP() << "lame, mpg123 or madplay missing";
    struct Case {
        const char* name;
        const char* options;
    } cases[] = {
        {"r8", "--resample 8 -b 32"},
        {"r11", "--resample 11.025 -b 48"},
        {"r12", "--resample 12 -b 48 -p"},
        {"r16", "--resample 16 -b 64 -m j"},
        {"r22", "--resample 22.05 -b 64"},
        {"r24", "--resample 24 -V 4"},
        {"r32", "--resample 32 -b 96"},
        {"r44", "-b 128 -m j"},
        {"r48", "--resample 48 -b 160"},
        {"mono", "-b 64 -m m"},
        {"stereo", "-b 192 -m s"},
        {"ms", "-b 128 -m f"},
        {"vbr", "-V 2"},
        {"crc", "-b 320 -p"},
        {"r8mono", "--resample 8 -b 16 -m m -p"},
    };
    std::vector<uint8_t> wav = testSignalWav(44100, 2, 3.0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = encode(c.name, wav, c.options);
        Decoded d = decodeAll(readFile(path));
        ASSERT_GT(d.frames, 0);
        std::vector<int16_t> ours = asSamples(d.pcm);
        expectMatch(ours, mpg123(path), "mpg123");
        expectMatch(ours, madplay(path), "madplay");

        // Every frame of a header walk is decoded.
        std::vector<uint8_t> bytes = readFile(path);
        int walked = 0;
        for (size_t pos = 0; pos + 4 <= bytes.size(); ++walked) {
            uint32_t w = uint32_t(bytes[pos]) << 24 | uint32_t(bytes[pos + 1]) << 16 |
                         uint32_t(bytes[pos + 2]) << 8 | bytes[pos + 3];
            FrameHeader h = parseFrameHeader(w);
            ASSERT_TRUE(h.valid) << "at byte " << pos;
            pos += h.frameLengthBits / 8;
        }
        EXPECT_EQ(d.frames, walked);
    }
}

TEST(Reference, RealFilesMatchMpg123) {
    const char* root = std::getenv("JK_TESTDATA_DIR");
    if (!root || !fs::exists(fs::path(root) / "scratch")) GTEST_SKIP() << "test data not fetched";
    if (!haveTool("mpg123") || !haveTool("madplay")) GTEST_SKIP() << "mpg123 or madplay missing";
    int files = 0, refused = 0, bothAgree = 0;
    for (const char* package : {"scratch", "libjs-jsxc", "python-pygame-doc", "libmp3-tag-perl",
                                "roundcube-plugins", "emacspeak"}) {
        fs::path dir = fs::path(root) / package;
        if (!fs::exists(dir)) continue;
        for (const auto& e : fs::recursive_directory_iterator(dir)) {
            std::string ext = e.path().extension().string();
            if (!e.is_regular_file() || (ext != ".mp3" && ext != ".MP3")) continue;
            std::string path = e.path().string();
            SCOPED_TRACE(path);
            Decoded d = decodeAll(audioOf(path));
            std::vector<uint8_t> head = readFile(path);
            if (head.size() > 4 && std::string(head.begin(), head.begin() + 4) == "RIFF") {
                // WAV files named .mp3 end cleanly; PCM may hold a pair of
                // agreeing headers by chance, which plays at most a frame
                // or two (mpg123 plays 20 frames of the same file).
                EXPECT_LE(d.frames, 2);
                EXPECT_EQ(d.statuses.back(), sscSyncEof);
                ++refused;
                continue;
            }
            ++files;
            std::vector<int16_t> ours = asSamples(d.pcm), reference = mpg123(path);
            expectMatch(ours, reference, "mpg123");
            // madplay is a second opinion where it agrees with mpg123; the two
            // differ on MPEG-2 intensity stereo and on Ping1.mp3.
            std::vector<int16_t> second = madplay(path);
            Comparison refs = compare(reference, second);
            if (refs.maxDiff <= 1 && refs.identical >= 0.99) {
                Comparison c = compare(ours, second);
                EXPECT_LE(c.maxDiff, 1);
                EXPECT_GE(c.identical, 0.99);
                ++bothAgree;
            }
        }
    }
    EXPECT_GT(files, 40);
    EXPECT_GE(bothAgree, files - 4);
    EXPECT_GE(refused, 1);
}

TEST(Reference, HalfQuarterRateEightBitAndDownmix) {
    if (!haveReferences()) GTEST_SKIP() << "lame, mpg123 or madplay missing";
    std::string path = encode("options", testSignalWav(44100, 2, 3.0), "-b 128 -m j");
    std::vector<uint8_t> s = readFile(path);
    for (int ds : {1, 2}) {
        SCOPED_TRACE(ds);
        std::vector<int16_t> ours = asSamples(decodeAll(s, {ds}).pcm);
        Comparison c = compare(ours, mpg123(path, ds == 1 ? "-2" : "-4"));
        EXPECT_EQ(c.samples, ours.size());
        EXPECT_LE(c.maxDiff, 2);
    }
    std::vector<uint8_t> u8 = decodeAll(s, {0, true}).pcm;
    std::vector<uint8_t> ref = runCommand("mpg123 -q --no-gapless -e u8 -s " + quote(path));
    ASSERT_EQ(u8.size(), ref.size());
    size_t same = 0;
    for (size_t i = 0; i < u8.size(); ++i) {
        ASSERT_LE(std::abs(int(u8[i]) - int(ref[i])), 1);
        same += u8[i] == ref[i];
    }
    EXPECT_GE(double(same) / double(u8.size()), 0.99);

    // The shortened downmix window allows no per-sample match: SNR instead.
    Comparison m = compare(asSamples(decodeAll(s, {0, false, true}).pcm), mpg123(path, "-m"));
    EXPECT_GE(m.snrDb, 50.0);
}

// A sine inside one band comes out scaled by that band's gain times the
// preamp's; at 22.05 kHz the borders double.
TEST(Reference, EqualizerScalesASineInsideItsBand) {
    if (!haveTool("lame")) GTEST_SKIP() << "lame missing";
    struct Case {
        uint32_t rate;
        double hz;
        int band, other;
    } cases[] = {{44100, 10000, 6, 2}, {22050, 8000, 6, 1}, {44100, 500, 2, 7}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hz);
        std::string path = encode("sine", sineWav(c.rate, 1, 2.0, c.hz, 0.1), "-b 128");
        std::vector<uint8_t> s = readFile(path);
        double off = rms(asSamples(decodeAll(s).pcm), 4000);
        for (auto [value, preamp] : {std::pair{0, 31}, {20, 31}, {50, 31}, {31, 25}, {10, 40}}) {
            EqualizerSettings eq;
            eq.on = true;
            for (auto& b : eq.bands) b = 31;
            eq.bands[c.band] = value;
            eq.bands[c.other] = 63 - value; // far from the tone: no effect
            eq.preamp = preamp;
            double expected = equalizerGain(value) * equalizerGain(preamp);
            Decoded dd = decodeAll(s, {0, false, false, &eq});
            double got = rms(asSamples(dd.pcm), 4000) / off;
            EXPECT_NEAR(got, expected, expected * 0.03) << value << " " << preamp;
        }
    }
}

TEST(Reference, FreeFormatIsRefused) {
    if (!haveTool("lame")) GTEST_SKIP() << "lame missing";
    std::string path = encode("free", testSignalWav(44100, 2, 1.0), "--freeformat -b 200");
    std::vector<uint8_t> s = readFile(path);
    ASSERT_FALSE(s.empty());
    Decoded d = decodeAll(s);
    EXPECT_EQ(d.frames, 0);
    EXPECT_EQ(d.statuses.back(), sscSyncEof);
}
