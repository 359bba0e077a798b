#include "tolvern/ym.h"

#include "tolvern/notes.h"
#include "tolvern/xm_channel.h"
#include "tolvern/xm_module.h"

#include <algorithm>

namespace tolvern {

namespace {

constexpr unsigned kDrumPeriod = 478; // note 37 with no fine step
constexpr int kFirstDrumInstrument = 17;
constexpr int kEnvelopeFlag = 0x10;
constexpr int kFullVolume = 15;
constexpr int kMaxFrames = kXmMaxPatterns * kXmRows;

// An envelope period beyond the 12 bits of a register is out of the tone range;
// masking it would play it at an unrelated pitch.
unsigned envelopePeriod(const _corvel_YM_LINE& l) {
    return std::min<uint32_t>(XmChannel::GetEnvPeriod(l.WaveformPeriod, l.WaveformShape), 0xFFF);
}

class RowWriter {
public:
    explicit RowWriter(XmModule& module) : module_(module) {}
    void operator()(XmChannel& c) {
        uint8_t cell[kMaxCellSize];
        module_.WriteToPattern(cell, c.WriteChannel(cell));
    }

private:
    XmModule& module_;
};

} // namespace

int _corvel_YM::Convert(const char* xmName, XmModule& module, XmChannel* ch) {
    if (ymLines == 0) {
        report(ymType == kYm3b ? "YM3b files cannot be converted !" : "No frames to convert !",
               "Error");
        return 0;
    }
    int frames = ymLines;
    if (frames > kMaxFrames) {
        frames = kMaxFrames;
        report("The song is longer than 256 patterns: only its first 65536 frames are converted.",
               "Warning :");
    }
    for (int x = 0; x < 3; ++x) {
        ch[2 * x].SetSample(1);
        ch[2 * x + 1].SetSample(2);
        ch[6 + x].SetSample(3);
        ch[9 + x].SetSample(6);
    }
    for (int i = 0; i < 9; ++i) ch[i].SetState(0);
    InitNotes();
    RowWriter write(module);

    for (int f = 0; f < frames; ++f) {
        _corvel_YM_LINE l = songLine[size_t(f)];
        uint8_t* volume[3] = {&l.VolumeA, &l.VolumeB, &l.VolumeC};
        const uint16_t period[3] = {l.PeriodA, l.PeriodB, l.PeriodC};

        for (int x = 0; x < 3; ++x) {
            XmChannel& a = ch[2 * x];
            if (a.SamplePlays && a.TotalSamplesPlayed >= sampleLength[a.DigiSample]) {
                for (XmChannel* c : {&a, &ch[2 * x + 1]}) {
                    c->SamplePlays = 0;
                    c->FirstNote = 1;
                }
            }
        }

        const int drumVoice = ymType >= 5 ? (l.PeriodB >> 12) & 3 : 0;
        if (drumVoice) {
            const int n = *volume[drumVoice - 1] & 31;
            if (n < ymSampleAmount) {
                const unsigned prescale = (l.VolumeA >> 5) & 7;
                const unsigned count = l.Timer2;
                *volume[drumVoice - 1] = kFullVolume;
                for (XmChannel* c : {&ch[2 * drumVoice - 2], &ch[2 * drumVoice - 1]}) {
                    c->DigiSample = n;
                    c->SetSample(kFirstDrumInstrument + n);
                    c->SetPeriod(kDrumPeriod, f);
                    c->SetVolume(kFullVolume);
                    c->NewHit = 1;
                    c->Tuning = 0;
                    c->SamplePlays = 1;
                    c->TotalSamplesPlayed = 0;
                    c->SamplesPPL = XmChannel::GetSamplesPPL(count, prescale);
                }
            }
        } else {
            for (int x = 0; x < 3; ++x) {
                XmChannel& a = ch[2 * x];
                XmChannel& b = ch[2 * x + 1];
                if (a.SamplePlays) continue;
                const bool envelope = *volume[x] & kEnvelopeFlag;
                if (envelope != bool(a.Buzzer)) a.NewHit = b.NewHit = 1;
                a.SetSample(envelope ? 4 : 1);
                b.SetSample(envelope ? 5 : 2);
                if (envelope) a.BuzzerVolume = b.BuzzerVolume = kFullVolume;
                a.Buzzer = b.Buzzer = envelope;
            }
        }

        const int timerVoice = (l.PeriodA >> 12) & 3;
        for (int x = 0; x < 3; ++x) {
            XmChannel& a = ch[2 * x];
            XmChannel& b = ch[2 * x + 1];
            const bool silent = (l.MixerControl & (1 << x)) && !a.Buzzer && timerVoice != x + 1;
            if (!a.SamplePlays) {
                unsigned p = period[x];
                int v = *volume[x];
                if (a.Buzzer) {
                    if (p == 0) p = envelopePeriod(l);
                    v = a.BuzzerVolume;
                }
                for (XmChannel* c : {&a, &b}) {
                    c->SetState(silent ? 0 : 1);
                    if (silent) continue;
                    c->SetPeriod(p, f);
                    c->SetVolume(v);
                }
            }
            write(a);
            write(b);
        }

        for (int x = 0; x < 3; ++x) {
            XmChannel& c = ch[6 + x];
            if (l.MixerControl & (8 << x)) {
                c.SetState(0);
            } else {
                c.SetState(1);
                c.SetPeriod(l.PeriodNoice / 32 + 17, f);
                c.SetVolume(*volume[x]);
            }
            write(c);
        }

        // Voice A's envelope channel keeps the tone when the envelope is not
        // above 15 and below it; B and C fall silent at an envelope period of 0.
        for (int x = 0; x < 3; ++x) {
            XmChannel& c = ch[9 + x];
            if (!ch[2 * x].Buzzer) {
                c.SetState(0);
            } else {
                c.SetState(1);
                const unsigned e = envelopePeriod(l);
                const unsigned tone = period[x] & 0xFFF;
                const bool useEnvelope = x == 0 ? e > 15 && e < tone : e < tone;
                c.SetPeriod(useEnvelope ? e : period[x], f);
                c.SetVolume(useEnvelope ? kFullVolume : *volume[x]);
            }
            write(c);
        }
        module.NextLine();
    }
    return module.SaveModule(xmName, *this, sink_) ? 1 : 0;
}

} // namespace tolvern
