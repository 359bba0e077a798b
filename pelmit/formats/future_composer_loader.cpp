// Reading Future Composer files: the header, the step sequence, patterns, the
// two sequence areas, samples (with their packs) and waves, which become the
// player's sample slots in that order.
#include "pelmit/formats/future_composer_player.h"

#include "pelmit/formats/future_composer_waves.h"
#include "pelmit/formats/structure_reader.h"
#include "pelmit/mixer/mixer.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace pelmit {

namespace {

#pragma pack(push, 1)
struct FcHeader {
    char id[4];
    uint32_t sequenceLength;
    uint32_t patternOffset, patternLength;
    uint32_t frequencyOffset, frequencyLength;
    uint32_t volumeOffset, volumeLength;
    uint32_t sampleOffset;
    uint32_t waveOffset; // "FC14" only
};
#pragma pack(pop)
static_assert(sizeof(FcHeader) == 40);

constexpr int32_t headerFields[] = {FieldByte, 4, FieldBe32, 9, 0};
// Per sample: length in words, loop start in bytes, loop length in words.
constexpr int32_t sampleFields[] = {FieldBe16, 30, 0};
constexpr int32_t waveLengthFields[] = {FieldByte, 80, 0};

constexpr uint32_t smodHeaderBytes = 100;
constexpr uint32_t fc14HeaderBytes = 180;
constexpr uint32_t packHeaderBytes = 4 + 20 * 16; // sub-sample data starts here
constexpr uint16_t fcBaseRate = 8363;

// Samples, all their pack entries and all waves fit the Mixer's slots.
static_assert(10 + 10 * fcPackEntries + fcWaveCount <= mixerSlotCount);

using Bytes = std::unique_ptr<uint8_t[]>;

Bytes allocate(uint32_t size) {
    return Bytes(new (std::nothrow) uint8_t[size == 0 ? 1 : size]());
}

long fileSize(std::FILE* stream) {
    if (std::fseek(stream, 0, SEEK_END) != 0) return -1;
    return std::ftell(stream);
}

// Offsets past the end read nothing rather than fail the seek (which would
// leave the stream where it was).
void seekTo(std::FILE* stream, uint32_t offset, long size) {
    if (offset >= uint64_t(size))
        std::fseek(stream, 0, SEEK_END);
    else
        std::fseek(stream, long(offset), SEEK_SET);
}

// A declared section length, cut so that it asks for no more than the file
// holds from offset on (a partial last unit still counts).
uint32_t sectionLength(uint32_t declared, uint32_t offset, long size, uint32_t unit) {
    const uint64_t available = offset < uint64_t(size) ? uint64_t(size) - offset : 0;
    return uint32_t(std::min<uint64_t>(declared, available + unit - 1));
}

uint32_t loopEndOf(uint32_t loopStart, uint32_t loopLength, uint32_t shortest) {
    return loopLength > shortest ? loopStart + loopLength : 0;
}

// Loads one sample into the next slot; the slot number, or -1 when the Mixer
// could not take it.
int32_t loadSlot(VoiceSet* set, const void* data, uint32_t size, uint32_t loopStart,
                 uint32_t loopEnd, uint32_t& counter) {
    const uint32_t slot = counter++;
    const SampleDescriptor d{data,          size, loopEnd ? loopStart : 0, loopEnd, fcBaseRate,
                             uint8_t(slot), 0};
    return mixer.loadSample(set, &d) ? int32_t(slot) : -1;
}

} // namespace

int identifyFutureComposer(std::FILE* stream) {
    char id[4];
    std::rewind(stream);
    if (std::fread(id, 1, 4, stream) != 4) return 0;
    return std::memcmp(id, "FC14", 4) == 0 || std::memcmp(id, "SMOD", 4) == 0;
}

FormatPlayer* createFutureComposerPlayer() {
    return new (std::nothrow) FutureComposerPlayer;
}

