// The MOD tick: pattern rows, effects with each tracker's arithmetic, one
// voice command per channel, the tick's block, then on to the next tick.
#include "pelmit/formats/mod_player.h"

#include "pelmit/formats/mod_tables.h"
#include "pelmit/mixer/mixer.h"

#include <algorithm>

namespace pelmit {

namespace {

// Park-Miller "minimal standard" generator, shared by every song.
uint32_t randomState = 1;

// A start delay of 400..1799 microseconds for EDx, as the Amiga's DMA start
// would have given.
uint16_t randomDelay() {
    randomState = uint32_t(uint64_t(randomState) * 16807u % 2147483647u);
    return uint16_t(randomState % 1400 + 400);
}

// Effect bits of previousEffect.
constexpr uint16_t bitArpeggio = 1 << 0x0, bitVibrato = 1 << 0x4, bitVibratoSlide = 1 << 0x6;
constexpr uint16_t bitTremolo = 1 << 0x7;

int waveValue(int shape, int position) {
    switch (shape & 3) {
    case 0: return vibratoSine[position & 63];
    case 1: return (position & 63) * 8 - 256;
    case 2: return (position & 63) < 32 ? -256 : 256;
    default: return 0;
    }
}

void volumeSlide(ModChannel& ch, int parameter) {
    const int x = parameter >> 4, y = parameter & 15;
    if (x)
        ch.volume = int16_t(ch.volume + 4 * x);
    else if (y)
        ch.volume = int16_t(ch.volume - 4 * y);
    ch.flags |= cmdVolume;
}

void tonePortamento(ModChannel& ch) {
    if (ch.portamentoTarget > ch.period) {
        ch.period = int16_t(std::min<int>(ch.period + ch.portamentoSpeed, ch.portamentoTarget));
    } else if (ch.portamentoTarget < ch.period) {
        ch.period = int16_t(std::max<int>(ch.period - ch.portamentoSpeed, ch.portamentoTarget));
    }
    ch.basePeriod = ch.period;
    ch.flags |= cmdPeriod;
}

bool isProOrFastTracker(TrackerType t) {
    return t == trackerProTracker || t == trackerFastTracker;
}

} // namespace

void ModPlayer::seedRandomDelay(uint32_t seed) {
    randomState = seed;
}

void ModPlayer::tickCallback(void* player) {
    auto* self = static_cast<ModPlayer*>(player);
    self->inTick.run([self] { self->tick(); });
}

void ModPlayer::resetPlayback() {
    tempo = 125;
    speed = 6;
    rowTick = subTick = patternDelay = 0;
    position = row = 0;
    jumpPending = 0;
    breakRow = jumpPosition = -1;
    ended = 0;
    songTimeUs = 0;
    jumpLandings.clear();
    restoreFunkedLoops();
    for (ModChannel& ch : channels) {
        const uint16_t delay = ch.delay;
        ch = ModChannel{};
        ch.previousEffect = 0x8000;
        ch.loopRow = 255;
        ch.loopCount = 255;
        ch.delay = delay;
    }
}

int ModPlayer::finetuneOf(const ModChannel& ch) const {
    // Bytes 0x80-0xFF pass detection; their low nibble is the finetune.
    return ch.sample >= 1 && ch.sample <= modMaxSamples ? song.samples[ch.sample - 1].finetune & 15
                                                        : 0;
}

int ModPlayer::clampNote(int note) const {
    if (song.trackerType == trackerFastTracker) return std::clamp(note, 0, modNoteCount - 1);
    return std::clamp(note, 24, 59);
}

void ModPlayer::tick() {
    if (ended) {
        mixer.renderVoices(song.voices);
        return;
    }
    const int channelCount = song.channels;
    const ModCell* rowCells[modMaxChannels];
    for (int c = 0; c < channelCount; ++c) rowCells[c] = &song.track(song.order[position], c)[row];

    if (subTick == 0) {
        patternDelay = 0;
        for (int c = 0; c < channelCount; ++c) {
            ModChannel& ch = channels[c];
            ch.flags = 0;
            uint16_t effectBit = 0;
            if (rowTick == 0) newRow(ch, *rowCells[c], effectBit);
            firstTickEffect(ch, *rowCells[c], effectBit);
            finishChannel(ch, c, effectBit, true);
        }
    } else {
        for (int c = 0; c < channelCount; ++c) {
            ModChannel& ch = channels[c];
            ch.flags = 0;
            funkStep(ch);
            laterTickEffect(ch, *rowCells[c]);
            finishChannel(ch, c, 0, false);
        }
    }
    mixer.renderVoices(song.voices);
    songTimeUs += 2500000 / std::max<int>(tempo, 1);
    advance();
    if (songTimeUs >= int64_t(modSongTimeLimitMs) * 1000) ended = 1;
}

void ModPlayer::newRow(ModChannel& ch, const ModCell& cell, uint16_t& effectBit) {
    if (ch.previousEffect & (bitArpeggio | bitVibrato | bitVibratoSlide)) {
        ch.period = ch.basePeriod;
        ch.flags |= cmdPeriod;
    } else if ((ch.previousEffect & bitTremolo) && cell.effect != 7) {
        ch.volume = ch.baseVolume;
        ch.flags |= cmdVolume;
    }
    effectBit = uint16_t(1u << cell.effect);

    if (cell.sample >= 1 && cell.sample <= modMaxSamples) {
        ch.volume = ch.baseVolume = int16_t(song.samples[cell.sample - 1].volume);
        ch.flags |= cmdVolume;
        ch.sampleOffset = 0;
        if (cell.sample != ch.sample && cell.note >= modNoNote)
            ch.flags |= cmdTrigger | cmdKeepPlaying;
        ch.sample = cell.sample;
    } else if (cell.sample == modEndMark) {
        ended = 1;
    }

    if (cell.note < modNoNote) {
        const int16_t period = int16_t(modFinetunePeriods[finetuneOf(ch)][cell.note]);
        if (cell.effect == 3 || cell.effect == 5) {
            ch.portamentoTarget = period;
        } else {
            ch.period = ch.basePeriod = ch.portamentoTarget = period;
            ch.flags |= cmdTrigger | cmdPeriod;
        }
        ch.note = cell.note;
        if (!(ch.vibratoWaveform & 4)) ch.vibratoPosition = 0;
        if (!(ch.tremoloWaveform & 4)) ch.tremoloPosition = 0;
    }
}

void ModPlayer::firstTickEffect(ModChannel& ch, const ModCell& cell, uint16_t& effectBit) {
    const int p = cell.parameter, x = p >> 4, y = p & 15;
    switch (cell.effect) {
    case 0x0:
        if (p == 0) effectBit &= uint16_t(~bitArpeggio); // a plain row is no arpeggio
        break;
    case 0x3:
        if (p) ch.portamentoSpeed = uint8_t(p);
        break;
    case 0x4:
        if (x) ch.vibratoCommand = uint8_t((ch.vibratoCommand & 0x0F) | x << 4);
        if (y) ch.vibratoCommand = uint8_t((ch.vibratoCommand & 0xF0) | y);
        break;
    case 0x7:
        if (x) ch.tremoloCommand = uint8_t((ch.tremoloCommand & 0x0F) | x << 4);
        if (y) ch.tremoloCommand = uint8_t((ch.tremoloCommand & 0xF0) | y);
        break;
    case 0x9: ch.sampleOffset = uint16_t(p * 256); break;
    case 0xB:
        jumpPosition = int16_t(p >= song.songLength ? 0 : p);
        jumpPending = 1;
        break;
    case 0xC:
        ch.volume = ch.baseVolume = int16_t(p);
        ch.flags |= cmdVolume;
        break;
    case 0xD:
        jumpPending = 1;
        if (isProOrFastTracker(song.trackerType)) {
            const int target = x * 10 + y;
            breakRow = int16_t(target >= modRows ? 0 : target);
        } else {
            breakRow = 0;
        }
        break;
    case 0xE:
        switch (x) {
        case 0x0:
            if (emulateFilter.load(std::memory_order_relaxed)) mixer.setLedFilter(1 - (y & 1));
            break;
        case 0x1:
            ch.period = int16_t(ch.period - y);
            ch.flags |= cmdPeriod;
            break;
        case 0x2:
            ch.period = int16_t(ch.period + y);
            ch.flags |= cmdPeriod;
            break;
        case 0x4: ch.vibratoWaveform = uint8_t(y); break;
        case 0x5:
            if (cell.note < modNoNote) ch.period = int16_t(modFinetunePeriods[y][cell.note]);
            break;
        case 0x6: patternLoop(ch, y); break;
        case 0x7: ch.tremoloWaveform = uint8_t(y); break;
        case 0xA:
            ch.volume = int16_t(ch.volume + 4 * y);
            ch.flags |= cmdVolume;
            break;
        case 0xB:
            ch.volume = int16_t(ch.volume - 4 * y);
            ch.flags |= cmdVolume;
            break;
        case 0xD:
            if (y) {
                ch.flags &= uint8_t(~(cmdTrigger | cmdPeriod)); // the note waits for its tick
            } else {
                ch.delay = randomDelay();
                ch.flags |= cmdDelay;
            }
            break;
        case 0xE: patternDelay = uint16_t(y); break;
        case 0xF: ch.funkSpeed = uint8_t(y); break;
        default: break;
        }
        break;
    case 0xF: setSpeedAndTempo(p); break;
    default: break;
    }
}

void ModPlayer::patternLoop(ModChannel& ch, int x) {
    if (x == 0) {
        if (ch.loopCount == 255) ch.loopRow = row;
        return;
    }
    if (ch.loopCount == 255) ch.loopCount = uint16_t(x);
    const uint16_t before = ch.loopCount;
    ch.loopCount = uint16_t(ch.loopCount - 1);
    if (before == 0) {
        ch.loopCount = 255;
        ch.loopRow = 255;
    } else if (ch.loopRow != 255) {
        jumpPending = 1;
        jumpPosition = int16_t(position);
        breakRow = int16_t(ch.loopRow);
    }
}

void ModPlayer::setSpeedAndTempo(int p) {
    switch (song.trackerType) {
    case trackerProTracker:
    case trackerFastTracker:
        if (p >= 32) {
            tempo = uint16_t(p);
            if (timer) timer->setBpm(uint32_t(p));
        } else if (p > 0) {
            speed = uint16_t(p);
        } else if (!ignoreF00.load(std::memory_order_relaxed)) {
            ended = 1;
        }
        break;
    case trackerNoiseTracker12: speed = uint16_t(p > 31 ? 31 : p == 0 ? 1 : p); break;
    default:
        if (p & 31) speed = uint16_t(p & 31);
        break;
    }
}

void ModPlayer::funkStep(ModChannel& ch) {
    ch.funkAccumulator = uint8_t(ch.funkAccumulator + funkTable[ch.funkSpeed & 15]);
    if (ch.funkAccumulator < 128 || ch.sample == 0 || ch.sample > modMaxSamples) return;
    const ModSample& s = song.samples[ch.sample - 1];
    if (s.length == 0) return; // nothing was loaded into the slot
    ch.funkPosition = uint16_t(ch.funkPosition + 1);
    ch.funkAccumulator = 0;
    if (ch.funkPosition >= s.loopEnd - std::min(s.loopStart, s.loopEnd)) ch.funkPosition = 0;
    // The inverted byte stays in the Mixer's copy for the rest of the song.
    int8_t byte = 0;
    mixer.readSampleBytes(song.voices, &byte, ch.sample, s.loopStart + ch.funkPosition, 1);
    byte = int8_t(~byte);
    mixer.writeSampleBytes(song.voices, &byte, ch.sample, s.loopStart + ch.funkPosition, 1);
}

void ModPlayer::laterTickEffect(ModChannel& ch, const ModCell& cell) {
    const int p = cell.parameter, x = p >> 4, y = p & 15;
    const int vibratoShift = isProOrFastTracker(song.trackerType) ? 7 : 6;
    auto vibrato = [&] {
        const int d =
            (waveValue(ch.vibratoWaveform, ch.vibratoPosition) * (ch.vibratoCommand & 15)) >>
            vibratoShift;
        ch.period = int16_t(ch.basePeriod + d);
        ch.vibratoPosition = uint8_t((ch.vibratoPosition + (ch.vibratoCommand >> 4)) & 63);
        ch.flags |= cmdPeriod;
    };
    switch (cell.effect) {
    case 0x0:
        if (p) {
            const int k = rowTick % 3;
            const int note = k == 0 ? ch.note : clampNote(ch.note + (k == 1 ? x : y));
            ch.period = int16_t(modFinetunePeriods[finetuneOf(ch)][note]);
            ch.flags |= cmdPeriod;
        }
        break;
    case 0x1:
        ch.period = ch.basePeriod = int16_t(ch.period - p);
        ch.flags |= cmdPeriod;
        break;
    case 0x2:
        ch.period = ch.basePeriod = int16_t(ch.period + p);
        ch.flags |= cmdPeriod;
        break;
    case 0x3: tonePortamento(ch); break;
    case 0x4: vibrato(); break;
    case 0x5:
        volumeSlide(ch, p);
        tonePortamento(ch);
        break;
    case 0x6:
        volumeSlide(ch, p);
        vibrato();
        break;
    case 0x7: {
        // Half the depth other trackers give on this volume scale: the
        // player's tremolo has always been this gentle.
        const int d =
            (waveValue(ch.tremoloWaveform, ch.tremoloPosition) * (ch.tremoloCommand & 15)) >> 5;
        ch.volume = int16_t(std::clamp(ch.baseVolume + d, 0, 256));
        ch.tremoloPosition = uint8_t((ch.tremoloPosition + (ch.tremoloCommand >> 4)) & 63);
        ch.flags |= cmdVolume;
        break;
    }
    case 0xA: volumeSlide(ch, p); break;
    case 0xE:
        if (x == 0x9 && y != 0 && rowTick % y == 0) ch.flags |= cmdTrigger;
        if (x == 0xC && rowTick == y) {
            ch.volume = 0;
            ch.flags |= cmdVolume;
        }
        if (x == 0xD && y != 0 && rowTick == std::min<int>(y, speed - 1)) {
            ch.flags = cmdTrigger | cmdVolume | cmdPeriod | cmdDelay;
            ch.delay = randomDelay();
        }
        break;
    default: break;
    }
}

void ModPlayer::finishChannel(ModChannel& ch, int c, uint16_t effectBit, bool firstTick) {
    if (firstTick) ch.previousEffect = effectBit;
    ch.period = int16_t(std::clamp<int>(ch.period, song.periodMin, song.periodMax));
    ch.volume = int16_t(std::clamp<int>(ch.volume, 0, 256));
    // A channel that has had no sample plays nothing: slot 0 is not this song's.
    if (ch.sample == 0) ch.flags &= uint8_t(~cmdTrigger);
    VoiceCommand command{};
    command.flags = ch.flags;
    command.slot = ch.sample;
    command.voice = uint8_t(c);
    command.volume = uint16_t(ch.volume);
    command.period = uint32_t(uint16_t(ch.period)) << 16;
    command.offset = firstTick ? ch.sampleOffset : 0;
    command.delay = ch.delay;
    mixer.sendVoiceCommand(song.voices, &command);
}

void ModPlayer::advance() {
    if (++subTick >= speed) subTick = 0;
    if (++rowTick < speed * (patternDelay + 1)) return;
    rowTick = 0;
    if (jumpPending) {
        jumpPending = 0;
        if (jumpPosition == -1) {
            jumpPosition = int16_t(position + 1);
            if (jumpPosition >= song.songLength) {
                ended = 1;
                jumpPosition = int16_t(song.restartPosition);
            }
        } else if (jumpPosition == position && position == song.songLength - 1 &&
                   std::all_of(channels, channels + song.channels,
                               [](const ModChannel& ch) { return ch.loopCount == 255; })) {
            ended = 1;
        }
        if (jumpPosition < position || (jumpPosition == position && breakRow == -1)) ended = 1;
        if (breakRow == -1) breakRow = 0;
        const bool samePosition = jumpPosition == position;
        if (!samePosition) jumpLandings.clear();
        position = uint16_t(jumpPosition);
        row = uint16_t(breakRow);
        jumpPosition = breakRow = -1;
        if (samePosition && !ended) noteRowReached();
    } else if (++row >= modRows) {
        row = 0;
        jumpLandings.clear();
        if (++position >= song.songLength) {
            ended = 1;
            position = song.restartPosition;
        }
    }
}

void ModPlayer::noteRowReached() {
    // Position only moves forward in a song that has not ended, so a song
    // repeats for ever exactly when it lands on the same row of the same
    // position with the same pattern-loop state twice.
    JumpLanding landing{};
    landing[0] = uint8_t(row);
    for (int c = 0; c < song.channels; ++c) {
        landing[size_t(1 + 2 * c)] = uint8_t(channels[c].loopRow);
        landing[size_t(2 + 2 * c)] = uint8_t(channels[c].loopCount);
    }
    if (!jumpLandings.insert(landing).second) ended = 1;
}

} // namespace pelmit
