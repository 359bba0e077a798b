#include "pelmit/formats/mod_loader.h"

#include "pelmit/formats/mod_player.h"
#include "pelmit/formats/mod_tables.h"
#include "pelmit/formats/structure_reader.h"
#include "pelmit/mixer/mixer.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <new>

namespace pelmit {

ModFileType modFileType;

namespace {

constexpr long tagOffset = 1080;
constexpr long fifteenSamplePatterns = 600;
constexpr int patternRowBytes = 4; // per channel

constexpr uint32_t fourBytes(const char (&text)[5]) {
    return uint32_t(uint8_t(text[0])) << 24 | uint32_t(uint8_t(text[1])) << 16 |
           uint32_t(uint8_t(text[2])) << 8 | uint32_t(uint8_t(text[3]));
}

// How a tag gives its channel count.
enum class ChannelRule { fixed, lastDigit, firstTwoDigits };

struct ModTag {
    uint32_t mask, value; // the bytes that identify the tag
    ChannelRule rule;
    int channels; // for ChannelRule::fixed
    TrackerType tracker;
};

constexpr ModTag modTags[] = {
    {0xFFFFFFFF, fourBytes("M.K."), ChannelRule::fixed, 4, trackerNoiseTracker12},
    {0xFFFFFFFF, fourBytes("M!K!"), ChannelRule::fixed, 4, trackerProTracker},
    {0xFFFFFFFF, 0x574E0026, ChannelRule::fixed, 4, trackerProTracker},
    {0xFFFFFFFF, fourBytes("FLT4"), ChannelRule::fixed, 4, trackerStarTrekker},
    {0x00FFFFFF, fourBytes("\0CHN"), ChannelRule::lastDigit, 0, trackerFastTracker},
    {0x0000FFFF, fourBytes("\0\0CH"), ChannelRule::firstTwoDigits, 0, trackerFastTracker},
};

#pragma pack(push, 1)
struct SampleRecord {
    char name[modSampleNameLength];
    uint16_t length; // words
    uint8_t finetune;
    uint8_t volume;
    uint16_t loopStart;  // words
    uint16_t loopLength; // words
};
struct SongRecord {
    uint8_t length;
    uint8_t restart;
    uint8_t order[modMaxSongLength];
    uint32_t tag; // for 15-sample modules the first pattern's first bytes
};
#pragma pack(pop)
static_assert(sizeof(SampleRecord) == 30 && sizeof(SongRecord) == 134);

const int32_t titleDescriptor[] = {FieldByte, modTitleLength, 0};
const int32_t sampleDescriptor[] = {FieldByte, modSampleNameLength, FieldBe16, FieldByte,
                                    FieldByte, FieldBe16,           FieldBe16, 0};
const int32_t songDescriptor[] = {FieldByte, FieldByte, FieldByte, modMaxSongLength, FieldBe32, 0};

// The tag at 1080, and the stream back at the start. A file too short to hold
// one has no tag.
uint32_t readTag(std::FILE* stream) {
    uint32_t tag = 0;
    if (std::fseek(stream, tagOffset, SEEK_SET) == 0) tag = readBe32(stream);
    if (std::feof(stream) || std::ferror(stream)) tag = 0;
    std::clearerr(stream);
    std::fseek(stream, 0, SEEK_SET);
    return tag;
}

// Reads count bytes; what the file does not hold reads as zeros.
void readOrZero(void* destination, size_t count, std::FILE* stream) {
    size_t got = std::fread(destination, 1, count, stream);
    if (got < count) std::memset(static_cast<uint8_t*>(destination) + got, 0, count - got);
}

const char* fileNameOf(const char* path) {
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/') name = p + 1;
    return name;
}

bool startsWithNoCase(const char* text, size_t length, const char* prefix) {
    size_t n = std::strlen(prefix);
    if (length < n) return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(uint8_t(text[i])) != prefix[i]) return false;
    return true;
}

// The title of a module whose title field is empty: its file name without the
// "mod." and ".mod" that mark it, cut to the title's length.
void titleFromFileName(const char* path, char* title) {
    const char* name = fileNameOf(path);
    size_t length = std::strlen(name);
    if (startsWithNoCase(name, length, "mod.")) {
        name += 4;
        length -= 4;
    }
    if (length >= 4 && startsWithNoCase(name + length - 4, 4, ".mod")) length -= 4;
    length = std::min<size_t>(length, modTitleLength);
    std::memcpy(title, name, length);
    title[length] = '\0';
}

uint8_t noteIndex(uint32_t period) {
    if (period < modPeriodTable[modNoteCount - 1]) return modNoNote;
    uint8_t i = 0;
    while (modPeriodTable[i] > period) ++i;
    return i;
}

// Makes one pattern's tracks from its file bytes.
void buildPattern(ModSong& song, int pattern, const uint8_t* bytes) {
    const int channels = song.channels;
    for (int r = 0; r < modRows; ++r) {
        for (int c = 0; c < channels; ++c) {
            const uint8_t* b = bytes + (r * channels + c) * patternRowBytes;
            ModCell& cell = song.track(pattern, c)[r];
            cell.note = noteIndex((uint32_t(b[0]) << 8 | b[1]) & 0x0FFF);
            // Numbers above 31 name no sample; only the end mark may stand there.
            const uint8_t sample = uint8_t((b[0] & 0xF0) | (b[2] >> 4));
            cell.sample = sample <= modMaxSamples ? sample : 0;
            cell.effect = b[2] & 0x0F;
            cell.parameter = b[3];
            if (cell.effect == 0xC) cell.parameter = uint8_t(std::min<int>(b[3], 64) * 255 / 64);
            if (cell.effect == 0xE) song.usedEffects |= 1u << (16 + (b[3] >> 4));
            if (cell.effect != 0) song.usedEffects |= 1u << cell.effect;
            if (cell.effect == 0 && b[3] != 0) song.usedEffects |= 1u;
        }
    }
}

bool isPatternDelay(const ModCell& cell) {
    return cell.effect == 0xE && (cell.parameter >> 4) == 0xE;
}

// Marks the trailing rows of the last pattern that hold nothing but pattern
// delays, so that the song ends where its music does.
void markTrailingPause(ModSong& song, int pattern) {
    for (int r = modRows - 1; r >= 0; --r) {
        bool quiet = true, delayed = false;
        for (int c = 0; c < song.channels && quiet; ++c) {
            const ModCell& cell = song.track(pattern, c)[r];
            quiet = cell.note == modNoNote && cell.sample == 0 &&
                    (cell.effect == 0 || isPatternDelay(cell));
            delayed = delayed || isPatternDelay(cell);
        }
        if (!quiet || !delayed) return;
        song.track(pattern, 0)[r].sample = modEndMark;
    }
}

// The bits of usedEffects that NoiseTracker 1.2 can write: effects 0-4, A-D, F,
// and E0 (bit 16) for its filter.
constexpr uint32_t noiseTrackerEffects = 0x1BC1F;

// The pattern that the song ends in: the last entry, when it is played only there.
int lastPatternOf(const SongRecord& record) {
    const int last = record.order[record.length - 1];
    int uses = 0;
    for (int i = 0; i < record.length; ++i) uses += record.order[i] == last;
    return uses == 1 ? last : -1;
}

} // namespace

