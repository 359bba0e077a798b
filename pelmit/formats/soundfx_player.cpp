// SoundFX 1.3: loading, the tick routine with its effects, length measurement
// and seeking.
#include "pelmit/formats/soundfx_player.h"

#include "pelmit/formats/player_controls.h"
#include "pelmit/formats/structure_reader.h"
#include "pelmit/mixer/mixer.h"
#include "pelmit/mixer/tick_timer.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace pelmit {

const std::array<uint16_t, 48> sfxPeriods = {
    1712, 1616, 1524, 1440, 1356, 1280, 1208, 1140, 1076, 1016, 960, 906, 856, 808, 762, 720,
    678,  640,  604,  570,  538,  508,  480,  453,  428,  404,  381, 360, 339, 320, 302, 285,
    269,  254,  240,  226,  214,  202,  190,  180,  170,  160,  151, 143, 135, 127, 120, 113,
};

namespace {

constexpr std::array<uint16_t, 72> makeArpeggioPeriods() {
    std::array<uint16_t, 72> table{};
    for (size_t i = 0; i < table.size(); ++i) table[i] = sfxPeriods[std::clamp<size_t>(i, 12, 47)];
    return table;
}

constexpr uint32_t songTag = 0x534F4E47; // "SONG"
constexpr uint16_t periodSilence = 0xFFFE;
constexpr uint16_t periodCancel = 0xFFFD;
// Period words from here up are the format's special codes, not notes.
constexpr uint16_t firstSpecialPeriod = 0xFFE9;
constexpr int rowTick = 6;
constexpr int cellsPerPattern = sfxRowsPerPattern * sfxChannelCount;
// The smallest timer value that gives a tick of at least one frame at every
// rate the Mixer accepts (a tick lasts value / 709,378.92 seconds).
constexpr uint16_t minimumTimer = uint16_t(709378.92 / minSampleRate) + 1;

enum SfxEffect : uint8_t {
    effectArpeggio = 1,
    effectPitchBend = 2,
    effectVolumeUp = 5,
    effectVolumeDown = 6,
    effectSlideDown = 7,
    effectSlideUp = 8,
};

SfxCell convertCell(uint32_t cell) {
    SfxCell c{sfxNoNote, uint8_t(cell >> 12 & 15), uint8_t(cell >> 8 & 15), uint8_t(cell)};
    const uint16_t word = uint16_t(cell >> 16);
    if (word >= firstSpecialPeriod) {
        c.note = uint8_t(word);
    } else if (word != 0) {
        // Any other word that is not in the table is no note.
        auto it = std::find(sfxPeriods.begin(), sfxPeriods.end(), word);
        if (it != sfxPeriods.end()) c.note = uint8_t(it - sfxPeriods.begin());
    }
    return c;
}

uint16_t periodOfNote(uint8_t note) {
    if (note < sfxPeriods.size()) return sfxPeriods[note];
    if (note >= (firstSpecialPeriod & 0xFF)) return uint16_t(0xFF00 | note);
    return 0;
}

// Arpeggio and slide lookups reach past the table for notes near its ends
// and for rows without a note; they take the nearest entry.
uint16_t arpeggioPeriod(int index) {
    return sfxArpeggioPeriods[std::clamp<int>(index, 0, int(sfxArpeggioPeriods.size()) - 1)];
}

bool isNotePeriod(uint16_t period) {
    return period != 0 && period < firstSpecialPeriod;
}

const char* afterLastBackslash(const char* path) {
    const char* slash = std::strrchr(path, '\\');
    return slash ? slash + 1 : path;
}

} // namespace

const std::array<uint16_t, 72> sfxArpeggioPeriods = makeArpeggioPeriods();

int identifySoundFx(std::FILE* stream, const char*) {
    if (!stream || std::fseek(stream, 60, SEEK_SET) != 0) return 0;
    uint32_t tag = readBe32(stream);
    return !std::feof(stream) && !std::ferror(stream) && tag == songTag;
}

FormatPlayer* SoundFxPlayer::create() {
    return new (std::nothrow) SoundFxPlayer;
}

SoundFxPlayer::~SoundFxPlayer() {
    releaseSong();
}

int SoundFxPlayer::loadSong(const char* path) {
    releaseSong();
    std::FILE* f = path ? std::fopen(path, "rb") : nullptr;
    if (!f) return 0;
    int loaded = load(f, path);
    std::fclose(f);
    if (!loaded) {
        releaseSong();
        return 0;
    }
    // Length: every tick from the start, in skip mode.
    if (TickTimer* timer = begin()) {
        lengthMs = skipTicks(ended);
        timer->stop();
        timer->release();
        started = 0;
        mixer.resetVoices(voices);
    }
    return 1;
}

