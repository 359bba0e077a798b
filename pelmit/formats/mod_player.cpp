// The ModPlayer's life as a format player: loading and measuring a song,
// starting, stopping and seeking it, and its title.
#include "pelmit/formats/mod_player.h"

#include "pelmit/formats/mod_loader.h"
#include "pelmit/mixer/mixer.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

namespace pelmit {

ModPlayer::~ModPlayer() {
    freeSong();
}

void ModPlayer::freeSong() {
    loopsAsLoaded.clear();
    song.cells.reset();
    if (song.voices) mixer.releaseVoices(song.voices);
    song.voices = nullptr;
}

int ModPlayer::loadSong(const char* path) {
    freeSong(); // a player loaded twice keeps only the second song
    std::FILE* f = path ? std::fopen(path, "rb") : nullptr;
    if (!f) return 0;
    int loaded = 0;
    const int channels = fileType.identifyMod(f, path);
    if (channels > 0) {
        mixer.enableBoost();
        song.voices = mixer.allocateVoices(uint32_t(channels));
        if (song.voices) loaded = fileType.loadMod(*this, f, path);
    }
    std::fclose(f);
    // A failed load gives back its voices at once: a voice set left behind
    // would skew the next song's pans and volume table.
    if (!loaded) {
        freeSong();
        return 0;
    }

    keepLoopsForFunk();
    song.lengthMs = 0;
    if (!restartTimer(125)) return 1;
    // A tick always moves the song clock on: one that does not ends the count.
    song.lengthMs = skipTicks(ended, std::numeric_limits<int32_t>::max(), &songTimeUs);
    timer->stop();
    timer->release();
    started = 0;
    mixer.resetVoices(song.voices);
    return 1;
}

void ModPlayer::keepLoopsForFunk() {
    constexpr uint32_t funkUsed = 1u << (16 + 0xF);
    if (!(song.usedEffects & funkUsed)) return;
    loopsAsLoaded.resize(modMaxSamples);
    for (int i = 0; i < song.sampleCount; ++i) {
        const ModSample& s = song.samples[i];
        if (s.length == 0 || s.loopEnd <= s.loopStart) continue;
        loopsAsLoaded[i].resize(s.loopEnd - s.loopStart);
        mixer.readSampleBytes(song.voices, loopsAsLoaded[i].data(), uint32_t(i + 1), s.loopStart,
                              uint32_t(loopsAsLoaded[i].size()));
    }
}

void ModPlayer::restoreFunkedLoops() {
    for (size_t i = 0; i < loopsAsLoaded.size(); ++i) {
        const std::vector<int8_t>& loop = loopsAsLoaded[i];
        if (!loop.empty())
            mixer.writeSampleBytes(song.voices, loop.data(), uint32_t(i + 1),
                                   song.samples[i].loopStart, uint32_t(loop.size()));
    }
}

TickTimer* ModPlayer::restartTimer(uint32_t bpm) {
    timer = mixer.getTickTimer();
    if (!timer) return nullptr;
    resetPlayback();
    started = 1;
    mixer.resetOutput();
    startTickTimer(timer, TickRate::bpm(bpm), tickCallback, this);
    return timer;
}

void ModPlayer::startSong() {
    if (started || !mixer.getTickTimer()) return;
    timer = mixer.getTickTimer();
    resetPlayback();
    started = 1;
    mixer.resetOutput();
    mixer.setLedFilter(0);
    startTickTimer(timer, TickRate::bpm(tempo), tickCallback, this);
}

void ModPlayer::stopSong() {
    inTick.waitForEnd();
    if (!started) return;
    started = 0;
    if (timer) timer->stop();
    stopVoices(song.voices, song.channels);
}

void ModPlayer::releaseSong() {
    freeSong();
}

void ModPlayer::setSongPosition(uint16_t newPosition) {
    if (song.songLength == 0) return;
    position = std::min<uint16_t>(newPosition, uint16_t(song.songLength - 1));
}

int ModPlayer::seekToMs(int targetMs) {
    stopSong();
    if (!restartTimer(125)) return targetMs;
    const int reached = skipTicks(ended, targetMs, &songTimeUs);
    mixer.resetOutput();
    return reached;
}

void ModPlayer::setTrackerType(int32_t type) {
    song.trackerType = TrackerType(type);
    if (type == trackerFastTracker) {
        song.periodMin = 28;
        song.periodMax = 3628;
    } else if (type >= trackerSoundTracker && type < trackerFastTracker) {
        song.periodMin = 107;
        song.periodMax = 907;
    }
}

void ModPlayer::songTitle(char* buffer, size_t size) {
    if (!buffer || size == 0) return;
    // The module title, then what sample names starting "#" add to it: some
    // trackers kept the composer's name there.
    std::string text = song.title;
    for (const char* name : song.sampleNames) {
        if (name[0] != '#') continue;
        if (text.size() <= 60) text += " - ";
        for (const char* p = name; *p; ++p)
            if (*p != '#' && text.size() <= 62) text += *p;
    }
    const size_t n = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

} // namespace pelmit