ModTagInfo modTagInfo(uint32_t tag) {
    for (const ModTag& t : modTags) {
        if ((tag & t.mask) != t.value) continue;
        int channels = t.channels;
        if (t.rule == ChannelRule::lastDigit) channels = int(tag >> 24) & 0x0F;
        if (t.rule == ChannelRule::firstTwoDigits)
            channels = (int(tag >> 24) & 0x0F) * 10 + (int(tag >> 16) & 0x0F);
        return {true, channels, t.tracker};
    }
    return {false, 0, trackerSoundTracker};
}

bool hasModFileName(const char* path) {
    if (!path) return false;
    const char* name = fileNameOf(path);
    const size_t length = std::strlen(name);
    return startsWithNoCase(name, length, "mod.") ||
           (length >= 4 && startsWithNoCase(name + length - 4, 4, ".mod"));
}

void readModTitle(const char* path, char* title, size_t size) {
    if (!title || size == 0) return;
    char raw[modTitleLength + 1] = "File not found";
    if (std::FILE* f = path ? std::fopen(path, "rb") : nullptr) {
        readOrZero(raw, modTitleLength, f);
        raw[modTitleLength] = '\0';
        std::fclose(f);
    }
    std::strncpy(title, raw, size - 1);
    title[size - 1] = '\0';
}

int ModFileType::identifyMod(std::FILE* stream, const char* path) {
    if (!stream) return 0;
    const ModTagInfo tag = modTagInfo(readTag(stream));
    if (!tag.known && !hasModFileName(path)) return 0;
    const int sampleCount = tag.known ? modMaxSamples : 15;

    char title[modTitleLength];
    if (!readRecord(title, sizeof title, titleDescriptor, stream)) return 0;
    bool valid = true;
    for (int i = 0; i < sampleCount; ++i) {
        SampleRecord s;
        if (!readRecord(s, sampleDescriptor, stream)) return 0;
        valid = valid && s.volume <= 64 && int8_t(s.finetune) <= 15;
    }
    SongRecord song;
    if (!readRecord(song, songDescriptor, stream)) return 0;
    if (!valid || song.length < 1 || song.length > modMaxSongLength) return 0;
    if (!tag.known) return 4;
    // More channels than a pattern has tracks cannot be played.
    return tag.channels <= modMaxChannels ? tag.channels : 0;
}

