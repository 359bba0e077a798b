// Playing an emulated song: setting the tune up for its subsong, ticking its
// play routine (or its level-6 interrupt), seeking and choosing subsongs.
#include "pelmit/formats/emulated_player.h"

#include "pelmit/amiga/amiga_machine.h"
#include "pelmit/formats/player_controls.h"
#include "pelmit/mixer/mixer.h"

#include <algorithm>
#include <cstdio>
#include <new>

namespace pelmit {

namespace {

constexpr uint32_t supportSubsong = 44;
constexpr uint32_t supportLevels[] = {46, 48, 50};
constexpr uint32_t fullLevel = 64;
constexpr uint32_t supportTimer = 54;
constexpr uint32_t tempo = 125; // 50 ticks a second
constexpr uint32_t tickInterruptLevel = 6;

const char* const formatNames[] = {"Jochen Hippel", "M.O.N.", "DeliTracker Custom",
                                   "Delta Music 2.0", "SidMon 1"};

} // namespace

FormatPlayer* EmulatedPlayer::create() {
    return new (std::nothrow) EmulatedPlayer;
}

EmulatedPlayer::EmulatedPlayer() = default;

EmulatedPlayer::~EmulatedPlayer() {
    releaseSong();
}

int EmulatedPlayer::loadSong(const char* path) {
    releaseSong();
    std::FILE* f = path ? std::fopen(path, "rb") : nullptr;
    if (!f) return 0;
    const int loaded = loadFile(f, path);
    std::fclose(f);
    if (loaded) clampSubsongs();
    return loaded;
}

void EmulatedPlayer::releaseSong() {
    stopSong();
    destroyMachine();
}

void EmulatedPlayer::songTitle(char* buffer, size_t size) {
    if (buffer && size) std::snprintf(buffer, size, "%s", title);
}

const char* EmulatedPlayer::subFormatName() const {
    return subFormat < std::size(formatNames) ? formatNames[subFormat] : "Unknown";
}

void EmulatedPlayer::selectSubsong(int index) {
    inTick.waitForEnd();
    currentSubsong = int32_t(int64_t(firstSubsong) + index - 1);
    if (!machine) return;
    initSong();
    mixer.resetOutput();
}

void EmulatedPlayer::initSong() {
    interruptMode = false;
    uint32_t registers[amigaRegisterCount] = {};
    const uint32_t cleared[amigaRegisterCount] = {};
    const uint32_t subsong = uint32_t(currentSubsong.load());
    AmigaMachine& m = *machine;
    switch (subFormat) {
    case formatHippel:
        m.runAmigaRoutine(tuneAddress, cleared);
        registers[0] = subsong;
        m.runAmigaRoutine(tuneAddress, registers);
        break;
    case formatMon:
        m.runAmigaRoutine(tuneAddress, cleared);
        registers[0] = subsong;
        m.runAmigaRoutine(tuneAddress + 8, registers);
        break;
    case formatDeliTracker: {
        auto call = [&](uint32_t routine) {
            if (routine && !stopIsRequested()) m.callAmigaRoutine(routine, registers, cleared);
        };
        call(prepareRoutine);
        m.pokeSupportWord(supportSubsong, subsong & 0xFFFF);
        for (uint32_t level : supportLevels) m.pokeSupportWord(level, fullLevel);
        call(levelsRoutine);
        call(setupRoutine);
        call(startRoutine);
        if (startRoutine) {
            if (m.reportedRoutineOf())
                playRoutine = m.reportedRoutineOf();
            else if (m.peekLong(levelSixVectorAddress))
                interruptMode = true;
        }
        break;
    }
    case formatDeltaMusic2:
        registers[0] = 2;
        registers[1] = 63;
        m.runAmigaRoutine(tuneAddress, registers);
        registers[0] = 1;
        m.runAmigaRoutine(tuneAddress, registers);
        break;
    case formatSidMon1: m.runAmigaRoutine(sidMonInit, cleared); break;
    }
}

TickTimer* EmulatedPlayer::begin() {
    TickTimer* timer = mixer.getTickTimer();
    if (!timer || !machine) return nullptr;
    tickTimer = timer;
    machine->setTickTimer(timer);
    initSong();
    started = 1;
    mixer.resetOutput();
    const TickRate rate = subFormat == formatDeliTracker
                              ? TickRate::ciaTimer(machine->peekSupportWord(supportTimer))
                              : TickRate::bpm(tempo);
    startTickTimer(timer, rate, tickCallback, this);
    finished = 0;
    return timer;
}

void EmulatedPlayer::startSong() {
    if (started) return;
    if (!begin()) return;
    mixer.setLedFilter(0);
    // The elapsed time counts from the start.
    mixer.beginSkip();
    mixer.endSkip();
}

void EmulatedPlayer::stopSong() {
    inTick.waitForEnd();
    if (!started) return;
    started = 0;
    if (tickTimer) tickTimer->stop();
    stopVoices(voiceSet, 4);
}

int EmulatedPlayer::seekToMs(int targetMs) {
    stopSong();
    if (!begin()) return targetMs;
    const int reached = skipTicks(finished, targetMs);
    mixer.resetOutput();
    return reached;
}

void EmulatedPlayer::tickCallback(void* self) {
    auto* player = static_cast<EmulatedPlayer*>(self);
    player->inTick.run([player] { player->playTick(); });
}

void EmulatedPlayer::playTick() {
    if (finished) return;
    const uint32_t cleared[amigaRegisterCount] = {};
    if (interruptMode)
        machine->raiseInterruptAndRun(tickInterruptLevel);
    else
        machine->runAmigaRoutine(playRoutine, cleared);
    mixer.renderVoices(voiceSet);
    if (mixer.elapsedMs() >= emulatedSongLengthMs) finished = 1;
}

} // namespace pelmit
