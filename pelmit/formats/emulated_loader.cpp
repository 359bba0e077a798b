// The emulated formats' files: recognising them, and loading each into a
// booted Amiga with the patches its code needs.
#include "pelmit/amiga/amiga_machine.h"
#include "pelmit/formats/emulated_patterns.h"
#include "pelmit/formats/emulated_player.h"
#include "pelmit/formats/structure_reader.h"
#include "pelmit/mixer/mixer.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace pelmit {

static_assert(maxTuneBytes == tuneLimit - tuneAddress);

namespace {

constexpr uint32_t hunkMagic = 1011;
constexpr uint32_t deliriumHigh = 0x44454C49, deliriumLow = 0x5249554D; // "DELIRIUM"

// DeliTracker Custom tags.
constexpr uint32_t tagCustomPlayer = 0x80004455;
constexpr uint32_t tagFlags = 0x80004474;
constexpr uint32_t tagInitPlayer = 0x80004463;
constexpr uint32_t tagInitSound = 0x80004466;
constexpr uint32_t tagVolume = 0x80004469;
constexpr uint32_t tagSetup = 0x80004465;
constexpr uint32_t tagStartInt = 0x80004467;
constexpr uint32_t tagInterrupt = 0x8000445E;
constexpr uint32_t tagNextSong = 0x8000446F;
constexpr uint32_t tagPrevSong = 0x80004470;
constexpr uint32_t tagDeliBase = 0x80004473;
constexpr uint32_t tagSubSongTriple = 0x80004472;
constexpr uint32_t tagSubSongRange = 0x80004462;

// Support block words the player writes.
constexpr uint32_t supportSubsong = 44;
constexpr uint32_t supportTimer = 54;
constexpr uint32_t defaultCiaTimer = 14188;

// The walks through a player's previous- and next-subsong routines stop here
// even when its numbers wrap round.
constexpr int maxSubsongWalk = 256;
// The most subsongs a song may report, so that their count stays a number.
constexpr int64_t maxSubsongs = 0x10000;

// The tag list of a DeliTracker Custom player placed at a; 0 when it is none.
uint32_t deliTrackerTagList(const AmigaMachine& m, uint32_t a) {
    if (!a || m.peekLong(a + 4) != deliriumHigh || m.peekLong(a + 8) != deliriumLow) return 0;
    const uint32_t tags = m.peekLong(a + 12);
    uint32_t value = 0;
    if (m.findTag(tags, value, tagCustomPlayer) ||
        (m.findTag(tags, value, tagFlags) && (value & 1)))
        return tags;
    return 0;
}

// Most files are not hunk executables: those need no machine to be refused.
bool startsWithHunkMagic(std::FILE* stream) {
    if (std::fseek(stream, 0, SEEK_SET) != 0) return false;
    const uint32_t magic = readBe32(stream);
    const bool hunks = !std::feof(stream) && !std::ferror(stream) && magic == hunkMagic;
    std::clearerr(stream);
    std::fseek(stream, 0, SEEK_SET);
    return hunks;
}

// How far into a file each detector looks.
constexpr uint32_t hippelSearchWords = 128;
constexpr uint32_t monDetectBytes = 4096;
constexpr uint32_t sidMonDetectBytes = 2048;
// Enough words for any tag that the Hippel search may reach.
constexpr uint32_t hippelReach = 2 * hippelSearchWords + 0x4000 + 4;

} // namespace

int isHippelFile(std::FILE* stream, uint32_t size) {
    if (!stream || size > maxTuneBytes) return 0;
    const TuneWords tune = readTuneWords(stream, hippelReach);
    return findHippelTag(tune, 0, std::min(size, hippelSearchWords)).has_value();
}

int isMonFile(std::FILE* stream, uint32_t size) {
    if (!stream || size > maxTuneBytes) return 0;
    const TuneWords tune = readTuneWords(stream, monDetectBytes + 32);
    const uint32_t n = std::min(size, monDetectBytes);
    // The check's words up to its CMP.B lie within the first n bytes.
    return n >= 22 && hasMonJumpTable(tune) && findMonSubsongCheck(tune, (n - 22) / 2);
}

int isDeltaMusic2File(std::FILE* stream, uint32_t size) {
    if (!stream || size > maxTuneBytes) return 0;
    return hasDeltaMusic2Tag(readTuneWords(stream, 3018));
}

int isSidMon1File(std::FILE* stream, uint32_t size) {
    if (!stream || size > maxTuneBytes) return 0;
    return findSidMonRoutines(readTuneWords(stream, sidMonDetectBytes)).has_value();
}

