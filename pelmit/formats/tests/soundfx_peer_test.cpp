// SoundFX against the two peers that play it: song lengths and pattern counts
// against openmpt123 --info, periods and volumes tick by tick against libxmp.
// Where they differ, the test pins the difference down to the rule that makes
// it, so a change on either side shows up here.
#include "pelmit/formats/soundfx_player.h"
#include "pelmit/mixer/tests/mixer_rig.h"
#include "player_session.h"

#include <xmp.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace pelmit;
using namespace pelmit::test;

namespace {

// One tick of the four channels: period and volume (0-255 as the Mixer takes it).
struct ChannelState {
    double period;
    int volume;
};
using Tick = std::array<ChannelState, 4>;

SfxSampleSpec looped(uint16_t volume) {
    SfxSampleSpec s;
    s.name = "square";
    s.data = squareWave(64);
    s.volume = volume;
    s.loopLengthWords = 32;
    return s;
}

// libxmp's frames from the start; its row 0 plays on frame 0.
std::vector<Tick> peerFrames(const std::string& path, size_t count) {
    std::vector<Tick> frames;
    xmp_context c = xmp_create_context();
    if (xmp_load_module(c, path.c_str()) != 0) {
        xmp_free_context(c);
        return frames;
    }
    xmp_start_player(c, 44100, 0);
    xmp_frame_info info;
    while (frames.size() < count && xmp_play_frame(c) == 0) {
        xmp_get_frame_info(c, &info);
        Tick t;
        for (int ch = 0; ch < 4; ++ch)
            t[size_t(ch)] = {info.channel_info[ch].period / 4096.0,
                             info.channel_info[ch].volume * 255 >> 6};
        frames.push_back(t);
    }
    xmp_end_player(c);
    xmp_release_module(c);
    xmp_free_context(c);
    return frames;
}

struct OpenmptInfo {
    int durationMs = -1;
    int patterns = -1;
};

OpenmptInfo openmptInfo(const std::string& path) {
    OpenmptInfo info;
    std::string command = "openmpt123 --info '" + path + "' 2>/dev/null";
    // A file it refuses leaves the figures unset, which the test then shows.
    int status = 0;
    const std::string out = jk::test::commandOutput(command, &status);
    // "Duration...: 00:07.663" and "Patterns...: 1"
    int minutes, seconds, ms;
    if (const char* d = std::strstr(out.c_str(), "Duration"))
        if (std::sscanf(std::strchr(d, ':') + 1, "%d:%d.%d", &minutes, &seconds, &ms) == 3)
            info.durationMs = minutes * 60000 + seconds * 1000 + ms;
    if (const char* p = std::strstr(out.c_str(), "Patterns"))
        std::sscanf(std::strchr(p, ':') + 1, "%d", &info.patterns);
    return info;
}

class SoundFxPeerTest : public PlayerSession<SoundFxPlayer> {
protected:
    // Pelmit's ticks from the one that reads row 0 (tick 6, after the five
    // silent ticks every SoundFX song starts with), so that index i lines up
    // with libxmp's frame i.
    std::vector<Tick> ownTicks(const Bytes& bytes, size_t count) {
        start(bytes);
        ticks(5);
        std::vector<Tick> out;
        while (out.size() < count && !player->songFinished()) {
            ticks(1);
            Tick t;
            for (int ch = 0; ch < 4; ++ch) {
                const VoiceCommand& c = player->channel(ch).command;
                t[size_t(ch)] = {double(c.period >> 16), c.volume};
            }
            out.push_back(t);
        }
        return out;
    }
    // Both sides tick by tick for a one-pattern song.
    void compare(const SfxSong& song, std::vector<Tick>& own, std::vector<Tick>& peer) {
        Bytes bytes = soundFxBytes(song);
        peer = peerFrames(write(bytes, "peer.sfx"), 6 * 64);
        ASSERT_EQ(peer.size(), 6u * 64) << "libxmp did not play the file";
        own = ownTicks(bytes, 6 * 64);
    }
};

// Periods agree when they name the same note: the peer computes them from an
// even-tempered scale (339.70, 571.31 where the table has 339, 570).
bool samePeriod(double own, double peer) {
    if (own == peer) return true;
    auto nearest =
        std::min_element(sfxPeriods.begin(), sfxPeriods.end(), [&](uint16_t a, uint16_t b) {
            return std::fabs(a - peer) < std::fabs(b - peer);
        });
    return std::fabs(*nearest - peer) < 2 && own == *nearest;
}

} // namespace