int SoundFxPlayer::load(std::FILE* f, const char* path) {
    uint32_t sizes[sfxSampleCount];
    for (uint32_t& size : sizes) size = readBe32(f);
    if (readBe32(f) != songTag || std::feof(f)) return 0;
    timerValue = readBe16(f);
    // Too small a value gives ticks of no length at some rates: the file is
    // refused rather than played at a tempo it does not have.
    if (timerValue < minimumTimer) return 0;
    std::fseek(f, 14, SEEK_CUR);

    for (int i = 0; i < sfxSampleCount; ++i) {
        SfxSample& s = samples[i];
        std::memset(s.name, 0, sizeof s.name);
        if (std::fread(s.name, 1, 22, f) != 22) return 0;
        s.size = sizes[i];
        s.length = 2u * readBe16(f);
        s.volume = readBe16(f);
        s.loopStart = readBe16(f);
        s.loopLength = 2u * readBe16(f);
        if (s.loopLength <= 2) s.loopStart = s.loopLength = 0;
        if (s.loopStart + s.loopLength > s.length) s.length = s.loopStart + s.loopLength;
    }

    songLength = uint32_t(std::fgetc(f));
    std::fgetc(f);
    if (std::fread(orders, 1, sfxOrderCount, f) != sfxOrderCount) return 0;
    // A song of no orders never ends; more than the order list holds is cut to it.
    if (songLength == 0) return 0;
    songLength = std::min<uint32_t>(songLength, sfxOrderCount);
    patternTotal = uint32_t(*std::max_element(orders, orders + songLength)) + 1;

    mixer.enableBoost();
    voices = mixer.allocateVoices(sfxChannelCount);
    if (!voices) return 0;
    patterns.reset(new (std::nothrow) SfxCell[patternTotal * cellsPerPattern]);
    if (!patterns) return 0;
    usedEffects = 0;
    for (uint32_t i = 0; i < patternTotal * cellsPerPattern; ++i) {
        uint32_t cell = readBe32(f);
        // A file cut short in its patterns leaves the rest of them empty.
        if (std::feof(f)) cell = 0;
        patterns[i] = convertCell(cell);
        usedEffects |= 1u << patterns[i].effect;
    }

    for (int i = 0; i < sfxSampleCount; ++i) {
        const SfxSample& s = samples[i];
        if (s.size == 0) continue;
        // Never more than the file still holds, whatever the header claims.
        const uint32_t available = std::min(s.size, remainingBytes(f));
        std::unique_ptr<int8_t[]> data(available ? new (std::nothrow) int8_t[available] : nullptr);
        if (!data) {
            // Skipped, not misread: the next sample starts where the file says.
            std::fseek(f, long(available), SEEK_CUR);
            continue;
        }
        const uint32_t got = uint32_t(std::fread(data.get(), 1, available, f));
        SampleDescriptor d{};
        d.data = data.get();
        d.size = std::min(s.length, got);
        if (s.loopLength >= 3) {
            d.loopStart = s.loopStart;
            d.loopEnd = s.loopStart + s.loopLength;
        }
        d.baseRate = 8363;
        d.slot = uint8_t(i);
        mixer.loadSample(voices, &d);
    }

    std::snprintf(title, sizeof title, "%s", afterLastBackslash(path));
    return 1;
}

void SoundFxPlayer::releaseSong() {
    patterns.reset();
    if (voices) mixer.releaseVoices(voices);
    voices = nullptr;
}

void SoundFxPlayer::songTitle(char* buffer, size_t size) {
    if (!buffer || size == 0) return;
    // The first 22 characters, as the information dialog has room for.
    const size_t n = std::min({size - 1, size_t(22), std::strlen(title)});
    std::memcpy(buffer, title, n);
    buffer[n] = '\0';
}

void SoundFxPlayer::reset() {
    tickCounter = 0;
    position = 0;
    row = 0;
    for (int c = 0; c < sfxChannelCount; ++c) {
        channels[c] = SfxChannel{};
        channels[c].command.voice = uint8_t(c);
        // A note before any sample number plays nothing (slot 255 stays empty).
        channels[c].command.slot = 0xFF;
    }
}

TickTimer* SoundFxPlayer::begin() {
    TickTimer* timer = mixer.getTickTimer();
    if (!timer) return nullptr;
    reset();
    started = 1;
    mixer.resetOutput();
    startTickTimer(timer, TickRate::ciaTimer(timerValue), tickCallback, this);
    ended = 0;
    return timer;
}

void SoundFxPlayer::startSong() {
    if (started || !mixer.getTickTimer()) return;
    begin();
    mixer.setLedFilter(0);
}

void SoundFxPlayer::stopSong() {
    inTick.waitForEnd();
    if (!started) return;
    started = 0;
    if (TickTimer* timer = mixer.getTickTimer()) timer->stop();
    stopVoices(voices, sfxChannelCount);
}