int isDeliTrackerFile(std::FILE* stream) {
    if (!stream || !startsWithHunkMagic(stream)) return 0;
    std::unique_ptr<AmigaMachine> m(new (std::nothrow) AmigaMachine);
    if (!m) return 0;
    const uint32_t tags = deliTrackerTagList(*m, m->loadHunkProgram(stream));
    uint32_t value = 0;
    return tags && (m->findTag(tags, value, tagInterrupt) || m->findTag(tags, value, tagStartInt));
}

int isEmulatedFile(std::FILE* stream) {
    if (!stream) return 0;
    const uint32_t size = readTuneWords(stream, 0).fileSize;
    return isHippelFile(stream, size) || isMonFile(stream, size) ||
           isDeltaMusic2File(stream, size) || isSidMon1File(stream, size) ||
           isDeliTrackerFile(stream);
}

size_t fileNamePart(char* destination, size_t size, const char* path) {
    if (!destination || size == 0) return 0;
    const char* name = path ? path : "";
    const char* slash = std::strrchr(name, '\\');
    if (slash && slash != name) name = slash + 1;
    const size_t n = std::min(size - 1, std::strlen(name));
    std::memcpy(destination, name, n);
    destination[n] = '\0';
    return n + 1;
}

int EmulatedPlayer::loadFile(std::FILE* f, const char* path) {
    if (!isEmulatedFile(f)) return 0;
    fileNamePart(title, sizeof title, path);
    // The four formats without hunks read the same words; the file is read once.
    const TuneWords tune = readTuneWords(f, maxTuneBytes);
    if (tune.fileSize <= maxTuneBytes) {
        using Loader = int (EmulatedPlayer::*)(const TuneWords&);
        const std::pair<Loader, uint32_t> loaders[] = {
            {&EmulatedPlayer::loadHippel, formatHippel},
            {&EmulatedPlayer::loadMon, formatMon},
            {&EmulatedPlayer::loadDeltaMusic2, formatDeltaMusic2},
            {&EmulatedPlayer::loadSidMon1, formatSidMon1},
        };
        for (auto [load, format] : loaders) {
            if ((this->*load)(tune)) {
                subFormat = format;
                return 1;
            }
            destroyMachine();
        }
    }
    std::rewind(f);
    if (loadDeliTracker(f)) {
        subFormat = formatDeliTracker;
        return 1;
    }
    destroyMachine();
    return 0;
}

bool EmulatedPlayer::prepareMachine() {
    machine.reset(new (std::nothrow) AmigaMachine);
    if (!machine || !machine->bootMachine()) return false;
    mixer.enableBoost();
    voiceSet = mixer.allocateVoices(4);
    if (!voiceSet) return false;
    machine->setVoiceSet(voiceSet);
    return true;
}

bool EmulatedPlayer::placeTune(const TuneWords& tune) {
    if (!prepareMachine()) return false;
    machine->pokeWords(tuneAddress, tune.words.data(), uint32_t(tune.words.size()));
    return true;
}

void EmulatedPlayer::destroyMachine() {
    if (voiceSet) mixer.releaseVoices(voiceSet);
    voiceSet = nullptr;
    // The machine takes its chip RAM off the Mixer's slot 0 before freeing it.
    machine.reset();
}

int EmulatedPlayer::loadHippel(const TuneWords& file) {
    TuneWords tune = file;
    patchHippel(tune);
    const uint32_t play = hippelPlayOffset(tune);
    if (!play) return 0;
    std::optional<HippelTag> tag =
        findHippelTag(tune, play, std::min(tune.fileSize, hippelSearchWords));
    if (!tag) return 0;
    if (tag->coso) {
        lastSubsong = 255;
    } else {
        std::optional<uint16_t> count = tune.at(int64_t(tag->offset) + 16);
        if (!count) return 0;
        lastSubsong = *count;
    }
    firstSubsong = currentSubsong = 1;
    playRoutine = tuneAddress + play;
    return placeTune(tune);
}

int EmulatedPlayer::loadMon(const TuneWords& tune) {
    if (!hasMonJumpTable(tune)) return 0;
    const uint32_t n = std::min(tune.fileSize, monDetectBytes);
    if (n == 0) return 0;
    std::optional<uint32_t> check = findMonSubsongCheck(tune, (n - 1) / 2);
    if (!check) return 0;
    std::optional<uint16_t> count = tune.at(monSubsongCountOffset(tune, *check));
    if (!count) return 0;
    lastSubsong = *count >> 8;
    firstSubsong = currentSubsong = 1;
    playRoutine = tuneAddress + 4;
    return placeTune(tune);
}

