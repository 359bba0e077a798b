// The conversion, checked cell by cell through libopenmpt: notes and fine steps
// from periods, silence, envelope voices and digidrums.
#include "tolvern/notes.h"
#include "tolvern/tests/xm_check.h"
#include "tolvern/xm_channel.h"

#include <gtest/gtest.h>

using namespace tolvern;
using namespace tolvern::test;

namespace {

// Voice A plays each period in turn at a volume, one frame each.
YmSong toneSong(const std::vector<std::pair<unsigned, unsigned>>& periodsAndVolumes,
                const char* magic = "YM5!") {
    YmSong song;
    song.magic = magic;
    for (auto [period, volume] : periodsAndVolumes) {
        Registers r = silentFrame();
        playTone(r, 0, period, volume);
        song.frames.push_back(r);
    }
    return song;
}

} // namespace

TEST(Notes, PeriodTableAndFineSteps) {
    const NoteTables& t = InitNotes();
    EXPECT_EQ(std::vector<int>(t.period, t.period + 4), (std::vector<int>{3822, 3608, 3405, 3214}));
    EXPECT_EQ(std::vector<int>(t.period + 94, t.period + 98), (std::vector<int>{17, 16, 15, -1}));
    struct Case {
        int period, note, tuning;
    } cases[] = {{3822, 0, 0},  {3821, 0, 1}, {478, 36, 0}, {451, 37, 0},
                 {120, 59, 14}, {17, 94, 0},  {16, 95, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(t.Note[c.period], c.note) << c.period;
        EXPECT_EQ(t.NoteTuning[c.period], c.tuning) << c.period;
    }
    // Within each note the fine step rises as the period falls toward the next.
    for (int p = 17; p < 3822; ++p)
        if (t.Note[p] == t.Note[p + 1]) {
            EXPECT_GE(t.NoteTuning[p], t.NoteTuning[p + 1]) << p;
        }
}

TEST(Notes, TimerAndEnvelopeArithmetic) {
    EXPECT_EQ(XmChannel::GetSamplesPPL(0, 3), 100000u);
    EXPECT_EQ(XmChannel::GetSamplesPPL(123, 1), 2457600u / 4 / 123 / 50);
    EXPECT_EQ(XmChannel::GetSamplesPPL(10, 7), 2457600u / 200 / 10 / 50);
    // A stopped timer ends the drum at once instead of holding its voice.
    EXPECT_EQ(XmChannel::GetSamplesPPL(50, 0), 100000u);
    // A timer slower than one sample per row still moves the drum on.
    EXPECT_EQ(XmChannel::GetSamplesPPL(255, 7), 1u);
    EXPECT_EQ(XmChannel::GetEnvPeriod(20, 10), 320u);
    EXPECT_EQ(XmChannel::GetEnvPeriod(20, 14), 320u);
    EXPECT_EQ(XmChannel::GetEnvPeriod(20, 255), 320u);
    EXPECT_EQ(XmChannel::GetEnvPeriod(20, 8), 640u);
    EXPECT_EQ(XmChannel::GetEnvPeriod(20, 0x1A), 320u);
}

TEST(Convert, ToneCellsFollowThePeriods) {
    TempDir dir;
    ConvertedSong xm(toneSong({{478, 15},  // first note: note 37, no fine step
                               {451, 15},  // one semitone up: volume and slide
                               {451, 12},  // volume only
                               {478, 0},   // volume 0: slide down alone
                               {120, 13},  // an octave and more: a new note with its fine step
                               {10, 13},   // below 16: silent
                               {10, 13},   // and silent again
                               {3900, 13}, // above 3821: silent
                               {478, 9}}), // back: a new note (more than an octave)
                     dir);
    const std::vector<Cell> first = {
        noteCell(37, 1, 60),
        volumeCell(60, effectPortaUp, 16),
        volumeCell(36),
        effectCell(effectPortaDown, 16),
        noteCell(60, 1, 44, effectPortaUp, 14),
        volumeCell(0),
        volumeCell(0),
        volumeCell(0),
        noteCell(37, 1, 20),
    };
    for (size_t row = 0; row < first.size(); ++row) {
        EXPECT_EQ(xm.cell(int(row), 0), first[row]) << "row " << row;
        Cell second = first[row];
        if (second.instrument) second.instrument = 2;
        EXPECT_EQ(xm.cell(int(row), 1), second) << "row " << row;
    }
    // Unused voices: one silencing cell, then silence; noise and envelope too.
    for (int channel : {2, 6, 9})
        for (int row : {0, 1, 8}) EXPECT_EQ(xm.cell(row, channel), volumeCell(0)) << channel;
    EXPECT_TRUE(xm.sink.messages.empty());
}

TEST(Convert, NoiseAndEnvelopeVoices) {
    TempDir dir;
    YmSong song;
    Registers r = silentFrame();
    playTone(r, 0, 1000, 16); // voice A in envelope mode
    setEnvelope(r, 20, 10);   // 20 x 16 = 320, below the tone period
    r[rMixer] &= ~0x10;       // noise on voice B
    r[rVolumeB] = 15;
    r[rNoise] = 31;
    song.frames = {r, r};
    Registers shape255 = r;
    setEnvelope(shape255, 20, 255); // counts as shape 10: 320 again
    song.frames.push_back(shape255);
    Registers shape8 = r;
    setEnvelope(shape8, 20, 8); // 640
    song.frames.push_back(shape8);
    // Tone period 0 in envelope mode takes the envelope's period; one beyond
    // twelve bits is out of range, not wrapped (600 x 32 would wrap to 2816).
    Registers noTone = r;
    setTone(noTone, 0, 0);
    setEnvelope(noTone, 600, 8);
    song.frames.push_back(noTone);
    ConvertedSong xm(song, dir);

    EXPECT_EQ(xm.cell(0, 0), noteCell(24, 4, 60, effectPortaUp, 4)); // period 1000
    EXPECT_EQ(xm.cell(0, 1), noteCell(24, 5, 60, effectPortaUp, 4));
    EXPECT_EQ(xm.cell(0, 9), noteCell(43, 6, 60, effectPortaUp, 15)); // period 320
    EXPECT_EQ(xm.cell(1, 9), volumeCell(60));
    EXPECT_EQ(xm.cell(2, 9), volumeCell(60));
    EXPECT_EQ(xm.cell(3, 9), volumeCell(60, effectPortaDown, 192)); // 320 to 640: one octave
    EXPECT_EQ(xm.cell(4, 0), volumeCell(0));
    // The noise channel of voice B: period 31 / 32 + 17, note 95.
    EXPECT_EQ(xm.cell(0, 7), noteCell(95, 3, 60));
    EXPECT_EQ(xm.cell(1, 7), volumeCell(60));
    EXPECT_EQ(xm.cell(0, 6), volumeCell(0));
    // Voice A leaves envelope mode: a new note with the tone instruments.
    YmSong back = song;
    Registers plain = r;
    playTone(plain, 0, 1000, 15);
    back.frames = {r, plain};
    ConvertedSong xm2(back, dir, "back");
    EXPECT_EQ(xm2.cell(1, 0), noteCell(24, 1, 60, effectPortaUp, 4));
    EXPECT_EQ(xm2.cell(1, 9), volumeCell(0));
}

TEST(Convert, DigidrumsPlayOnTheirVoice) {
    TempDir dir;
    YmSong song;
    song.drums = {std::vector<uint8_t>(1000, 0x80), std::vector<uint8_t>(10, 0x80)};
    auto drumFrame = [](int drum, unsigned prescale, unsigned count) {
        Registers r = silentFrame();
        playTone(r, 0, 300, 15);
        r[rToneB + 1] = 0x10;                        // drum on voice A
        r[rVolumeA] = uint8_t(drum | prescale << 5); // drum number and timer prescale
        r[rTimer2] = uint8_t(count);
        return r;
    };
    Registers tone = silentFrame();
    playTone(tone, 0, 300, 15);
    song.frames.push_back(tone);
    // Drum 0 at 2,457,600 / 4 / 123 / 50 = 99 samples a row lasts 11 rows.
    song.frames.push_back(drumFrame(0, 1, 123));
    for (int i = 0; i < 12; ++i) song.frames.push_back(tone);
    song.frames.push_back(drumFrame(1, 1, 0)); // count 0: over at the next frame
    song.frames.push_back(tone);
    song.frames.push_back(drumFrame(1, 0, 123)); // prescale 0: the same
    song.frames.push_back(tone);
    song.frames.push_back(drumFrame(5, 1, 123)); // no such drum: no drum
    ConvertedSong xm(song, dir);

    const Cell toneNote = noteCell(45, 1, 60, effectPortaUp, 1); // period 300
    EXPECT_EQ(xm.cell(0, 0), toneNote);
    EXPECT_EQ(xm.cell(1, 0), noteCell(37, 17, 60));
    EXPECT_EQ(xm.cell(1, 1), noteCell(37, 17, 60));
    for (int row = 2; row <= 11; ++row) EXPECT_EQ(xm.cell(row, 0), volumeCell(60)) << row;
    // The first period after the drum: a new note on its fine step.
    EXPECT_EQ(xm.cell(12, 0), toneNote);
    EXPECT_EQ(xm.cell(12, 1), noteCell(45, 2, 60, effectPortaUp, 1));
    EXPECT_EQ(xm.cell(13, 0), volumeCell(60));
    EXPECT_EQ(xm.cell(14, 0), noteCell(37, 18, 60));
    EXPECT_EQ(xm.cell(15, 0), toneNote);
    EXPECT_EQ(xm.cell(16, 0), noteCell(37, 18, 60));
    EXPECT_EQ(xm.cell(17, 0), toneNote);
    EXPECT_EQ(xm.cell(18, 0), volumeCell(8)); // volume byte 0x25 as a plain volume
    EXPECT_EQ(xm.cell(18, 2), volumeCell(0)); // voice B plays no drum either

    // The same registers in the older formats start no drum.
    for (const char* magic : {"YM2!", "YM3!", "YM4!"}) {
        YmSong old = song;
        old.magic = magic;
        ConvertedSong o(old, dir, std::string("old") + magic[2]);
        for (int row = 0; row < int(song.frames.size()); ++row)
            for (int channel : {0, 1, 2, 3})
                EXPECT_LT(o.cell(row, channel).instrument, 17) << magic << " row " << row;
    }
}
