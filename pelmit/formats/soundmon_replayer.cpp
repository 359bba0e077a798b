// The SoundMon replayer: the tick routine with its row step and effects, note
// starts, the synth step that reshapes the synth tables while they play, and
// starting, stopping, length measurement and seeking.
#include "pelmit/formats/soundmon_player.h"

#include "pelmit/formats/player_controls.h"
#include "pelmit/mixer/mixer.h"
#include "pelmit/mixer/tick_timer.h"

#include <algorithm>
#include <cstring>

namespace pelmit {

namespace {

constexpr std::array<uint16_t, 84> makePeriods() {
    constexpr uint16_t base[12] = {856, 808, 760, 720, 680, 640, 604, 572, 540, 508, 480, 452};
    std::array<uint16_t, 84> table{};
    // base x 2^(3 - octave); the highest octave rounds halves up.
    for (int i = 0; i < 84; ++i) {
        const int octave = i / 12;
        table[size_t(i)] = uint16_t((base[i % 12] * 8 + (1 << octave >> 1)) >> octave);
    }
    return table;
}

constexpr int noteOffset = 35;
constexpr uint32_t lowestPeriod = 113, highestPeriod = 3628;
constexpr uint16_t noteStartPending = 0x8000;
constexpr int backupBytes = 32;

enum SoundMonEffect : uint8_t {
    effectArpeggio = 0,
    effectVolume = 1,
    effectSpeed = 2,
    effectFilter = 3,
    effectSlideUp = 4,
    effectSlideDown = 5,
    effectVibrato = 6,
    effectJump = 7,
    effectAutoslide = 8,
    effectAutoArpeggio = 9,
    effectTranspose = 10,
    effectFxControl = 11,
    effectSwapFx = 13,
    effectResetAdsr = 14,
    effectAutoArpeggioOnly = 15,
};

uint32_t periodOfNote(int note) {
    return soundMonPeriods[size_t(std::clamp(note + noteOffset, 0, 83))];
}

uint16_t adsrVolume(int8_t level, uint8_t volume) {
    return uint16_t(((((level + 128) >> 2) * volume) >> 6) * 255 >> 6);
}

// A sequence position moves on by one; at its length it starts again, or, with
// control 1 ("once"), the sequence stops.
void advance(uint16_t& position, uint32_t length, uint8_t& control) {
    if (++position >= length) {
        position = 0;
        if (control == 1) control = 0;
    }
}

void restartAdsr(SoundMonVoice& vc) {
    vc.adsrPosition = 0;
    if (vc.adsrControl == 0) vc.adsrControl = 1;
}

} // namespace

const std::array<uint16_t, 84> soundMonPeriods = makePeriods();
const std::array<int16_t, 8> soundMonVibrato = {0, 64, 128, 64, 0, -64, -128, -64};
std::atomic<int> soundMonEmulateFilter{1};

void SoundMonPlayer::reset() {
    speed = 6;
    speedCounter = 1;
    arpeggioPhase = 1;
    repeatCount = 1;
    position = row = 0;
    jumpPending = jumpTarget = 0;
    vibratoPhase = 0;
    tickCount = 0;
    songEnded = 0;
    for (int v = 0; v < soundMonVoiceCount; ++v) {
        voices[v] = SoundMonVoice{};
        voices[v].modifiedWave = -1;
        voices[v].command.voice = uint8_t(v);
    }
}

TickTimer* SoundMonPlayer::begin() {
    TickTimer* timer = mixer.getTickTimer();
    if (!timer) return nullptr;
    reset();
    playing = 1;
    mixer.resetOutput();
    startTickTimer(timer, TickRate::bpm(125), tickCallback, this);
    return timer;
}

void SoundMonPlayer::restoreTables() {
    const uint32_t bytes = synthTableCount * soundMonTableSize;
    if (!bytes || !synthTables) return;
    std::memcpy(synthTables.get(), pristineSynthTables.get(), bytes);
    mixer.writeSampleBytes(voiceSet, pristineSynthTables.get(), uint32_t(synthSlot), 0, bytes);
}

void SoundMonPlayer::measure() {
    TickTimer* timer = begin();
    if (!timer) return;
    lengthMs = skipTicks(songEnded);
    timer->stop();
    timer->release();
    playing = 0;
    mixer.resetVoices(voiceSet);
    restoreTables();
}

void SoundMonPlayer::startSong() {
    if (playing || !mixer.getTickTimer()) return;
    mixer.setLedFilter(soundMonEmulateFilter.load() ? 1 : 0);
    begin();
}

void SoundMonPlayer::stopSong() {
    inTick.waitForEnd();
    if (playing != 1) return;
    playing = 0;
    if (TickTimer* timer = mixer.getTickTimer()) timer->stop();
    restoreTables();
    stopVoices(voiceSet, soundMonVoiceCount);
}

int SoundMonPlayer::seekToMs(int targetMs) {
    stopSong();
    if (!begin()) return targetMs;
    const int reached = skipTicks(songEnded, targetMs);
    mixer.resetOutput();
    return reached;
}

void SoundMonPlayer::tickCallback(void* self) {
    auto* player = static_cast<SoundMonPlayer*>(self);
    player->inTick.run([player] { player->tick(); });
}

void SoundMonPlayer::tick() {
    if (songEnded || !playing) return;
    for (SoundMonVoice& vc : voices) vc.command.flags = 0;
    if (synthVariant == 1) synthStep();
    --arpeggioPhase;
    if (synthVariant == 2) {
        arpeggioPhase &= 3;
        vibratoPhase = (vibratoPhase + 1) & 7;
    }
    voicePeriods();
    if (synthVariant == 1 && arpeggioPhase == 0) arpeggioPhase = 3;
    if (synthVariant == 2) synthStep();
    if (--speedCounter == 0) {
        speedCounter = speed;
        for (int v = 0; v < soundMonVoiceCount; ++v) rowStep(v);
        advanceRow();
        for (int v = 0; v < soundMonVoiceCount; ++v) noteStart(v);
    }
    for (SoundMonVoice& vc : voices) {
        vc.command.period = std::clamp(vc.command.period, lowestPeriod << 16, highestPeriod << 16);
        mixer.sendVoiceCommand(voiceSet, &vc.command);
    }
    mixer.renderVoices(voiceSet);
    if (++tickCount >= soundMonTickLimit) songEnded = 1;
}

void SoundMonPlayer::voicePeriods() {
    for (SoundMonVoice& vc : voices) {
        VoiceCommand& cmd = vc.command;
        vc.period = uint16_t(vc.period + vc.autoslide);
        if (synthVariant == 2 && vc.vibratoDivisor) {
            const int bend = soundMonVibrato[vibratoPhase] / vc.vibratoDivisor;
            cmd.period = uint32_t(vc.period + bend) << 16;
            cmd.flags |= cmdPeriod;
        }
        if (vc.lfoControl == 0) {
            cmd.period = uint32_t(vc.period) << 16;
            cmd.flags |= cmdPeriod;
        }
        if (vc.arpeggio || vc.autoArpeggio) {
            int n = vc.note;
            if (arpeggioPhase == 0) n += (vc.autoArpeggio >> 4) + (vc.arpeggio >> 4);
            if (arpeggioPhase == 1) n += (vc.autoArpeggio & 15) + (vc.arpeggio & 15);
            cmd.period = periodOfNote(n) << 16;
            cmd.flags |= cmdPeriod;
        }
    }
}

void SoundMonPlayer::rowStep(int v) {
    SoundMonVoice& vc = voices[v];
    const SoundMonStep& entry = steps[position * 4 + uint32_t(v ^ 3)];
    const SoundMonRow& r = rows[entry.pattern * soundMonRowsPerPattern + row];
    const uint8_t p = r.parameter;
    const bool v22 = synthVariant == 2;
    if (r.note) {
        vc.autoslide = 0;
        vc.autoArpeggio = 0;
        vc.vibratoDivisor = 0;
        int note = r.note;
        if (!(r.effect == effectTranspose && (p >> 4))) note += entry.noteTranspose;
        vc.note = int8_t(note);
        vc.volumeOverride = 0xFF;
        vc.period = uint16_t(periodOfNote(vc.note) | noteStartPending);
        uint8_t n = r.instrument ? r.instrument : vc.instrument;
        if (!(r.effect == effectTranspose && (p & 15))) n = uint8_t(n + entry.soundTranspose);
        if (n > 15) n = 0;
        if (!(v22 && r.effect >= effectSwapFx)) vc.instrument = n;
    }
    VoiceCommand& cmd = vc.command;
    switch (r.effect) {
    case effectArpeggio: vc.arpeggio = p; break;
    case effectVolume:
        vc.volumeOverride = p;
        cmd.volume = uint16_t(p * 255 >> 6);
        cmd.flags |= cmdVolume;
        break;
    case effectSpeed:
        speed = speedCounter = p;
        // Without a speed no row would ever come again.
        if (p == 0) songEnded = 1;
        break;
    case effectFilter:
        if (soundMonEmulateFilter.load()) mixer.setLedFilter(p != 0);
        break;
    case effectSlideUp:
        vc.period = uint16_t(vc.period - p);
        vc.arpeggio = 0;
        break;
    case effectSlideDown:
        vc.period = uint16_t(vc.period + p);
        vc.arpeggio = 0;
        break;
    case effectVibrato:
        if (v22)
            vc.vibratoDivisor = p;
        else
            repeatCount = p;
        break;
    case effectJump:
        if (v22) {
            jumpPending = 1;
            jumpTarget = p;
        } else {
            songEnded = 1;
        }
        break;
    case effectAutoslide: vc.autoslide = int8_t(p); break;
    case effectAutoArpeggio:
        vc.autoArpeggio = p;
        if (v22) restartAdsr(vc);
        break;
    case effectFxControl:
        if (v22) vc.fxControl = p;
        break;
    case effectSwapFx:
        if (v22) {
            vc.autoArpeggio = p;
            vc.fxControl ^= 1;
            restartAdsr(vc);
        }
        break;
    case effectResetAdsr:
        if (v22) {
            vc.autoArpeggio = p;
            restartAdsr(vc);
        }
        break;
    case effectAutoArpeggioOnly:
        if (v22) vc.autoArpeggio = p;
        break;
    default: break;
    }
}

void SoundMonPlayer::advanceRow() {
    if (synthVariant == 2 && jumpPending) {
        // A jump back ends the song; a jump to the same position does not.
        if (jumpTarget < position) songEnded = 1;
        position = jumpTarget;
        if (position >= stepTotal) {
            songEnded = 1;
            position = 0;
        }
        row = 0;
        jumpPending = 0;
        return;
    }
    if (++row == soundMonRowsPerPattern) {
        row = 0;
        if (++position >= stepTotal) {
            position = 0;
            songEnded = 1;
        }
    }
}

void SoundMonPlayer::noteStart(int v) {
    SoundMonVoice& vc = voices[v];
    if (!(vc.period & noteStartPending)) return;
    vc.period &= uint16_t(~noteStartPending);
    restoreWave(vc);
    VoiceCommand& cmd = vc.command;
    cmd.period = uint32_t(vc.period) << 16;
    cmd.flags |= cmdPeriod;
    if (vc.instrument == 0) return;
    const SoundMonInstrument& in = instruments[vc.instrument - 1];
    if (in.kind == soundMonSynth) {
        vc.synthActive = 1;
        vc.egPosition = vc.lfoPosition = vc.adsrPosition = vc.modPosition = 0;
        vc.egCounter = uint16_t(in.egDelay + 1);
        vc.lfoCounter = uint16_t(in.lfoDelay + 1);
        vc.modCounter = uint8_t(in.modDelay + 1);
        vc.fxCounter = uint8_t(in.fxDelay + 1);
        vc.adsrCounter = 1;
        vc.egControl = in.egControl;
        vc.lfoControl = in.lfoControl;
        vc.adsrControl = in.adsrControl;
        vc.modControl = in.modControl;
        vc.fxControl = in.fxControl;
        vc.egValue = in.egOffset;
        cmd.slot = uint8_t(in.sampleSlot);
        cmd.offset = in.waveTable * soundMonTableSize;
        cmd.length = in.waveLength;
        cmd.flags |= cmdTrigger | cmdLoopRange;
        if (vc.volumeOverride == 0xFF) vc.volumeOverride = uint8_t(in.volume);
        cmd.volume = vc.adsrControl ? adsrVolume(tableByte(in.adsrTable, 0), vc.volumeOverride)
                                    : uint16_t(vc.volumeOverride * 255 >> 6);
        cmd.flags |= cmdVolume;
        vc.modifiedWave = -1;
        const uint32_t wave = in.waveTable * soundMonTableSize;
        if (synthVariant == 1) {
            vc.modifiedWave = in.waveTable;
            std::memcpy(vc.waveBackup, &synthTables[wave], backupBytes);
            if (vc.egControl && in.egOffset) vc.egValue = uint8_t(in.egOffset >> 3);
            // The backup holds 32 bytes, so no more may be negated.
            for (int k = std::min<int>(vc.egValue, backupBytes) - 1; k >= 0; --k)
                writeWave(wave + uint32_t(k), int8_t(-synthTables[wave + uint32_t(k)]));
        } else if (vc.egControl || vc.modControl || vc.fxControl) {
            vc.modifiedWave = in.waveTable;
            std::memcpy(vc.waveBackup, &synthTables[wave], backupBytes);
        }
    } else if (in.kind == soundMonSample) {
        vc.modifiedWave = -1;
        vc.synthActive = vc.lfoControl = vc.adsrControl = 0;
        cmd.slot = uint8_t(in.sampleSlot);
        cmd.offset = 0;
        cmd.flags |= cmdTrigger;
        const uint16_t volume = vc.volumeOverride == 0xFF ? in.volume : vc.volumeOverride;
        cmd.volume = uint16_t(volume * 255 >> 6);
        cmd.flags |= cmdVolume;
    } else {
        vc.modifiedWave = -1;
        vc.synthActive = 0;
        cmd.flags |= cmdStop;
    }
}

int8_t SoundMonPlayer::tableByte(uint32_t table, uint32_t position) const {
    // Sequences may run on into the following tables, but never past the last.
    const uint32_t i = table * soundMonTableSize + position;
    return i < synthTableCount * soundMonTableSize ? synthTables[i] : 0;
}

void SoundMonPlayer::writeWave(uint32_t offset, int8_t value) {
    synthTables[offset] = value;
    mixer.writeSampleBytes(voiceSet, &value, uint32_t(synthSlot), offset, 1);
}

void SoundMonPlayer::restoreWave(SoundMonVoice& vc) {
    if (vc.modifiedWave < 0) return;
    const uint32_t wave = uint32_t(vc.modifiedWave) * soundMonTableSize;
    std::memcpy(&synthTables[wave], vc.waveBackup, backupBytes);
    mixer.writeSampleBytes(voiceSet, vc.waveBackup, uint32_t(synthSlot), wave, backupBytes);
}

void SoundMonPlayer::synthStep() {
    for (SoundMonVoice& vc : voices) {
        if (!vc.synthActive || !vc.instrument) continue;
        const SoundMonInstrument& in = instruments[vc.instrument - 1];
        // A slide can swallow a note start: the voice then keeps its old sound.
        if (in.kind != soundMonSynth) continue;
        VoiceCommand& cmd = vc.command;
        if (vc.adsrControl && --vc.adsrCounter == 0) {
            vc.adsrCounter = in.adsrSpeed;
            cmd.volume = adsrVolume(tableByte(in.adsrTable, vc.adsrPosition), vc.volumeOverride);
            cmd.flags |= cmdVolume;
            advance(vc.adsrPosition, in.adsrLength, vc.adsrControl);
        }
        if (vc.lfoControl && --vc.lfoCounter == 0) {
            vc.lfoCounter = in.lfoSpeed;
            int d = tableByte(in.lfoTable, vc.lfoPosition);
            if (in.lfoDepth) d /= in.lfoDepth;
            cmd.period = uint32_t(d + vc.period) << 16;
            cmd.flags |= cmdPeriod;
            advance(vc.lfoPosition, in.lfoLength, vc.lfoControl);
        }
        if (vc.egControl && --vc.egCounter == 0 && vc.modifiedWave >= 0) {
            vc.egCounter = in.egSpeed;
            const int next = (tableByte(in.egTable, vc.egPosition) + 128) >> 3;
            const int old = std::min<int>(vc.egValue, backupBytes - 1);
            vc.egValue = uint8_t(next);
            const uint32_t wave = uint32_t(vc.modifiedWave) * soundMonTableSize;
            // Both directions start from the backup, so the changes never pile up.
            for (int k = std::min(old, next); k <= std::max(old, next) && old != next; ++k) {
                const int8_t b = vc.waveBackup[k];
                writeWave(wave + uint32_t(k), old > next ? b : int8_t(-b));
            }
            advance(vc.egPosition, in.egLength, vc.egControl);
        }
        if (synthVariant == 2 && vc.modifiedWave >= 0) waveEffects(vc, in);
    }
}

void SoundMonPlayer::waveEffects(SoundMonVoice& vc, const SoundMonInstrument& in) {
    const uint32_t w = uint32_t(vc.modifiedWave);
    const uint32_t wave = w * soundMonTableSize;
    int8_t* b = &synthTables[wave];
    // FX 4 and 6 read the table after W, which the last table does not have.
    const bool hasNext = w + 1 < synthTableCount;
    const int8_t* next = hasNext ? b + soundMonTableSize : nullptr;
    const uint8_t s = in.fxSpeed;
    auto moveToward = [&](int k, int8_t target) {
        if (target > b[k])
            writeWave(wave + uint32_t(k), int8_t(b[k] + s));
        else if (target < b[k])
            writeWave(wave + uint32_t(k), int8_t(b[k] - s));
    };
    switch (vc.fxControl) {
    case 1:
        if (--vc.fxCounter == 0) {
            vc.fxCounter = s;
            for (int j = 0; j < backupBytes; ++j)
                writeWave(wave + uint32_t(j), int8_t((b[j] + b[j + 1]) >> 1));
        }
        break;
    case 2:
        for (int k = 0; k < backupBytes; ++k) moveToward(k, vc.waveBackup[backupBytes - 1 - k]);
        break;
    case 3:
    case 5:
        for (int k = 0; k < backupBytes; ++k) moveToward(k, vc.waveBackup[k]);
        break;
    case 4:
        if (!hasNext) break;
        for (int k = 0; k < backupBytes; ++k) {
            const int8_t c = next[k];
            if (vc.waveBackup[k] > c)
                writeWave(wave + uint32_t(k), int8_t(c + s));
            else if (vc.waveBackup[k] < c)
                writeWave(wave + uint32_t(k), int8_t(c - s));
        }
        break;
    case 6:
        if (!hasNext || --vc.fxCounter != 0) break;
        std::memcpy(b, next, backupBytes);
        mixer.writeSampleBytes(voiceSet, b, uint32_t(synthSlot), wave, backupBytes);
        vc.fxControl = 1;
        vc.fxCounter = 1;
        break;
    default: break;
    }
    if (vc.modControl && --vc.modCounter == 0) {
        vc.modCounter = in.modSpeed;
        writeWave(wave + 32, tableByte(in.modTable, vc.modPosition));
        advance(vc.modPosition, in.modLength, vc.modControl);
    }
}

} // namespace pelmit
