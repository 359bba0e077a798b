// SoundMon files: recognition, the title, and loading the instruments, steps,
// patterns, synth tables and samples into the player and the Mixer.
#include "pelmit/formats/soundmon_player.h"

#include "pelmit/formats/structure_reader.h"
#include "pelmit/mixer/mixer.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace pelmit {

namespace {

constexpr uint16_t versionTag = 0x562E; // "V."
constexpr uint8_t synthMarker = 0xFF;
constexpr long headerSize = 32;

#pragma pack(push, 1)
struct HeaderRecord {
    char title[26];
    uint16_t tag;
    uint8_t version;
    uint8_t tableCount;
    uint16_t stepCount;
};

struct SampleRecord {
    char name[24];
    uint16_t length;     // words
    uint16_t loopStart;  // bytes
    uint16_t loopLength; // words
    uint16_t volume;
};

// The 2.0 layout ("V.2").
struct SynthRecord20 {
    uint8_t marker, waveTable;
    uint16_t waveLength;
    uint8_t adsrControl, adsrTable;
    uint16_t adsrLength;
    uint8_t adsrSpeed, lfoControl, lfoTable, lfoDepth;
    uint16_t lfoLength, lfoDelay;
    uint8_t lfoSpeed, egControl, egTable, egOffset;
    uint16_t egLength, egDelay;
    uint8_t egSpeed, volume, unused[6];
};

// The 2.2 layout ("V.3").
struct SynthRecord22 {
    uint8_t marker, waveTable;
    uint16_t waveLength;
    uint8_t adsrControl, adsrTable;
    uint16_t adsrLength;
    uint8_t adsrSpeed, lfoControl, lfoTable, lfoDepth;
    uint16_t lfoLength;
    uint8_t lfoDelay, lfoSpeed, egControl, egTable;
    uint16_t egLength;
    uint8_t egDelay, egSpeed, fxControl, fxSpeed, fxDelay, modControl, modTable, modSpeed, modDelay,
        volume;
    uint16_t modLength;
};
#pragma pack(pop)

static_assert(sizeof(HeaderRecord) == 32 && sizeof(SampleRecord) == 32);
static_assert(sizeof(SynthRecord20) == 32 && sizeof(SynthRecord22) == 32);

constexpr int32_t headerFields[] = {FieldByte, 26, FieldBe16, FieldByte, 2, FieldBe16, 0};
constexpr int32_t sampleFields[] = {FieldByte, 24, FieldBe16, 4, 0};
constexpr int32_t synth20Fields[] = {FieldByte, 2, FieldBe16, FieldByte, 2,         FieldBe16,
                                     FieldByte, 4, FieldBe16, 2,         FieldByte, 4,
                                     FieldBe16, 2, FieldByte, 8,         0};
constexpr int32_t synth22Fields[] = {FieldByte, 2,  FieldBe16, FieldByte, 2, FieldBe16,
                                     FieldByte, 4,  FieldBe16, FieldByte, 4, FieldBe16,
                                     FieldByte, 10, FieldBe16, 0};

int peekByte(std::FILE* f) {
    int c = std::fgetc(f);
    if (c != EOF) std::fseek(f, -1, SEEK_CUR);
    return c;
}

// The header and every instrument record as recognition checks them. Fills
// the header on success.
bool recognise(std::FILE* f, HeaderRecord& header) {
    if (std::fseek(f, 0, SEEK_SET) != 0 || !readRecord(header, headerFields, f)) return false;
    if (header.tag != versionTag || header.version > '3') return false;
    const uint32_t count = header.version < '2' ? 0 : header.tableCount;
    for (int i = 0; i < soundMonInstrumentCount; ++i) {
        if (peekByte(f) == synthMarker) {
            // Every synth record is checked in the 2.0 layout, whatever the version.
            SynthRecord20 s;
            if (!readRecord(s, synth20Fields, f)) return false;
            const auto* b = reinterpret_cast<const uint8_t*>(&s);
            if (b[0] != synthMarker || b[1] >= count) return false;
            if ((b[4] && b[5] >= count) || (b[9] && b[10] >= count) || (b[17] && b[18] >= count))
                return false;
        } else {
            SampleRecord s;
            if (!readRecord(s, sampleFields, f)) return false;
            if (s.loopStart + 2u * s.loopLength > 2u * s.length + 2 && s.loopLength != 1)
                return false;
        }
    }
    return true;
}

// Table numbers the tables do not have (unchecked fields of 2.2 records, or
// fields of switched-off sequences) are taken as table 0.
uint8_t tableNumber(uint8_t table, uint32_t count) {
    return table < count ? table : uint8_t(0);
}

// The fields both synth layouts share; byte fields widen with zeros.
template <class Record>
void takeCommonFields(const Record& s, uint32_t tableCount, SoundMonInstrument& in) {
    in.waveTable = tableNumber(s.waveTable, tableCount);
    in.waveLength = 2u * s.waveLength;
    in.adsrControl = s.adsrControl;
    in.adsrTable = tableNumber(s.adsrTable, tableCount);
    in.adsrLength = s.adsrLength;
    in.adsrSpeed = s.adsrSpeed;
    in.lfoControl = s.lfoControl;
    in.lfoTable = tableNumber(s.lfoTable, tableCount);
    in.lfoDepth = s.lfoDepth;
    in.lfoLength = s.lfoLength;
    in.lfoDelay = s.lfoDelay;
    in.lfoSpeed = s.lfoSpeed;
    in.egControl = s.egControl;
    in.egTable = tableNumber(s.egTable, tableCount);
    in.egLength = s.egLength;
    in.egDelay = s.egDelay;
    in.egSpeed = s.egSpeed;
    in.volume = s.volume;
}

} // namespace

