// The MOD replayer: a tick routine that reads pattern rows, applies the
// tracker effects with the arithmetic of the tracker that wrote the module,
// and sends one voice command per channel to the Mixer before rendering the
// tick. The same ticks, run in the Mixer's skip mode, measure the song and
// seek in it.
#pragma once

#include "pelmit/format_player.h"
#include "pelmit/formats/player_controls.h"
#include "pelmit/formats/mod_loader.h"
#include "pelmit/formats/mod_song.h"
#include "pelmit/mixer/tick_timer.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <set>
#include <vector>

namespace pelmit {

struct ModChannel {
    uint8_t sample = 0; // 0 = none yet
    uint8_t flags = 0;  // voice command flags gathered during this tick
    uint8_t portamentoSpeed = 0;
    uint8_t note = 0;
    uint8_t vibratoCommand = 0; // speed in the high nibble, depth in the low
    uint8_t vibratoPosition = 0;
    uint8_t vibratoWaveform = 0; // bits 0-1 shape, bit 2 keeps the position on a new note
    uint8_t tremoloCommand = 0;
    uint8_t tremoloPosition = 0;
    uint8_t tremoloWaveform = 0;
    uint16_t sampleOffset = 0;
    uint8_t funkSpeed = 0;
    uint8_t funkAccumulator = 0;
    int16_t baseVolume = 0;
    int16_t volume = 0; // 0..256
    int16_t period = 0;
    int16_t portamentoTarget = 0;
    int16_t basePeriod = 0; // centre of the vibrato
    uint16_t funkPosition = 0;
    uint16_t previousEffect = 0; // 1 << effect of the last new row
    uint16_t loopRow = 0;        // 255 = none
    uint16_t loopCount = 0;      // 255 = no loop running
    uint16_t delay = 0;          // microseconds, for cmdDelay
};

// The longest a song is played or measured: a song whose order never ends
// this side of it is cut here.
constexpr int32_t modSongTimeLimitMs = 30 * 60 * 1000;

class ModPlayer final : public FormatPlayer {
public:
    // The file type that recognises and loads its songs (one for all players;
    // tests bring their own).
    explicit ModPlayer(ModFileType& fileType = modFileType) : fileType(fileType) {}
    ~ModPlayer() override;
    ModPlayer(const ModPlayer&) = delete;
    ModPlayer& operator=(const ModPlayer&) = delete;

    int loadSong(const char* path) override;
    void startSong() override;
    void stopSong() override;
    void releaseSong() override;
    uint16_t songPosition() override { return position; }
    void setSongPosition(uint16_t newPosition) override;
    int patternRow() override { return row; }
    int songFinished() override { return ended; }
    void songTitle(char* buffer, size_t size) override;
    int channelCount() override { return song.channels; }
    int songLengthMs() override { return song.lengthMs; }
    int seekToMs(int targetMs) override;

    // The tracker whose arithmetic the song is played with (the MOD
    // information dialog lets the user pick one).
    void setTrackerType(int32_t type);

    // Settings switches, copied in by startUp.
    static inline std::atomic<int32_t> ignoreF00{0};
    static inline std::atomic<int32_t> emulateFilter{1};

    // The random start delays of EDx: one generator for every song, seeded 1
    // when the plug-in loads; tests reseed it.
    static void seedRandomDelay(uint32_t seed);

    static FormatPlayer* create() { return new ModPlayer; }

    // --- State for the information dialog, the trace harness and tests -----
    const ModSong& songData() const { return song; }
    ModSong& songData() { return song; }
    const ModChannel& channel(int c) const { return channels[c & (modMaxChannels - 1)]; }
    int currentSpeed() const { return speed; }
    int currentTempo() const { return tempo; }
    int currentRowTick() const { return rowTick; }
    int currentSubTick() const { return subTick; }
    // Runs one tick as the timer would.
    static void tickCallback(void* player);

private:
    friend class ModFileType;

    void resetPlayback();
    // Starts the timer on this song from its beginning (started set).
    TickTimer* restartTimer(uint32_t bpm);
    void tick();
    void newRow(ModChannel& ch, const ModCell& cell, uint16_t& effectBit);
    void firstTickEffect(ModChannel& ch, const ModCell& cell, uint16_t& effectBit);
    void laterTickEffect(ModChannel& ch, const ModCell& cell);
    void funkStep(ModChannel& ch);
    void patternLoop(ModChannel& ch, int x);
    void setSpeedAndTempo(int parameter);
    void finishChannel(ModChannel& ch, int c, uint16_t effectBit, bool firstTick);
    void advance();
    void noteRowReached();
    int finetuneOf(const ModChannel& ch) const;
    int clampNote(int note) const;
    void freeSong();
    void keepLoopsForFunk();
    void restoreFunkedLoops();

    // Playback state.
    uint16_t rowTick = 0, subTick = 0, patternDelay = 0;
    uint16_t position = 0, row = 0;
    uint16_t jumpPending = 0;
    int16_t breakRow = -1, jumpPosition = -1;
    uint16_t ended = 0;
    std::atomic<int> started{0};
    ModChannel channels[modMaxChannels];
    TickInProgress inTick;
    TickTimer* timer = nullptr;
    uint16_t tempo = 125, speed = 6;
    // Song time in microseconds, for the time limit.
    int64_t songTimeUs = 0;
    // Rows landed on by jumps to the current position, with the pattern-loop
    // state they were landed with: landing on one again means the song repeats
    // itself for ever from there.
    using JumpLanding = std::array<uint8_t, 1 + 2 * modMaxChannels>;
    std::set<JumpLanding> jumpLandings;
    // EFx inverts loop bytes for the rest of the song; every replay from the
    // start (play, length measurement, seek) begins with the loops as loaded.
    std::vector<std::vector<int8_t>> loopsAsLoaded;

    ModFileType& fileType;
    ModSong song;
};

} // namespace pelmit
