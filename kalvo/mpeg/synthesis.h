// Polyphase synthesis of one channel: 32, 16 or 8 subband samples per time
// slot into as many PCM samples, with the standard window or the shortened
// one that the downmix uses.
#pragma once

#include <cstdint>

namespace kalvo {

class Synthesis {
public:
    void reset();

    // The 18 time slots of a granule: in holds per subband (32 >> downsample
    // of them) its 18 slots, rows padded to 20; out gets per slot as many PCM
    // samples (scaled to 16 bits, not yet rounded). shortened: the downmix
    // window.
    void granule(const float (*in)[20], int downsample, bool shortened, float (*out)[32]);

    // Slots kept: the 15 that a slot's sums reach back to, plus the four
    // slots transformed together.
    static constexpr int historySlots = 32;

private:
    float history_[historySlots][64]; // per slot the 2 x subbands values of its transform
    int slot_ = 0;
};

// The window coefficient D[i] of the standard (i = 0..511).
double synthesisWindow(int i);

// Rounds each of n (a multiple of 8) samples per channel to the nearest
// whole number, halves to even, clips it to 16 bits and writes it in host
// order, interleaved with the other channel's when right is not null; 8-bit
// output is that value plus 32,768, shifted right by 8.
void toPcm16(const float* left, const float* right, int n, uint8_t* out);
void toPcm8(const float* left, const float* right, int n, uint8_t* out);

} // namespace kalvo