int ModFileType::loadMod(ModPlayer& player, std::FILE* stream, const char* path) {
    ModSong& song = player.song;
    const ModTagInfo tag = modTagInfo(readTag(stream));
    if (tag.known && (tag.channels < 1 || tag.channels > modMaxChannels)) return 0;

    if (!readRecord(song.title, modTitleLength, titleDescriptor, stream)) return 0;
    song.title[modTitleLength] = '\0';
    if (song.title[0] == '\0' && path) titleFromFileName(path, song.title);

    song.sampleCount = tag.known ? modMaxSamples : 15;
    song.channels = uint16_t(tag.known ? tag.channels : 4);
    song.trackerType = tag.known ? tag.tracker : trackerSoundTracker;
    // Samples a 15-sample module does not describe stay empty.
    for (ModSample& s : song.samples) s = ModSample{};
    std::memset(song.sampleNames, 0, sizeof song.sampleNames);
    bool halvedLoop = false;
    for (int i = 0; i < song.sampleCount; ++i) {
        SampleRecord r;
        if (!readRecord(r, sampleDescriptor, stream)) return 0;
        uint32_t length = r.length, start = r.loopStart, loop = r.loopLength;
        // Old trackers stored the loop start in bytes.
        if ((start + loop > length && loop != 1) || song.sampleCount == 15) {
            start /= 2;
            halvedLoop = true;
        }
        if (start + loop > length) loop = start < length ? length - start : 0;
        ModSample& s = song.samples[i];
        s.length = 2 * length;
        if (loop > 1) {
            s.loopStart = 2 * start;
            s.loopEnd = 2 * (start + loop);
        }
        s.volume = uint16_t(r.volume * 255 / 64);
        s.finetune = r.finetune;
        std::memcpy(song.sampleNames[i], r.name, modSampleNameLength);
    }

    SongRecord record;
    if (!readRecord(record, songDescriptor, stream)) return 0;
    if (record.length < 1 || record.length > modMaxSongLength) return 0;
    song.songLength = record.length;
    std::fill(std::begin(song.order), std::end(song.order), uint16_t(0));
    song.highestPattern = 0;
    for (int i = 0; i < modMaxSongLength; ++i) {
        song.order[i] = record.order[i];
        song.highestPattern = std::max<uint16_t>(song.highestPattern, record.order[i]);
    }
    const int lastPattern = lastPatternOf(record);
    song.restartPosition = 0;
    if (!tag.known) std::fseek(stream, fifteenSamplePatterns, SEEK_SET);

    const int patterns = song.highestPattern + 1;
    const size_t patternBytes = size_t(song.channels) * modRows * patternRowBytes;
    song.cells.reset(new (std::nothrow) ModCell[size_t(patterns) * song.channels * modRows]);
    std::unique_ptr<uint8_t[]> bytes(new (std::nothrow) uint8_t[patternBytes]);
    if (!song.cells || !bytes) return 0;
    song.usedEffects = 0;
    for (int p = 0; p < patterns; ++p) {
        readOrZero(bytes.get(), patternBytes, stream);
        buildPattern(song, p, bytes.get());
        if (stripTrailingPause.load(std::memory_order_relaxed) && p == lastPattern)
            markTrailingPause(song, p);
    }

    if (song.trackerType == trackerNoiseTracker12) {
        if (record.restart >= record.length || record.restart == 120 || record.restart == 127 ||
            (song.usedEffects & ~noiseTrackerEffects) != 0) {
            song.trackerType = trackerProTracker;
        } else {
            song.restartPosition = record.restart;
            if (halvedLoop) song.trackerType = trackerSoundTracker;
        }
    }

    for (int i = 0; i < song.sampleCount; ++i) {
        const ModSample& s = song.samples[i];
        if (s.length == 0) continue;
        std::unique_ptr<int8_t[]> data(new (std::nothrow) int8_t[s.length]);
        if (!data) return 0;
        // A module cut short plays its missing sample bytes as silence.
        readOrZero(data.get(), s.length, stream);
        const SampleDescriptor d{data.get(),     s.length, s.loopStart, s.loopEnd, 0,
                                 uint8_t(i + 1), 0};
        if (!mixer.loadSample(song.voices, &d)) return 0;
    }
    player.setTrackerType(song.trackerType);
    return 1;
}

int identifyModFile(std::FILE* stream, const char* path) {
    return modFileType.identifyMod(stream, path);
}

} // namespace pelmit