int identifySoundMon(std::FILE* stream, const char*) {
    HeaderRecord header;
    return stream && recognise(stream, header) ? 1 : 0;
}

void readSoundMonTitle(const char* path, char* title, size_t size) {
    if (!title || size == 0) return;
    char text[27] = {};
    if (std::FILE* f = path ? std::fopen(path, "rb") : nullptr) {
        if (std::fread(text, 1, 26, f) != 26) text[0] = '\0';
        std::fclose(f);
    }
    std::snprintf(title, size, "%s", text);
}

FormatPlayer* SoundMonPlayer::create() {
    return new (std::nothrow) SoundMonPlayer;
}

SoundMonPlayer::~SoundMonPlayer() {
    releaseSong();
}

void SoundMonPlayer::releaseSong() {
    steps.reset();
    rows.reset();
    synthTables.reset();
    pristineSynthTables.reset();
    if (voiceSet) mixer.releaseVoices(voiceSet);
    voiceSet = nullptr;
}

void SoundMonPlayer::songTitle(char* buffer, size_t size) {
    if (buffer && size) std::snprintf(buffer, size, "%s", title);
}

int SoundMonPlayer::loadSong(const char* path) {
    releaseSong();
    std::FILE* f = path ? std::fopen(path, "rb") : nullptr;
    if (!f) return 0;
    const int loaded = load(f);
    std::fclose(f);
    if (!loaded) {
        releaseSong();
        return 0;
    }
    measure();
    return 1;
}

