// Playing a loaded Future Composer tune: every `speed` ticks each voice reads
// a row of its own pattern; every tick each voice runs its frequency and
// volume sequences and works out vibrato, portamento and pitch bend.
#include "pelmit/formats/future_composer_player.h"

#include "pelmit/mixer/audio_engine.h"
#include "pelmit/mixer/mixer.h"
#include "pelmit/mixer/tick_timer.h"

namespace pelmit {

namespace {

constexpr std::array<uint16_t, 132> makePeriods() {
    constexpr uint16_t p1[12] = {856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453};
    constexpr uint16_t p2[12] = {428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226};
    constexpr uint16_t p3[12] = {214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113};
    std::array<uint16_t, 132> t{};
    for (int i = 0; i < 12; ++i) {
        t[i] = uint16_t(2 * p1[i]);
        t[12 + i] = p1[i];
        t[24 + i] = p2[i];
        t[36 + i] = p3[i];
        t[48 + i] = 113;
        t[60 + i] = uint16_t(4 * p1[i]);
        t[72 + i] = uint16_t(8 * p1[i]);
    }
    for (int i = 0; i < 48; ++i) t[84 + i] = t[i];
    return t;
}

constexpr uint16_t lowestPeriod = 113;
constexpr uint16_t highestPeriod = 3424;
// Sequences that loop without reaching a value (E7 into itself, E0 onto E0,
// chains of E8 00) would never end the tick: after this many bytes read in one
// tick a sequence stops as if at E1, and goes on from there next tick.
constexpr int maxCommandsPerTick = 256;
// A song ends after an hour of music: no real tune is that long, and a crafted
// one (thousands of steps at speed 255) would otherwise keep the length
// measurement in startPlayback, and with it the host, busy for minutes. The
// tick itself ends it, so that playback stops where the length says.
constexpr uint32_t maxSongTicks = 60 * 60 * 50;

enum : uint8_t {
    seqJump = 0xE0,
    seqStop = 0xE1,
    seqSetSound = 0xE2,
    seqVibrato = 0xE3,
    seqChangeSound = 0xE4,
    seqContinue = 0xE7,
    seqSustain = 0xE8,
    seqPackSound = 0xE9,
    seqPitchBend = 0xEA, // in volume sequences: a volume slide
};

bool isJumpTarget(uint8_t b) {
    switch (b) {
    case seqSetSound:
    case seqVibrato:
    case seqChangeSound:
    case seqContinue:
    case seqSustain:
    case seqPackSound:
    case seqPitchBend: return true;
    default: return false;
    }
}

void setCommandVolume(FcVoice& v) {
    const int8_t s = int8_t(v.volume);
    v.command.volume = uint16_t(s >= 64 || s < 0 ? 255 : v.volume * 255 >> 6);
    v.command.flags |= cmdVolume;
}

} // namespace

const std::array<uint16_t, 132> fcPeriods = makePeriods();

uint8_t FcSequenceCursor::at(uint32_t ahead) const {
    const uint32_t offset = start + position + ahead;
    return offset < areaSize ? area[offset] : uint8_t(seqStop);
}

// --- Timer and song control -------------------------------------------------------

void FutureComposerPlayer::tickCallback(void* player) {
    auto* p = static_cast<FutureComposerPlayer*>(player);
    p->inTick.run([p] { p->tick(); });
}

void FutureComposerPlayer::reset() {
    const FcSequenceCursor idle{fcDefaultSequence, fcSequenceBytes, 0, 0};
    for (uint32_t k = 0; k < 4; ++k) {
        FcVoice& v = voices[k];
        v = FcVoice{};
        v.index = k;
        takeStep(v);
        v.volumeSequence = idle;
        v.frequencySequence = idle;
        v.command.voice = uint8_t(k);
    }
    speed = initialSpeed();
    speedCounter = speed;
    songEnded = 0;
    tickCount = 0;
}

void FutureComposerPlayer::startTimer() {
    TickTimer* timer = mixer.getTickTimer();
    reset();
    playing = 1;
    mixer.resetOutput();
    startTickTimer(timer, TickRate::bpm(125), tickCallback, this);
}

void FutureComposerPlayer::startSong() {
    if (playing || !voiceSet || !mixer.getTickTimer()) return;
    startTimer();
    mixer.setLedFilter(0);
}

void FutureComposerPlayer::stopSong() {
    inTick.waitForEnd();
    if (playing != 1) return;
    playing = 0;
    if (TickTimer* timer = mixer.getTickTimer()) timer->stop();
    stopVoices(voiceSet, 4);
}

int FutureComposerPlayer::seekToMs(int targetMs) {
    stopSong();
    if (!voiceSet || !mixer.getTickTimer()) return targetMs;
    startTimer();
    const int reached = skipTicks(songEnded, targetMs);
    mixer.resetOutput();
    return reached;
}

void FutureComposerPlayer::measure() {
    TickTimer* timer = mixer.getTickTimer();
    if (!timer) return;
    startTimer();
    lengthMs = skipTicks(songEnded);
    timer->stop();
    timer->release();
    playing = 0;
    mixer.resetVoices(voiceSet);
}

// --- Ticks and rows ------------------------------------------------------------------

void FutureComposerPlayer::tick() {
    if (songEnded || !playing) return;
    if (--speedCounter == 0) {
        speedCounter = speed;
        for (FcVoice& v : voices) newRow(v);
    }
    for (FcVoice& v : voices) {
        voiceEffects(v);
        mixer.sendVoiceCommand(voiceSet, &v.command);
    }
    mixer.renderVoices(voiceSet);
    if (++tickCount >= maxSongTicks) songEnded = 1;
}

void FutureComposerPlayer::takeStep(FcVoice& v) {
    const uint8_t* step = sequence.get() + v.position * fcStepBytes + v.index * 3;
    v.pattern = step[0] < patterns ? int32_t(step[0] * fcPatternBytes) : -1;
    v.transpose = int8_t(step[1]);
    v.soundTranspose = int8_t(step[2]);
}

// Pattern bytes past the pattern data (the row after row 31 of the last
// pattern) read as 0, as does all of an empty pattern.
uint8_t FutureComposerPlayer::patternByte(const FcVoice& v, uint32_t offset) const {
    if (v.pattern < 0) return 0;
    const uint32_t at = uint32_t(v.pattern) + offset;
    return at < patternDataSize ? patternData[at] : 0;
}

void FutureComposerPlayer::newRow(FcVoice& v) {
    if (v.row == 32 || patternByte(v, v.row * 2) == 0x49) {
        v.row = 0;
        if (++v.position >= steps) {
            v.position = 0;
            songEnded = 1;
        }
        const uint8_t newSpeed = sequence[v.position * fcStepBytes + 12];
        if (v.index == 3 && newSpeed != 0) speed = speedCounter = newSpeed;
        takeStep(v);
    }
    const uint8_t note = patternByte(v, v.row * 2);
    const uint8_t info = patternByte(v, v.row * 2 + 1);
    // Portamento takes its parameter from the next row's info byte.
    const uint8_t next = patternByte(v, v.row * 2 + 3);
    if (note != 0) {
        v.portamentoValue = 0;
        v.portamentoParameter = info & 0x80 ? next : 0;
    } else if (info & 0x80) {
        v.portamentoParameter = next;
    } else if (info & 0x40) {
        v.portamentoParameter = 0;
    }
    if (note & 0x7F) {
        v.note = note & 0x7F;
        v.info = info;
        const uint32_t number = uint8_t(v.soundTranspose + info) & 63;
        const uint8_t* head = volumeArea.get() + number * fcSequenceBytes;
        v.volumeSequence = {volumeArea.get(), fcSequenceAreaBytes, number * fcSequenceBytes, 5};
        v.volumeSpeed = v.volumeSpeedCounter = head[0];
        v.frequencySequence = {frequencyArea.get(), fcSequenceAreaBytes,
                               uint32_t(head[1]) * fcSequenceBytes, 0};
        v.vibratoSpeed = head[2];
        v.vibratoDepth = v.vibratoValue = head[3];
        v.vibratoDelay = head[4];
        v.volumeSustain = v.frequencySustain = 0;
    }
    ++v.row;
}

// --- Sequences and pitch ----------------------------------------------------------

int32_t FutureComposerPlayer::soundSlot(uint8_t number) const {
    return number < fcSoundCount ? sounds[number].slot : -1;
}

// Reads the frequency sequence up to its next value. Returns true when the
// sequence asked for a sound that isn't there (the voice is silenced).
bool FutureComposerPlayer::runFrequencySequence(FcVoice& v) {
    if (v.frequencySustain) {
        --v.frequencySustain;
        return false;
    }
    FcSequenceCursor& s = v.frequencySequence;
    bool silence = false;
    bool afterJump = false;
    auto trigger = [&](int32_t slot, uint16_t flags) {
        v.command.flags |= flags;
        v.command.slot = uint8_t(slot);
        v.command.offset = 0;
        v.currentSlot = slot;
    };
    auto restartVolume = [&] {
        v.volumeSequence.position = 5;
        v.volumeSpeedCounter = 1;
    };
    for (int budget = maxCommandsPerTick; budget > 0; --budget) {
        const uint8_t b = s.at();
        // After a jump only the sound and effect commands act; E0 and E1 are
        // values there.
        if (!afterJump && b == seqStop) return silence;
        if (!afterJump && b == seqJump) {
            s.position = s.at(1) & 63;
            afterJump = true;
            continue;
        }
        afterJump = false;
        if (b == seqContinue) {
            s.start = uint32_t(s.at(1)) * fcSequenceBytes;
            s.position = 0;
            continue;
        }
        if (b == seqSustain) {
            v.frequencySustain = s.at(1);
            s.position += 2;
            if (v.frequencySustain == 0) continue;
            --v.frequencySustain;
            return silence;
        }
        switch (isJumpTarget(b) ? b : 0) {
        case seqSetSound: {
            const int32_t slot = soundSlot(s.at(1));
            if (slot < 0)
                silence = true;
            else
                trigger(slot, cmdTrigger);
            restartVolume();
            s.position += 2;
            break;
        }
        case seqChangeSound: {
            const int32_t slot = soundSlot(s.at(1));
            if (slot < 0)
                silence = true;
            else if (slot != v.currentSlot)
                trigger(slot, cmdTrigger | cmdKeepPlaying);
            s.position += 2;
            break;
        }
        case seqPackSound: {
            const uint8_t number = s.at(1), entry = s.at(2);
            if (number < fcSoundCount && sounds[number].hasPack) {
                const int32_t slot =
                    entry < fcPackEntries ? sounds[number].packSlots[entry] : int32_t(-1);
                if (slot < 0)
                    silence = true;
                else
                    trigger(slot, cmdTrigger);
                restartVolume();
            }
            s.position += 3;
            break;
        }
        case seqPitchBend:
            v.pitchBendSpeed = int8_t(s.at(1));
            v.pitchBendTime = s.at(2);
            s.position += 3;
            break;
        case seqVibrato:
            v.vibratoSpeed = s.at(1);
            v.vibratoDepth = s.at(2);
            s.position += 3;
            break;
        default: break;
        }
        v.frequencyValue = s.at();
        ++s.position;
        return silence;
    }
    return silence;
}

void FutureComposerPlayer::slideVolume(FcVoice& v) {
    v.slideToggle ^= 1;
    if (!v.slideToggle) return;
    --v.slideCount;
    v.volume = uint8_t(v.volume + v.slideStep);
    if (v.volume & 0x80) {
        v.slideCount = 0;
        v.volume = 0;
    }
    setCommandVolume(v);
}

void FutureComposerPlayer::runVolumeSequence(FcVoice& v) {
    if (v.volumeSustain) {
        --v.volumeSustain;
        return;
    }
    if (v.slideCount) {
        slideVolume(v);
        return;
    }
    if (--v.volumeSpeedCounter != 0) return;
    v.volumeSpeedCounter = v.volumeSpeed;
    FcSequenceCursor& s = v.volumeSequence;
    for (int budget = maxCommandsPerTick; budget > 0; --budget) {
        const uint8_t b = s.at();
        switch (b) {
        case seqStop: return;
        case seqSustain:
            v.volumeSustain = s.at(1);
            s.position += 2;
            return;
        case seqPitchBend: // a volume slide here
            v.slideStep = int8_t(s.at(1));
            v.slideCount = s.at(2);
            s.position += 3;
            slideVolume(v);
            return;
        case seqJump: s.position = s.at(1); break;
        default:
            v.volume = b;
            ++s.position;
            setCommandVolume(v);
            return;
        }
    }
}

void FutureComposerPlayer::voiceEffects(FcVoice& v) {
    v.command.flags = 0;
    v.command.voice = uint8_t(v.index);
    const bool silence = runFrequencySequence(v);
    runVolumeSequence(v);

    uint8_t value = v.frequencyValue;
    // A value with bit 7 set is a fixed note, whatever the row played.
    if (!(value & 0x80)) value = uint8_t(value + v.note + v.transpose);
    const uint32_t k = value & 0x7F;
    uint16_t period = fcPeriods[k];

    if (v.vibratoDelay) {
        --v.vibratoDelay;
    } else {
        const uint8_t depth2 = uint8_t(2 * v.vibratoDepth);
        if (v.vibratoRising) {
            v.vibratoValue = uint8_t(v.vibratoValue + v.vibratoSpeed);
            if (v.vibratoValue > depth2) {
                v.vibratoValue = depth2;
                v.vibratoRising = false;
            }
        } else if (v.vibratoValue < v.vibratoSpeed) {
            v.vibratoValue = 0;
            v.vibratoRising = true;
        } else {
            v.vibratoValue = uint8_t(v.vibratoValue - v.vibratoSpeed);
        }
        // Low notes have long periods: the same depth in cents needs more.
        int offset = int(v.vibratoValue) - int(v.vibratoDepth);
        if (k < 48) offset *= 1 << (4 - k / 12);
        period = uint16_t(period + offset);
    }

    // "FC14" tunes slide half as fast as the older ones.
    v.portamentoToggle ^= 1;
    if ((variant == 0 || v.portamentoToggle) && v.portamentoParameter) {
        const uint8_t p = v.portamentoParameter;
        if (p <= 31)
            v.portamentoValue = uint16_t(v.portamentoValue - p);
        else
            v.portamentoValue = uint16_t(v.portamentoValue + (p & 31));
    }
    v.pitchBendToggle ^= 1;
    if (v.pitchBendToggle && v.pitchBendTime) {
        --v.pitchBendTime;
        v.portamentoValue = uint16_t(v.portamentoValue - v.pitchBendSpeed);
    }

    // Taken unsigned: a sum below 0 wraps high and ends at the top.
    period = uint16_t(period + v.portamentoValue);
    if (period < lowestPeriod) period = lowestPeriod;
    if (period > highestPeriod) period = highestPeriod;
    v.command.period = uint32_t(period) << 16;
    v.command.flags |= cmdPeriod;
    if (silence) {
        v.command.volume = 0;
        v.command.flags |= cmdVolume;
    }
}

} // namespace pelmit