int unpackSamplePack(const uint8_t* bytes, uint32_t size, FcPackEntry (&table)[fcPackEntries]) {
    if (size < 4 || std::memcmp(bytes, "SSMP", 4) != 0) return 0;
    auto be16 = [&](uint32_t at) { return uint32_t(jk::loadBe16(bytes + at)); };
    for (int j = 0; j < fcPackEntries; ++j) {
        FcPackEntry& e = table[j];
        e = FcPackEntry{};
        const uint32_t record = 4 + 16 * uint32_t(j);
        if (record + 16 > size) continue;
        const uint64_t start = packHeaderBytes + (uint64_t(be16(record)) << 16 | be16(record + 2));
        const uint32_t length = 2 * be16(record + 4);
        if (length == 0 || start >= size) continue;
        e.start = bytes + start;
        e.length = std::min(length, uint32_t(size - start));
        e.loopStart = be16(record + 6);
        e.loopLength = 2 * be16(record + 8);
    }
    return 1;
}

FutureComposerPlayer::~FutureComposerPlayer() {
    stopSong();
    releaseSong();
}

int FutureComposerPlayer::loadSong(const char* path) {
    std::FILE* stream = path ? std::fopen(path, "rb") : nullptr;
    if (!stream) return 0;
    const int loaded = loadSong(stream, path);
    std::fclose(stream);
    return loaded;
}

int FutureComposerPlayer::loadSong(std::FILE* stream, const char* path) {
    releaseSong();
    // Every file the formats before this one refuse comes here: leave the
    // Mixer alone for the ones that are not ours.
    if (!identifyFutureComposer(stream)) return 0;
    mixer.enableBoost();
    voiceSet = mixer.allocateVoices(4);
    if (!voiceSet) return 0;
    if (!readFutureComposer(stream)) {
        releaseSong();
        return 0;
    }
    const char* name = path ? path : "";
    if (const char* slash = std::strrchr(name, '\\')) name = slash + 1;
    std::strncpy(title, name, sizeof title - 1);
    title[sizeof title - 1] = '\0';
    measure();
    return 1;
}

bool FutureComposerPlayer::readFutureComposer(std::FILE* stream) {
    FcHeader h;
    std::rewind(stream);
    if (!readRecord(h, headerFields, stream)) return false;
    if (std::memcmp(h.id, "FC14", 4) == 0)
        variant = 1;
    else if (std::memcmp(h.id, "SMOD", 4) == 0)
        variant = 0;
    else
        return false;
    uint16_t sampleInfo[10][3];
    if (!readRecord(sampleInfo, sampleFields, stream)) return false;
    uint8_t waveLengths[fcWaveCount];
    if (variant == 1) {
        if (!readRecord(waveLengths, waveLengthFields, stream)) return false;
    } else {
        std::copy(fcWaveLengths.begin(), fcWaveLengths.end(), waveLengths);
    }
    const long size = fileSize(stream);
    if (size < 0) return false;

    // The step sequence follows the header. Without a whole step there is
    // nothing to start from and the song would never end.
    const uint32_t headerBytes = variant == 1 ? fc14HeaderBytes : smodHeaderBytes;
    steps = sectionLength(h.sequenceLength, headerBytes, size, fcStepBytes) / fcStepBytes;
    if (steps == 0) return false;
    sequence = allocate(steps * fcStepBytes);
    if (!sequence) return false;
    seekTo(stream, headerBytes, size);
    (void)std::fread(sequence.get(), 1, steps * fcStepBytes, stream);

    patternDataSize = sectionLength(h.patternLength, h.patternOffset, size, fcPatternBytes);
    patterns = patternDataSize / fcPatternBytes;
    patternData = allocate(patternDataSize);
    if (!patternData) return false;
    seekTo(stream, h.patternOffset, size);
    (void)std::fread(patternData.get(), 1, patternDataSize, stream);

    // Each area holds 64 sequences; the file fills as many as it has, at most
    // the whole area.
    struct Area {
        std::unique_ptr<uint8_t[]>& bytes;
        uint32_t offset, length;
        uint32_t& count;
    } areas[] = {{volumeArea, h.volumeOffset, h.volumeLength, volumeSequences},
                 {frequencyArea, h.frequencyOffset, h.frequencyLength, frequencySequences}};
    for (Area& a : areas) {
        a.bytes = allocate(fcSequenceAreaBytes);
        if (!a.bytes) return false;
        for (uint32_t at = 0; at < fcSequenceAreaBytes; at += fcSequenceBytes)
            std::memcpy(a.bytes.get() + at, fcDefaultSequence, fcSequenceBytes);
        a.count = a.length / fcSequenceBytes;
        seekTo(stream, a.offset, size);
        (void)std::fread(a.bytes.get(), 1, std::min(a.length, fcSequenceAreaBytes), stream);
    }

    uint32_t slot = 0;
    seekTo(stream, h.sampleOffset, size);
    loadSamples(stream, sampleInfo, slot);
    if (variant == 1) seekTo(stream, h.waveOffset, size);
    loadWaves(stream, waveLengths, slot);
    return true;
}