int EmulatedPlayer::loadDeltaMusic2(const TuneWords& tune) {
    if (!hasDeltaMusic2Tag(tune)) return 0;
    firstSubsong = lastSubsong = currentSubsong = 0;
    playRoutine = tuneAddress;
    return placeTune(tune);
}

int EmulatedPlayer::loadSidMon1(const TuneWords& file) {
    std::optional<SidMonRoutines> routines = findSidMonRoutines(file);
    if (!routines) return 0;
    // The play routine returns instead of jumping on; the file stays as it is.
    TuneWords tune = file;
    tune.words[routines->exitWord] = 0x4E75;
    sidMonInit = tuneAddress + 2 * routines->init;
    playRoutine = tuneAddress + 2 * routines->play;
    firstSubsong = lastSubsong = currentSubsong = 0;
    return placeTune(tune);
}

int EmulatedPlayer::loadDeliTracker(std::FILE* f) {
    if (!startsWithHunkMagic(f) || !prepareMachine()) return 0;
    AmigaMachine& m = *machine;
    const uint32_t tags = deliTrackerTagList(m, m.loadHunkProgram(f));
    if (!tags) return 0;
    const std::pair<uint32_t, uint32_t*> routines[] = {
        {tagInitPlayer, &initRoutine},      {tagInitSound, &prepareRoutine},
        {tagVolume, &levelsRoutine},        {tagSetup, &setupRoutine},
        {tagStartInt, &startRoutine},       {tagInterrupt, &tickRoutine},
        {tagNextSong, &nextSubsongRoutine}, {tagPrevSong, &previousSubsongRoutine},
    };
    for (auto [tag, routine] : routines) {
        *routine = 0;
        m.findTag(tags, *routine, tag);
    }
    uint32_t base = 0;
    if (m.findTag(tags, base, tagDeliBase)) m.pokeLong(base, m.supportBlockOf());
    if (!tickRoutine && !startRoutine) return 0;
    playRoutine = tickRoutine;

    m.pokeSupportWord(supportTimer, defaultCiaTimer);
    const uint32_t cleared[amigaRegisterCount] = {};
    uint32_t registers[amigaRegisterCount];
    if (initRoutine) m.callAmigaRoutine(initRoutine, registers, cleared);
    readDeliTrackerSubsongs(tags);
    return 1;
}

void EmulatedPlayer::readDeliTrackerSubsongs(uint32_t tags) {
    AmigaMachine& m = *machine;
    uint32_t value = 0;
    if (m.findTag(tags, value, tagSubSongTriple)) {
        currentSubsong = int32_t(m.peekWord(value));
        firstSubsong = int32_t(m.peekWord(value + 2));
        lastSubsong = int32_t(m.peekWord(value + 4));
        return;
    }
    const uint32_t cleared[amigaRegisterCount] = {};
    uint32_t registers[amigaRegisterCount];
    if (m.findTag(tags, value, tagSubSongRange)) {
        m.callAmigaRoutine(value, registers, cleared);
        firstSubsong = currentSubsong = int32_t(registers[0]);
        lastSubsong = int32_t(registers[1]);
        return;
    }
    const int32_t start = int32_t(m.peekSupportWord(supportSubsong));
    currentSubsong = firstSubsong = lastSubsong = start;
    if (!nextSubsongRoutine || !previousSubsongRoutine) return;
    // Steps until the subsong word stops changing, or the walk's bound.
    auto walk = [&](uint32_t routine) {
        int32_t reached = int32_t(m.peekSupportWord(supportSubsong));
        for (int n = 0; n < maxSubsongWalk; ++n) {
            m.callAmigaRoutine(routine, registers, cleared);
            const int32_t now = int32_t(m.peekSupportWord(supportSubsong));
            if (now == reached) break;
            reached = now;
        }
        return reached;
    };
    firstSubsong = walk(previousSubsongRoutine);
    lastSubsong = walk(nextSubsongRoutine);
    for (int n = 0; n < maxSubsongWalk && int32_t(m.peekSupportWord(supportSubsong)) != start; ++n)
        m.callAmigaRoutine(previousSubsongRoutine, registers, cleared);
}

void EmulatedPlayer::clampSubsongs() {
    // At least one subsong, and never more than a count can hold.
    firstSubsong = int32_t(std::min<int64_t>(firstSubsong, INT32_MAX - maxSubsongs));
    if (lastSubsong < firstSubsong) lastSubsong = firstSubsong;
    if (int64_t(lastSubsong) - firstSubsong >= maxSubsongs)
        lastSubsong = int32_t(firstSubsong + maxSubsongs - 1);
}

} // namespace pelmit