int SoundFxPlayer::seekToMs(int targetMs) {
    stopSong();
    if (!begin()) return targetMs;
    const int reached = skipTicks(ended, targetMs);
    mixer.resetOutput();
    return reached;
}

void SoundFxPlayer::tickCallback(void* self) {
    auto* player = static_cast<SoundFxPlayer*>(self);
    player->inTick.run([player] { player->tick(); });
}

void SoundFxPlayer::tick() {
    if (ended) return;
    if (++tickCounter == rowTick) {
        tickCounter = 0;
        readRow();
    } else {
        for (SfxChannel& ch : channels) laterTick(ch);
    }
    for (SfxChannel& ch : channels) mixer.sendVoiceCommand(voices, &ch.command);
    mixer.renderVoices(voices);
}

void SoundFxPlayer::readRow() {
    const SfxCell* cells =
        &patterns[(orders[position] * sfxRowsPerPattern + row) * sfxChannelCount];
    for (int c = 0; c < sfxChannelCount; ++c) {
        SfxChannel& ch = channels[c];
        const SfxCell& cell = cells[c];
        VoiceCommand& cmd = ch.command;
        cmd.flags = 0;
        ch.note = cell.note;
        ch.rowPeriod = periodOfNote(cell.note);
        ch.sample = cell.sample;
        ch.effect = cell.effect;
        ch.parameter = cell.parameter;
        if (ch.rowPeriod == periodCancel) {
            ch.sample = ch.effect = ch.parameter = 0;
            continue;
        }
        if (ch.sample != 0) {
            int v = samples[ch.sample - 1].volume;
            if (ch.effect == effectVolumeUp) v = std::min(v + ch.parameter, 64);
            if (ch.effect == effectVolumeDown) v = std::max(v - ch.parameter, 0);
            cmd.flags = cmdVolume;
            cmd.volume = uint16_t(v * 255 >> 6);
        }
        if (ch.rowPeriod == 0) continue;
        ch.slideStep = 0;
        if (ch.rowPeriod == periodSilence) {
            cmd.flags |= cmdVolume;
            cmd.volume = 0; // silenced, not stopped
        } else if (isNotePeriod(ch.rowPeriod)) {
            cmd.flags |= cmdTrigger | cmdPeriod;
            cmd.period = uint32_t(ch.rowPeriod) << 16;
            // Without a sample number the note replays the channel's last sample.
            if (ch.sample != 0) cmd.slot = uint8_t(ch.sample - 1);
            cmd.offset = 0;
        }
    }
    if (++row == sfxRowsPerPattern) {
        row = 0;
        if (++position >= songLength) {
            position = 0;
            ended = 1;
        }
    }
}

void SoundFxPlayer::laterTick(SfxChannel& ch) {
    VoiceCommand& cmd = ch.command;
    cmd.flags = 0;
    if (ch.slideStep != 0) {
        int p = ch.slidePeriod + ch.slideStep;
        if (ch.slideStep > 0 ? p > ch.slideTarget : p < ch.slideTarget) p = ch.slideTarget;
        ch.slidePeriod = uint16_t(p);
        cmd.flags = cmdPeriod;
        cmd.period = uint32_t(ch.slidePeriod) << 16;
        return;
    }
    const int hi = ch.parameter >> 4, lo = ch.parameter & 15;
    switch (ch.effect) {
    case effectArpeggio: {
        static constexpr int highOrLow[rowTick] = {0, 1, 2, 0, 2, 1}; // 1 high, 2 low nibble
        const int which = highOrLow[tickCounter];
        const int e = which == 1 ? hi : which == 2 ? lo : 0;
        cmd.flags = cmdPeriod;
        cmd.period = uint32_t(arpeggioPeriod(ch.note + e)) << 16;
        break;
    }
    case effectPitchBend:
        // Bends the row's note; a row without a note has nothing to bend.
        if (!isNotePeriod(ch.rowPeriod) || (hi == 0 && lo == 0)) break;
        ch.rowPeriod = uint16_t(hi ? ch.rowPeriod + hi : ch.rowPeriod - lo);
        cmd.flags = cmdPeriod;
        cmd.period = uint32_t(ch.rowPeriod) << 16;
        break;
    case effectSlideDown:
    case effectSlideUp: {
        // A slide needs the row's note to start from; period 0 would freeze the voice.
        if (!isNotePeriod(ch.rowPeriod)) break;
        const bool down = ch.effect == effectSlideDown;
        ch.slidePeriod = ch.rowPeriod;
        ch.slideStep = int16_t(down ? lo : -lo);
        ch.slideTarget = ch.rowPeriod;
        if (ch.note >= 12 && ch.note <= 47)
            ch.slideTarget = arpeggioPeriod(down ? ch.note - hi : ch.note + hi);
        break;
    }
    default: break;
    }
}

} // namespace pelmit
