// The Mixer's output stage: volume table, pans, the output ring with its
// cursors, reading blocks out of it, and skip mode.
#include "pelmit/mixer/mixer.h"

#include "pelmit/mixer/output_converters.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace pelmit {

namespace {

// The Amiga's channel layout: left, right, right, left.
constexpr int32_t channelSide[4] = {-128, 128, 128, -128};

// Gain of a table build: boost is on for every player, which assumes the
// voices rarely all peak together.
constexpr double boostedGain = 1.95;
constexpr double plainGain = 0.95;
constexpr double fullScale = 1.003921568627451; // 256 / 255

void storePan(MixerVoice& voice, uint32_t pan) {
    std::atomic_ref<uint16_t>(voice.pan).store(static_cast<uint16_t>(pan),
                                               std::memory_order_relaxed);
}

} // namespace

// --- Volume table and pans ----------------------------------------------------------

void Mixer::updateVoiceUsage(const uint32_t inUse[256]) {
    if (!inUse) return;
    activeVoices = static_cast<uint32_t>(
        std::count_if(inUse, inUse + mixerVoiceCount, [](uint32_t f) { return f != 0; }));
    if (!volumeTable) return;
    if (activeVoices == 0) {
        std::memset(volumeTable, 0, sizeof(int16_t) * 256 * 256);
        return;
    }
    const double gain = (boost ? boostedGain : plainGain) * fullScale / activeVoices;
    for (int32_t r = 0; r < 256; ++r) {
        for (int32_t j = 0; j < 256; ++j) {
            // With boost and a single voice the outer rows would pass 16 bits.
            const double entry =
                std::clamp(static_cast<double>(r * (j - 128)) * gain, -32768.0, 32767.0);
            volumeTable[r][j] = static_cast<int16_t>(entry);
        }
    }
}

int16_t Mixer::tableValue(uint32_t row, int8_t sample) const {
    return volumeTable ? volumeTable[row & 0xFF][sample + 128] : 0;
}

uint32_t Mixer::defaultPan(uint32_t voice) const {
    // 64 bits: the separation comes from the settings file unchecked.
    const int64_t offset = (int64_t(channelSide[voice % 4]) * separation) >> 7;
    return static_cast<uint32_t>(std::clamp<int64_t>(offset + 128, 0, 255));
}

uint32_t Mixer::resetVoices(const VoiceSet* set) {
    if (!set) return 1;
    const uint32_t count = std::min(set->count, mixerVoiceCount);
    for (uint32_t i = 0; i < count; ++i) {
        storePan(voices[i], defaultPan(i));
        voices[i].volume = 0;
        voices[i].position = nullptr;
    }
    return 1;
}

void Mixer::setSeparation(int32_t newSeparation) {
    separation = newSeparation;
    for (uint32_t i = 0; i < std::min(activeVoices, mixerVoiceCount); ++i) {
        storePan(voices[i], defaultPan(i));
    }
}

// --- The output ring -------------------------------------------------------------

void Mixer::setLedFilter(uint32_t on) {
    if (on) {
        outputFlags |= outputLedFilter;
    } else {
        outputFlags &= ~outputLedFilter;
    }
}

void Mixer::setBlockSize(uint32_t frames) {
    if (frames == 0) return; // the limit arithmetic divides by it
    blockSize = std::min(frames, ringFrames);
    renderLimit = renderPos + (ringFrames - renderPos) / blockSize * blockSize;
    // A reader still finishing the previous lap keeps its limit until it wraps.
    if (readPos <= renderPos) readLimit = renderLimit;
}

void Mixer::resetOutput() {
    renderPos = fifoCount = readPos = 0;
    guardPending = 0;
    if (blockSize) renderLimit = readLimit = ringFrames / blockSize * blockSize;
}

void Mixer::beginRingBlock() {
    // The limit lies a whole number of blocks from the cursor, so this is the
    // cursor reaching the limit; testing for room keeps the block inside the
    // ring even if that ever broke.
    if (renderPos + blockSize > renderLimit) {
        guardPlace = renderLimit;
        guardPending = 1;
        renderPos = 0;
        renderLimit = ringFrames / blockSize * blockSize;
    }
    std::memset(leftBuffer + renderPos, 0, sizeof(int16_t) * blockSize);
    if (outputFlags & outputStereo) {
        std::memset(rightBuffer + renderPos, 0, sizeof(int16_t) * blockSize);
    }
}

void Mixer::endRingBlock() {
    // The LED filter reads three frames past the old limit; they must be the
    // new lap's first frames. Refreshed whether or not the filter is on now,
    // so switching it on later reads no stale guard.
    if (guardPending) {
        std::memcpy(leftBuffer + guardPlace, leftBuffer, sizeof(int16_t) * ringGuardFrames);
        std::memcpy(rightBuffer + guardPlace, rightBuffer, sizeof(int16_t) * ringGuardFrames);
        if (renderPos + blockSize >= ringGuardFrames) guardPending = 0;
    }
    renderPos += blockSize;
    fifoCount += blockSize;
}

uint32_t Mixer::readBlock(void* destination, uint32_t frames) {
    if (!leftBuffer || !destination || frames > ringFrames) return 0;
    const uint32_t need = frames + ((outputFlags & outputLedFilter) ? ringGuardFrames : 0);
    if (fifoCount < need) return 0;
    fifoCount -= frames;
    const OutputConverter convert = outputConverters[outputFlags & 15];
    auto* out = static_cast<uint8_t*>(destination);
    if (readPos + frames <= readLimit) {
        if (frames) convert(out, leftBuffer + readPos, rightBuffer + readPos, frames);
        readPos += frames;
        return 1;
    }
    const uint32_t first = readLimit - readPos;
    if (first) out = convert(out, leftBuffer + readPos, rightBuffer + readPos, first);
    readLimit = renderLimit;
    readPos = frames - first;
    if (readPos) convert(out, leftBuffer, rightBuffer, readPos);
    // Only a ring overrun (rendering far ahead of reading) could put the reader
    // past the limit; keep it inside so later reads stay in the buffers.
    readPos = std::min(readPos, readLimit);
    return 1;
}

RingCursors Mixer::ringCursors() const {
    return {renderLimit, renderPos, fifoCount, readLimit, readPos};
}

// --- Skip mode -----------------------------------------------------------------------

void Mixer::beginSkip(uint32_t) {
    skipMode = 1;
    frameCounter = 0;
}

int32_t Mixer::endSkip() {
    const int32_t ms = elapsedMs();
    skipMode = 0;
    return ms;
}

int32_t Mixer::elapsedMs() const {
    if (rate == 0) return 0;
    return static_cast<int32_t>(1000.0 / rate * static_cast<int32_t>(frameCounter));
}

} // namespace pelmit
