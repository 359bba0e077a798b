// The inner mixing loops: plain or interpolated, normal or word-swapped byte
// order, into one destination or two. A run never crosses the end of the
// stretch it plays, so the loops carry no bounds test: per frame one table
// lookup (two for interpolation, plus a multiply) and one 16-bit addition.
#pragma once

#include <cstdint>

namespace pelmit {

// One run of a voice.
struct MixRun {
    const int8_t* data; // the voice's position
    uint32_t offset;    // 16.16 read point of the first frame, from data
    uint32_t step;      // 16.16 per frame, not 0
    uint32_t frames;
    uint32_t lastIndex; // integer offset of the last frame's read point
    int8_t next;        // the byte after lastIndex: loop start, or 0 at a stretch's end
};

// A table row points at the entry of sample 0, so a signed byte indexes it.
using MixLoop = void (*)(const MixRun& run, int16_t* first, const int16_t* firstRow,
                         int16_t* second, const int16_t* secondRow);

namespace mixing {

// Word-swapped memory holds host-order 16-bit words: sample byte k is memory
// byte k XOR 1 (positions are even, so this holds from any position).
template <bool Swapped>
inline int8_t sampleAt(const int8_t* data, uint32_t k) {
    if constexpr (Swapped) {
        return data[k ^ 1u];
    } else {
        return data[k];
    }
}

// Additions wrap like the 16-bit adds they model; nothing saturates.
inline void addWrapped(int16_t& destination, int32_t value) {
    destination = static_cast<int16_t>(static_cast<uint16_t>(destination + value));
}

// Interpolates on the looked-up table values. The difference of two entries
// times the fraction can pass 31 bits, so the product is 64-bit; the shift
// rounds toward minus infinity.
inline int32_t lerp(int32_t a, int32_t c, uint32_t fraction) {
    return a + static_cast<int32_t>((int64_t(c - a) * int64_t(fraction & 0xFFFF)) >> 16);
}

template <bool Swapped, bool Both>
void mixPlain(const MixRun& run, int16_t* first, const int16_t* firstRow, int16_t* second,
              const int16_t* secondRow) {
    uint32_t o = run.offset;
    const uint32_t d = run.step;
    for (uint32_t i = 0; i < run.frames; ++i) {
        const int8_t s = sampleAt<Swapped>(run.data, o >> 16);
        addWrapped(first[i], firstRow[s]);
        if constexpr (Both) addWrapped(second[i], secondRow[s]);
        o += d;
    }
}

template <bool Swapped, bool Both>
void mixInterpolated(const MixRun& run, int16_t* first, const int16_t* firstRow, int16_t* second,
                     const int16_t* secondRow) {
    uint32_t o = run.offset;
    const uint32_t d = run.step;
    // Frames whose read point lies before the last byte read their following
    // byte from the run itself; the rest lie on the last byte and use `next`.
    const uint32_t lastStart = run.lastIndex << 16;
    uint32_t inner = o < lastStart ? (lastStart - o - 1) / d + 1 : 0;
    if (inner > run.frames) inner = run.frames;
    uint32_t i = 0;
    // Below one byte per frame, which is most notes, several frames in a row
    // share their two bytes: look them up once per byte, not per frame.
    while (i < inner) {
        const uint32_t k = o >> 16;
        const int8_t s0 = sampleAt<Swapped>(run.data, k);
        const int8_t s1 = sampleAt<Swapped>(run.data, k + 1);
        const int32_t a = firstRow[s0], c = firstRow[s1];
        const int32_t a2 = Both ? secondRow[s0] : 0, c2 = Both ? secondRow[s1] : 0;
        const uint32_t nextByte = (k + 1) << 16;
        do {
            addWrapped(first[i], lerp(a, c, o));
            if constexpr (Both) addWrapped(second[i], lerp(a2, c2, o));
            o += d;
            ++i;
        } while (i < inner && o < nextByte);
    }
    const int8_t s0 = sampleAt<Swapped>(run.data, run.lastIndex);
    const int8_t s1 = run.next;
    for (; i < run.frames; ++i) {
        addWrapped(first[i], lerp(firstRow[s0], firstRow[s1], o));
        if constexpr (Both) addWrapped(second[i], lerp(secondRow[s0], secondRow[s1], o));
        o += d;
    }
}

} // namespace mixing

// [interpolated][word-swapped][into both destinations]
inline constexpr MixLoop mixLoops[2][2][2] = {
    {{mixing::mixPlain<false, false>, mixing::mixPlain<false, true>},
     {mixing::mixPlain<true, false>, mixing::mixPlain<true, true>}},
    {{mixing::mixInterpolated<false, false>, mixing::mixInterpolated<false, true>},
     {mixing::mixInterpolated<true, false>, mixing::mixInterpolated<true, true>}},
};

} // namespace pelmit