void FutureComposerPlayer::loadSamples(std::FILE* stream, const uint16_t (&sampleInfo)[10][3],
                                       uint32_t& slot) {
    for (int k = 0; k < 10; ++k) {
        FcSound& sound = sounds[k];
        sound = FcSound{};
        const uint32_t size = 2u * sampleInfo[k][0];
        if (size != 0) {
            Bytes data = allocate(size);
            if (!data) {
                // Past its bytes, so that the samples after it are read right.
                std::fseek(stream, long(size), SEEK_CUR);
            } else {
                (void)std::fread(data.get(), 1, size, stream);
                const uint32_t loopStart = sampleInfo[k][1];
                sound.slot = loadSlot(voiceSet, data.get(), size, loopStart,
                                      loopEndOf(loopStart, 2u * sampleInfo[k][2], 2), slot);
                FcPackEntry pack[fcPackEntries];
                if (variant == 1 && unpackSamplePack(data.get(), size, pack)) {
                    sound.hasPack = true;
                    for (int j = 0; j < fcPackEntries; ++j) {
                        const FcPackEntry& e = pack[j];
                        if (!e.start) continue;
                        sound.packSlots[j] =
                            loadSlot(voiceSet, e.start, e.length, e.loopStart,
                                     loopEndOf(e.loopStart, e.loopLength, 2), slot);
                    }
                }
            }
        }
        std::fseek(stream, 2, SEEK_CUR);
    }
}

void FutureComposerPlayer::loadWaves(std::FILE* stream, const uint8_t (&waveLengths)[fcWaveCount],
                                     uint32_t& slot) {
    const int8_t* builtIn = fcWaves.data();
    uint8_t wave[2 * 255];
    for (int i = 0; i < fcWaveCount; ++i) {
        FcSound& sound = sounds[10 + i];
        sound = FcSound{};
        const uint32_t size = 2u * waveLengths[i];
        if (size == 0) continue;
        const void* data = builtIn;
        if (variant == 1) {
            std::memset(wave, 0, size);
            (void)std::fread(wave, 1, size, stream);
            data = wave;
        } else {
            builtIn += size;
        }
        // A wave loops whole.
        sound.slot = loadSlot(voiceSet, data, size, 0, size, slot);
    }
}

void FutureComposerPlayer::releaseSong() {
    sequence.reset();
    patternData.reset();
    volumeArea.reset();
    frequencyArea.reset();
    steps = patterns = patternDataSize = 0;
    for (FcSound& s : sounds) s = FcSound{};
    if (voiceSet) mixer.releaseVoices(voiceSet);
    voiceSet = nullptr;
}

void FutureComposerPlayer::songTitle(char* buffer, size_t size) {
    if (!buffer || size == 0) return;
    const size_t n = std::min({std::strlen(title), size_t(63), size - 1});
    std::memcpy(buffer, title, n);
    buffer[n] = '\0';
}

} // namespace pelmit