int SoundMonPlayer::load(std::FILE* f) {
    // The same tests as recognition: a MOD with "V." in a sample name is not ours.
    HeaderRecord header;
    if (!recognise(f, header)) return 0;
    std::memcpy(title, header.title, sizeof header.title);
    title[26] = '\0';
    synthTableCount = header.version < '2' ? 0 : header.tableCount;
    synthVariant = header.version == '2' ? 1 : 2;
    stepTotal = header.stepCount;
    // Without steps nothing could ever end the song.
    if (stepTotal == 0) return 0;

    mixer.enableBoost();
    voiceSet = mixer.allocateVoices(soundMonVoiceCount);
    if (!voiceSet) return 0;

    std::fseek(f, headerSize, SEEK_SET);
    for (SoundMonInstrument& in : instruments) readInstrument(f, in);

    steps.reset(new (std::nothrow) SoundMonStep[stepTotal * 4]);
    if (!steps) return 0;
    patternTotal = 0;
    for (uint32_t i = 0; i < stepTotal * 4; ++i) {
        SoundMonStep& s = steps[i];
        const uint16_t number = readBe16(f);
        s.soundTranspose = int8_t(std::fgetc(f));
        s.noteTranspose = int8_t(std::fgetc(f));
        // Patterns count from 1; a 0, or a step table cut short, names no pattern.
        if (std::feof(f) || number == 0) return 0;
        s.pattern = uint16_t(number - 1);
        patternTotal = std::max<uint32_t>(patternTotal, number);
    }

    rows.reset(new (std::nothrow) SoundMonRow[patternTotal * soundMonRowsPerPattern]());
    if (!rows) return 0;
    usedEffects = 0;
    for (uint32_t p = 0; p < patternTotal; ++p) {
        uint8_t bytes[soundMonRowsPerPattern * 3] = {};
        if (std::fread(bytes, 1, sizeof bytes, f) != sizeof bytes) std::clearerr(f);
        for (int r = 0; r < soundMonRowsPerPattern; ++r) {
            const uint8_t* b = bytes + 3 * r;
            SoundMonRow& row = rows[p * soundMonRowsPerPattern + r];
            row = {int8_t(b[0]), uint8_t(b[1] >> 4), uint8_t(b[1] & 15), b[2]};
            if ((row.effect != 0 && row.effect != 10) || row.parameter != 0)
                usedEffects |= 1u << row.effect;
        }
    }

    synthSlot = -1;
    const uint32_t tableBytes = synthTableCount * soundMonTableSize;
    if (tableBytes) {
        synthTables.reset(new (std::nothrow) int8_t[tableBytes]());
        pristineSynthTables.reset(new (std::nothrow) int8_t[tableBytes]());
        if (!synthTables || !pristineSynthTables) return 0;
        if (std::fread(synthTables.get(), 1, tableBytes, f) != tableBytes) std::clearerr(f);
        std::memcpy(pristineSynthTables.get(), synthTables.get(), tableBytes);
        SampleDescriptor d{synthTables.get(), tableBytes, 0, 0, 8363, 0, 0};
        mixer.loadSample(voiceSet, &d);
        synthSlot = 0;
    }

    uint32_t nextSlot = uint32_t(synthSlot + 1);
    for (SoundMonInstrument& in : instruments) {
        if (in.kind == soundMonSynth) {
            in.sampleSlot = synthSlot;
        } else if (in.kind == soundMonEmpty) {
            in.sampleSlot = -1;
        } else {
            in.sampleSlot = int32_t(nextSlot++);
            // A file cut short leaves the rest of the sample silent.
            const uint32_t stored = std::min(in.length, remainingBytes(f));
            std::unique_ptr<int8_t[]> data(new (std::nothrow) int8_t[in.length]());
            if (!data) {
                // Skipped, so that the samples after it are read from their place.
                std::fseek(f, long(stored), SEEK_CUR);
                continue;
            }
            if (std::fread(data.get(), 1, stored, f) != stored) std::clearerr(f);
            SampleDescriptor d{};
            d.data = data.get();
            d.size = in.length;
            if (in.loopLength) {
                d.loopStart = in.loopStart;
                d.loopEnd = in.loopStart + in.loopLength;
            }
            d.baseRate = 8363;
            d.slot = uint8_t(in.sampleSlot);
            mixer.loadSample(voiceSet, &d);
        }
    }
    return 1;
}

void SoundMonPlayer::readInstrument(std::FILE* f, SoundMonInstrument& in) {
    in = SoundMonInstrument{};
    if (peekByte(f) == synthMarker) {
        in.kind = soundMonSynth;
        std::snprintf(in.name, sizeof in.name, "[SYNTH]");
        if (synthVariant == 1) {
            SynthRecord20 s{};
            readRecord(s, synth20Fields, f);
            takeCommonFields(s, synthTableCount, in);
            in.egOffset = s.egOffset;
        } else {
            SynthRecord22 s{};
            readRecord(s, synth22Fields, f);
            takeCommonFields(s, synthTableCount, in);
            in.fxControl = s.fxControl;
            in.fxSpeed = s.fxSpeed;
            in.fxDelay = s.fxDelay;
            in.modControl = s.modControl;
            in.modTable = tableNumber(s.modTable, synthTableCount);
            in.modSpeed = s.modSpeed;
            in.modDelay = s.modDelay;
            in.modLength = uint8_t(s.modLength);
        }
        return;
    }
    SampleRecord s{};
    readRecord(s, sampleFields, f);
    std::memcpy(in.name, s.name, sizeof s.name);
    if (s.length == 0) {
        in.kind = soundMonEmpty;
        return;
    }
    in.kind = soundMonSample;
    in.length = 2u * s.length;
    in.volume = s.volume;
    if (s.loopLength > 1 && s.loopStart < in.length) {
        in.loopStart = s.loopStart;
        in.loopLength = std::min(2u * s.loopLength, in.length - in.loopStart);
    }
}

} // namespace pelmit
