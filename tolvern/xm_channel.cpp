#include "tolvern/xm_channel.h"

#include "tolvern/notes.h"

#include <cstdlib>

namespace tolvern {

namespace {

constexpr uint32_t kTimerClock = 2457600;
constexpr uint32_t kFramesPerSecond = 50;
constexpr uint32_t kPrescaleDivisors[8] = {0, 4, 10, 16, 50, 64, 100, 200};
// So many samples per row that any digidrum ends at the next frame.
constexpr uint32_t kStopSamples = 100000;
constexpr int kOctave = 192; // sixteenths of a semitone

enum : uint8_t {
    kMask = 0x80,
    kHasNote = 0x01,
    kHasInstrument = 0x02,
    kHasVolume = 0x04,
    kHasEffect = 0x08,
    kHasParameter = 0x10,
    kVolumeBase = 0x10,
    kPortamentoUp = 1,
    kPortamentoDown = 2,
};

} // namespace

void XmChannel::SetPeriod(unsigned period, int line) {
    const unsigned p = period & 0xFFF;
    if (p > unsigned(kHighestPeriod) || p < unsigned(kLowestPeriod)) {
        State = 0;
        return;
    }
    const NoteTables& t = InitNotes();
    LastPeriod = Period;
    Period = uint16_t(p);
    const int c =
        (t.Note[p] * 16 + t.NoteTuning[p]) - (t.Note[LastPeriod] * 16 + t.NoteTuning[LastPeriod]);
    if (std::abs(c) > kOctave || NewHit) {
        Tuning = t.NoteTuning[p];
        NewHit = 1;
        lastline = line;
        // This note is the first one, too: striking it again a row later
        // would restart a note that the chip holds.
        FirstNote = 0;
        return;
    }
    Tuning = c;
    if (FirstNote) {
        Tuning = t.NoteTuning[p];
        NewHit = 1;
        FirstNote = 0;
    }
}

int XmChannel::LogVolume() const {
    return kLogVolume[Volume & 15];
}

int XmChannel::WriteChannel(uint8_t* cell) {
    if (SamplePlays) {
        TotalSamplesPlayed += SamplesPPL;
        if (!NewHit && Sample < 16) {
            LastState = State;
            cell[0] = kMask;
            return 1;
        }
    }
    if (State != LastState && State == 0) {
        LastState = 0;
        cell[0] = kMask | kHasVolume;
        cell[1] = kVolumeBase;
        return 2;
    }
    if (State != LastState || State == 1 || NewHit) {
        LastState = State;
        const uint8_t volume = uint8_t(LogVolume() + kVolumeBase);
        const uint8_t effect = Tuning > 0 ? kPortamentoUp : kPortamentoDown;
        if (NewHit) {
            cell[0] = uint8_t(InitNotes().Note[Period] + 1);
            cell[1] = uint8_t(Sample);
            cell[2] = volume;
            cell[3] = Tuning > 0 ? kPortamentoUp : 0;
            cell[4] = Tuning > 0 ? uint8_t(Tuning) : 0;
            NewHit = 0;
            return 5;
        }
        if (Volume != 0 && Tuning == 0) {
            cell[0] = kMask | kHasVolume;
            cell[1] = volume;
            return 2;
        }
        if (Volume == 0 && Tuning != 0) {
            cell[0] = kMask | kHasEffect | kHasParameter;
            cell[1] = effect;
            cell[2] = uint8_t(std::abs(Tuning));
            Tuning = 0;
            return 3;
        }
        if (Volume != 0) {
            cell[0] = kMask | kHasVolume | kHasEffect | kHasParameter;
            cell[1] = volume;
            cell[2] = effect;
            cell[3] = uint8_t(std::abs(Tuning));
            Tuning = 0;
            return 4;
        }
        cell[0] = kMask | kHasVolume;
        cell[1] = kVolumeBase;
        return 2;
    }
    if (SamplePlays) {
        cell[0] = kMask;
        return 1;
    }
    cell[0] = kMask | kHasVolume;
    cell[1] = kVolumeBase;
    return 2;
}

uint32_t XmChannel::GetSamplesPPL(unsigned count, unsigned prescale) {
    // A stopped timer (prescale 0) plays no drum, like a count of 0.
    if (count == 0 || prescale == 0) return kStopSamples;
    const uint32_t samples =
        kTimerClock / kPrescaleDivisors[prescale & 7] / count / kFramesPerSecond;
    // A drum slower than one sample per row would otherwise hold its voice forever.
    return samples ? samples : 1;
}

uint32_t XmChannel::GetEnvPeriod(unsigned period, unsigned shape) {
    if (shape == 255) shape = 10;
    return (shape & 15) == 10 || (shape & 15) == 14 ? period * 16 : period * 32;
}

} // namespace tolvern
