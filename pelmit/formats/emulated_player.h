// The formats whose replay code comes inside the song file: Jochen Hippel,
// M.O.N., DeliTracker Custom, Delta Music 2.0 and SidMon 1. The file's own
// 68000 code makes the music on an emulated Amiga; this player recognises the
// code, sets it up, counts its subsongs and ticks it.
#pragma once

#include "pelmit/format_player.h"
#include "pelmit/formats/player_controls.h"
#include "pelmit/mixer/sound_device.h"
#include "pelmit/mixer/tick_timer.h"
#include "pelmit/subsong_selection.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>

namespace pelmit {

class AmigaMachine;
struct TuneWords;

enum EmulatedFormat : uint32_t {
    formatHippel = 0,
    formatMon = 1,
    formatDeliTracker = 2,
    formatDeltaMusic2 = 3,
    formatSidMon1 = 4,
};

// Every emulated song is ten minutes long.
constexpr int32_t emulatedSongLengthMs = 600000;

// The detectors; each positions the stream itself. `size` is the file's size.
int isHippelFile(std::FILE* stream, uint32_t size);
int isMonFile(std::FILE* stream, uint32_t size);
int isDeltaMusic2File(std::FILE* stream, uint32_t size);
int isSidMon1File(std::FILE* stream, uint32_t size);
int isDeliTrackerFile(std::FILE* stream);
// 1 when any of them accepts the file.
int isEmulatedFile(std::FILE* stream);

// Copies the part of the path after its last backslash (all of it when there
// is none, or when the only one is its first character), cut to size bytes
// with its NUL; returns the length copied + 1.
size_t fileNamePart(char* destination, size_t size, const char* path);

class EmulatedPlayer final : public FormatPlayer, public SubsongSelection {
public:
    EmulatedPlayer();
    ~EmulatedPlayer() override;
    EmulatedPlayer(const EmulatedPlayer&) = delete;
    EmulatedPlayer& operator=(const EmulatedPlayer&) = delete;

    int loadSong(const char* path) override;
    void startSong() override;
    void stopSong() override;
    void releaseSong() override;
    int songFinished() override { return int(finished); }
    void songTitle(char* buffer, size_t size) override;
    int songLengthMs() override { return emulatedSongLengthMs; }
    int seekToMs(int targetMs) override;

    static FormatPlayer* create();

    // The information dialog's view. Subsong indices count from 1.
    int subsongCount() const override { return lastSubsong - firstSubsong + 1; }
    int currentSubsongIndex() const override { return currentSubsong - firstSubsong + 1; }
    // Puts the tune at the start of the subsong; the elapsed time goes on. It
    // runs the CPU, so while the song plays only the decode thread calls it
    // (the shell hands the dialog's choice over as it does a seek).
    void selectSubsong(int index) override;
    const char* subFormatName() const override;

    // What tests look at.
    uint32_t format() const { return subFormat; }
    int currentSubsongNumber() const { return currentSubsong.load(); }
    uint32_t playRoutineAddress() const { return playRoutine; }
    bool ticksByInterrupt() const { return interruptMode; }
    AmigaMachine* amiga() const { return machine.get(); }

private:
    static void tickCallback(void* self);
    int loadFile(std::FILE* f, const char* path);
    int loadHippel(const TuneWords& tune);
    int loadMon(const TuneWords& tune);
    int loadDeltaMusic2(const TuneWords& tune);
    int loadSidMon1(const TuneWords& tune);
    int loadDeliTracker(std::FILE* f);
    // The common tail of the loaders: a booted machine with four voices.
    bool prepareMachine();
    // A prepared machine with the tune's words at 0x2000.
    bool placeTune(const TuneWords& tune);
    void readDeliTrackerSubsongs(uint32_t tags);
    void clampSubsongs();
    void destroyMachine();
    void initSong();
    // Starts the tick timer on the song from its beginning; null without one.
    TickTimer* begin();
    void playTick();

    std::atomic<int32_t> started{0};
    TickInProgress inTick;
    TickTimer* tickTimer = nullptr;
    VoiceSet* voiceSet = nullptr;
    char title[256] = {};
    // Read and written only by the thread that ticks.
    uint32_t finished = 1;
    std::unique_ptr<AmigaMachine> machine;
    uint32_t playRoutine = 0;
    int32_t firstSubsong = 0, lastSubsong = 0;
    // Changed on the decode thread, read by the information dialog.
    std::atomic<int32_t> currentSubsong{0};
    uint32_t subFormat = 0;
    uint32_t initRoutine = 0, setupRoutine = 0, prepareRoutine = 0, tickRoutine = 0,
             nextSubsongRoutine = 0, previousSubsongRoutine = 0, levelsRoutine = 0,
             startRoutine = 0;
    uint32_t sidMonInit = 0;
    bool interruptMode = false;
};

} // namespace pelmit
