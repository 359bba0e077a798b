// One of the twelve XM channels that a conversion writes, with the state that
// turns the chip's period and volume of each frame into a packed pattern cell.
#ifndef TOLVERN_XM_CHANNEL_H
#define TOLVERN_XM_CHANNEL_H

#include <cstdint>

namespace tolvern {

constexpr int kXmChannels = 12;
constexpr int kMaxCellSize = 5;

class XmChannel {
public:
    void SetPeriod(unsigned period, int line);
    void SetVolume(int v) { Volume = v & 255; }
    void SetSample(int n) { Sample = n & 255; }
    void SetState(int s) { State = s; }
    // Writes this row's packed cell and returns its length (1 to 5 bytes).
    int WriteChannel(uint8_t* cell);
    int LogVolume() const;

    static uint32_t GetSamplesPPL(unsigned count, unsigned prescale);
    static uint32_t GetEnvPeriod(unsigned period, unsigned shape);

    uint16_t LastPeriod = 0;
    uint16_t Period = 0;
    int LastTuning = 0;
    int TuningDifference = 0;
    int LastState = 1;
    int State = 0;
    int Sample = 0;
    int Volume = 0;
    int lastline = 0;
    int Buzzer = 0;
    int BuzzerVolume = 0;
    int DigiSample = 0;
    uint32_t SamplesPPL = 0;
    uint32_t TotalSamplesPlayed = 0;
    int Tuning = 0;
    int FirstNote = 1;
    int SamplePlays = 0;
    int NewHit = 0;
};

} // namespace tolvern

#endif