TEST_F(SoundFxPeerTest, LengthsAndPatternCountsMatchOpenmpt) {
    if (std::system("openmpt123 --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no openmpt123";
    const struct {
        uint16_t timer;
        uint8_t length;
        std::vector<uint8_t> orders;
        size_t patterns;
    } cases[] = {
        {14187, 1, {0}, 1},         {10000, 2, {0, 1, 7}, 2}, {20000, 3, {1, 0, 1}, 2},
        {5000, 4, {0, 0, 2, 1}, 3}, {30000, 1, {2}, 3},
    };
    for (const auto& c : cases) {
        SfxSong song;
        song.samples = {looped(64)};
        song.timer = c.timer;
        song.length = c.length;
        song.orders = c.orders;
        song.patterns.assign(c.patterns, SfxPatternSpec{});
        for (auto& p : song.patterns) p[0][0] = {428, 1, 0, 0};
        Bytes bytes = soundFxBytes(song);
        OpenmptInfo peer = openmptInfo(write(bytes, "length.sfx"));
        ASSERT_TRUE(load(bytes));
        EXPECT_EQ(int(player->patternCount()), peer.patterns) << c.timer;
        // The tick is trunc(timer x rate / 709,378.92) frames, the PAL CIA
        // clock; openmpt123 turns the timer into a tempo of its own, which
        // runs 0.1-0.25% faster.
        const int own = player->songLengthMs();
        EXPECT_GE(own, peer.durationMs) << c.timer;
        EXPECT_LE(own, peer.durationMs * 1.003) << c.timer;
        std::printf("timer %5u, %u orders: Pelmit %6d ms, openmpt123 %6d ms (%+.2f%%)\n", c.timer,
                    c.length, own, peer.durationMs,
                    100.0 * (own - peer.durationMs) / peer.durationMs);
    }
}

TEST_F(SoundFxPeerTest, NotesVolumesAndSpecialWordsMatchLibxmp) {
    SfxSong song;
    song.samples = {looped(60), looped(40), looped(20)};
    auto& p = song.patterns[0];
    p[0] = {{{428, 1, 0, 0}, {856, 2, 0, 0}, {113, 3, 0, 0}, {254, 1, 5, 10}}};
    p[2] = {{{0, 2, 0, 0}, {0xFFFE, 0, 0, 0}, {320, 0, 0, 0}, {0, 1, 6, 70}}};
    p[4] = {{{0, 3, 0, 0}, {404, 3, 6, 5}, {0, 3, 5, 50}, {214, 2, 0, 0}}};
    p[6] = {{{0xFFFE, 0, 0, 0}, {0, 0, 0, 0}, {0xFFFE, 1, 0, 0}, {0, 0, 0, 0}}};
    p[8] = {{{570, 1, 0, 0}, {}, {480, 1, 0, 0}, {808, 3, 6, 25}}};
    std::vector<Tick> own, peer;
    compare(song, own, peer);
    ASSERT_EQ(own.size(), 6u * 63 + 1) << "the last row plays one tick";
    for (size_t i = 0; i < own.size(); ++i)
        for (size_t ch = 0; ch < 4; ++ch) {
            EXPECT_TRUE(samePeriod(own[i][ch].period, peer[i][ch].period))
                << "tick " << i << " channel " << ch << ": " << own[i][ch].period << " vs "
                << peer[i][ch].period;
            EXPECT_EQ(own[i][ch].volume, peer[i][ch].volume) << "tick " << i << " channel " << ch;
        }
}

TEST_F(SoundFxPeerTest, DocumentedDifferencesFromLibxmp) {
    SfxSong song;
    song.samples = {looped(64), looped(48)};
    auto& p = song.patterns[0];
    p[0] = {{{428, 1, 1, 0x47}, {428, 1, 2, 0x30}, {428, 1, 7, 0x23}, {1712, 1, 0, 0}}};
    p[2] = {{{0, 0, 1, 0x47}, {0xFFFD, 2, 5, 1}, {}, {0xFE10, 2, 0, 0}}};
    p[4][2] = {0xFFFE, 0, 0, 0};
    p[6][2] = {453, 0, 0, 0};
    std::vector<Tick> own, peer;
    compare(song, own, peer);
    auto period = [](const std::vector<Tick>& t, size_t i, size_t ch) { return t[i][ch].period; };

    // Arpeggio: the same three notes, but ticks 4 and 5 take the low and then
    // the high nibble (the replay order of SoundFX 1.3), where the peer repeats
    // high, low.
    for (size_t t : {1u, 2u, 3u})
        EXPECT_TRUE(samePeriod(period(own, t, 0), period(peer, t, 0))) << t;
    EXPECT_TRUE(samePeriod(period(own, 4, 0), period(peer, 5, 0)));
    EXPECT_TRUE(samePeriod(period(own, 5, 0), period(peer, 4, 0)));
    EXPECT_EQ(period(own, 4, 0), 285);

    // Pitch bend: only on the row's later ticks and from its note; the peer
    // bends on the row's first tick too, so it is one step ahead.
    for (size_t t = 1; t < 6; ++t) {
        EXPECT_EQ(period(own, t, 1), 428 + 3.0 * double(t)) << t;
        EXPECT_NEAR(period(peer, t, 1), period(own, t, 1) + 3, 0.01) << t;
    }
    EXPECT_EQ(period(own, 6, 1), 443) << "the next row without a note bends nothing";

    // Slide 0x23: by 3 a tick from the second tick toward two notes down (480);
    // the peer reads the parameter its own way.
    const double slide[] = {428, 428, 431, 434, 437, 440, 440, 443};
    for (size_t t = 0; t < 8; ++t) EXPECT_EQ(period(own, t, 2), slide[t]) << t;
    EXPECT_EQ(period(own, 6 * 3 + 5, 2), 480);
    EXPECT_NE(period(peer, 2, 2), period(own, 2, 2));

    // The lowest octave (1712-907) plays; the peer holds periods at 856.
    EXPECT_EQ(period(own, 0, 3), 1712);
    EXPECT_EQ(period(peer, 0, 3), 856);

    // An arpeggio on a row without a note reads the top of the table (113);
    // the peer bends the playing note.
    EXPECT_EQ(period(own, 12 + 1, 0), 113);
    EXPECT_TRUE(samePeriod(period(peer, 12 + 3, 0), period(peer, 12, 0)));

    // A period word that is neither a note nor a special code (0xFE10) is no
    // note, and its sample number sets the volume; the peer silences the channel.
    EXPECT_EQ(own[12][3].volume, 48 * 255 >> 6);
    EXPECT_EQ(peer[12][3].volume, 0);
    EXPECT_EQ(period(own, 12, 3), 1712);

    // 0xFFFD cancels the row's sample and effect and leaves the channel as it
    // was; the peer silences it.
    EXPECT_EQ(own[12][1].volume, 255);
    EXPECT_EQ(peer[12][1].volume, 0);

    // Only a sample number sets the volume, so a note without one after 0xFFFE
    // stays silent; the peer gives it full volume.
    EXPECT_EQ(own[36][2].volume, 0);
    EXPECT_EQ(period(own, 36, 2), 453);
    EXPECT_EQ(peer[36][2].volume, 255);
}
