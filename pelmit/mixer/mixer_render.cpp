// Rendering one block: each voice of the set is split into runs that end at a
// stretch's end, mixed, and moved on; loops and stops follow the Amiga's rules.
#include "pelmit/mixer/mixer.h"

#include "pelmit/mixer/mixing_loops.h"
#include "pelmit/settings.h"

#include <algorithm>
#include <atomic>

namespace pelmit {

uint32_t Mixer::render(const VoiceSet* set) {
    // A device that failed to open has no ring; only skip mode can run.
    if (!skipMode && !(leftBuffer && volumeTable)) return frameCounter;
    if (!skipMode) beginRingBlock();
    if (set) {
        for (uint32_t i = 0; i < set->count; ++i) {
            if (set->voices[i] < mixerVoiceCount) renderVoice(voices[set->voices[i]]);
        }
    }
    if (!skipMode) endRingBlock();
    frameCounter += blockSize;
    return frameCounter;
}

void Mixer::renderVoice(MixerVoice& v) {
    if (!v.position || v.step == 0) return;

    // Table rows: volume and pan cost one row choice per voice and block.
    const int16_t* firstRow = nullptr;
    const int16_t* secondRow = nullptr;
    int16_t* first = nullptr;
    int16_t* second = nullptr;
    if (!skipMode) {
        const uint32_t pan = std::min<uint32_t>(
            std::atomic_ref<uint16_t>(v.pan).load(std::memory_order_relaxed), 255);
        const uint32_t volume = std::min<uint32_t>(v.volume, 255);
        if (outputFlags & outputStereo) {
            const uint32_t leftRow = ((255 - pan) * volume) >> 8;
            const uint32_t rightRow = (pan * volume) >> 8;
            if (leftRow) {
                first = leftBuffer + renderPos;
                firstRow = volumeTable[leftRow] + 128;
            }
            if (rightRow) {
                int16_t* right = rightBuffer + renderPos;
                const int16_t* row = volumeTable[rightRow] + 128;
                if (first) {
                    second = right;
                    secondRow = row;
                } else {
                    first = right;
                    firstRow = row;
                }
            }
        } else if (volume) {
            first = leftBuffer + renderPos;
            firstRow = volumeTable[volume] + 128;
        }
    }

    uint32_t remaining = blockSize;
    uint32_t done = 0; // frames of the block behind this voice
    while (remaining > 0 && v.position) {
        if (v.delay > 0) {
            if (static_cast<uint32_t>(v.delay) >= remaining) {
                v.delay -= static_cast<int32_t>(remaining);
                return;
            }
            remaining -= static_cast<uint32_t>(v.delay);
            done += static_cast<uint32_t>(v.delay);
            v.delay = 0;
        }

        // Run length, in 64 bits: the stretch can be longer than 64 KB and
        // frames x step can pass 32 bits for very short periods. The run ends
        // with the frame whose successor would read at or past the stretch's
        // end, and is cut so that its read points fit the loops' 32 bits.
        const int8_t* const pos = v.position;
        const uint64_t avail = uint64_t(v.segmentEnd - pos) << 16;
        const uint64_t o = v.fraction;
        const uint64_t d = v.step;
        uint64_t n = remaining;
        if (o >= avail) {
            n = 0; // only a broken state gets here: end the stretch at once
        } else {
            if (o + n * d >= avail) n = (avail - o - 1) / d + 1;
            if (o + (n - 1) * d > 0xFFFFFFFFu) n = (0xFFFFFFFFu - o) / d + 1;
        }

        if (n > 0 && firstRow) {
            MixRun run;
            run.data = pos;
            run.offset = static_cast<uint32_t>(o);
            run.step = v.step;
            run.frames = static_cast<uint32_t>(n);
            run.lastIndex = static_cast<uint32_t>((o + (n - 1) * d) >> 16);
            // The byte after the last one read: inside the stretch, the loop's
            // first byte, or silence at the end of a sample.
            const uint64_t following = uint64_t(run.lastIndex) + 1;
            const bool swapped = v.wordSwapped != 0;
            if (following < uint64_t(v.segmentEnd - pos)) {
                run.next = swapped ? mixing::sampleAt<true>(pos, static_cast<uint32_t>(following))
                                   : pos[following];
            } else if (v.loopStart) {
                run.next = swapped ? mixing::sampleAt<true>(v.loopStart, 0) : v.loopStart[0];
            } else {
                run.next = 0;
            }
            const bool interpolated =
                std::atomic_ref<int32_t>(settings.Interpolation).load(std::memory_order_relaxed) !=
                0;
            mixLoops[interpolated][swapped][second != nullptr](
                run, first + done, firstRow, second ? second + done : nullptr, secondRow);
        }

        // Move on, keeping the position even: the odd byte and the fraction
        // stay in the fraction.
        const uint64_t end = o + n * d;
        if (end >= avail) {
            if (v.loopStart && v.loopEnd > v.loopStart) {
                // The exact overshoot carries into the loop; a step longer
                // than a tiny loop wraps it as often as it fits.
                const uint64_t loopLength = uint64_t(v.loopEnd - v.loopStart) << 16;
                uint64_t over = end - avail;
                if (over >= loopLength) over %= loopLength;
                const uint64_t whole = (over >> 16) & ~uint64_t(1);
                v.position = v.loopStart + whole;
                v.fraction = static_cast<uint32_t>(over - (whole << 16));
                v.segmentEnd = v.loopEnd;
            } else {
                v.position = nullptr; // the sample has ended
            }
        } else {
            const uint64_t whole = (end >> 16) & ~uint64_t(1);
            v.position = pos + whole;
            v.fraction = static_cast<uint32_t>(end - (whole << 16));
        }
        remaining -= static_cast<uint32_t>(n);
        done += static_cast<uint32_t>(n);
    }
}

} // namespace pelmit
