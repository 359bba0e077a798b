#include "pelmit/playback.h"

#include "pelmit/formats/player_controls.h"

#include "pelmit/formats/mod_loader.h"
#include "pelmit/formats/mod_player.h"
#include "pelmit/formats/soundmon_player.h"
#include "pelmit/host_notify.h"
#include "pelmit/mixer/audio_engine.h"
#include "pelmit/mixer/mixer.h"
#include "pelmit/settings.h"

#include <chrono>
#include <cstdio>
#include <cstring>

namespace pelmit {

PlaybackState playback;

namespace {

InputModule* host = nullptr;
std::span<const FormatEntry> formats = builtInFormats();
bool mixerReady = false;

// The three orders the shell asks the formats in. Each is what stored
// playlists and long-standing behaviour rely on, so they stay as they are.
constexpr FormatKind claimOrder[] = {FormatKind::Mod, FormatKind::SoundMon,
                                     FormatKind::FutureComposer, FormatKind::SoundFx,
                                     FormatKind::Emulated};
constexpr FormatKind startOrder[] = {FormatKind::SoundMon, FormatKind::FutureComposer,
                                     FormatKind::SoundFx, FormatKind::Emulated, FormatKind::Mod};
constexpr FormatKind describeOrder[] = {FormatKind::FutureComposer, FormatKind::SoundMon,
                                        FormatKind::SoundFx, FormatKind::Emulated, FormatKind::Mod};

const FormatEntry* formatOf(FormatKind kind) {
    for (const FormatEntry& f : formats)
        if (f.kind == kind) return &f;
    return nullptr;
}

void sleepTenMs() {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

void copyTitle(char* title, size_t size, const char* text) {
    if (size == 0) return;
    std::strncpy(title, text, size - 1);
    title[size - 1] = '\0';
}

const char* nameAfterLastBackslash(const char* path) {
    const char* slash = std::strrchr(path, '\\');
    return slash ? slash + 1 : path;
}

// Fills the block from the Mixer, ticking the player while the Mixer holds
// too few frames. Once the song has ended, or a tick adds nothing, the frames
// left are played out padded with silence. Returns false when nothing is left.
bool fillBlock(FormatPlayer* player) {
    while (!mixer.readBlock(playback.pcmBlock, blockFrames)) {
        if (playback.stopRequested) return false;
        uint32_t before = mixer.queuedFrames();
        if (!player->songFinished()) {
            audioEngine.runTick();
            if (mixer.queuedFrames() != before) continue;
        }
        // The ring keeps a few frames back for the LED filter; take what it gives.
        for (uint32_t n = before < blockFrames ? before : blockFrames; n > 0; --n) {
            if (mixer.readBlock(playback.pcmBlock, n)) {
                std::memset(playback.pcmBlock + 2 * n, 0, (blockFrames - n) * 4);
                return true;
            }
        }
        return false;
    }
    return true;
}

void serveSeek(FormatPlayer* player, int target) {
    OutputModule* out = host->hostOutput;
    int reached = player->seekToMs(target);
    // A newer request that came in meanwhile stays pending for the next pass.
    int expected = target;
    bool current = playback.pendingSeekMs.compare_exchange_strong(expected, reached);
    out->flushTo(reached);
    if (current) {
        expected = reached;
        playback.pendingSeekMs.compare_exchange_strong(expected, noPendingSeek);
    }
}

// Hands the output one block when it has room. Returns false once the song
// has nothing more to give.
bool produceBlock(FormatPlayer* player) {
    OutputModule* out = host->hostOutput;
    int needed = host->dspActiveQuery() ? 2 * blockBytes : blockBytes;
    if (out->writableBytes() < needed) {
        sleepTenMs();
        return true;
    }
    if (!fillBlock(player)) return false;
    int t = out->writtenTimeMs();
    host->visFeedPcm1(playback.pcmBlock, 2, 16, t);
    host->visFeedPcm2(playback.pcmBlock, 2, 16, t);
    int bytes = blockBytes;
    if (host->dspActiveQuery()) {
        int frames = host->dspProcessBlock(playback.pcmBlock, blockFrames, 16, 2, playback.rate);
        // The processor may not give back more than the block has room for.
        if (frames < 0) frames = 0;
        if (frames > 2 * blockFrames) frames = 2 * blockFrames;
        bytes = frames * 4;
    }
    out->writePcm(reinterpret_cast<char*>(playback.pcmBlock), bytes);
    return true;
}

void decodeThreadMain() {
    OutputModule* out = host->hostOutput;
    bool ended = false;
    while (!playback.stopRequested) {
        FormatPlayer* player = playback.currentPlayer;
        int seek = playback.pendingSeekMs;
        int subsong = playback.pendingSubsong;
        if (seek != noPendingSeek && player) {
            serveSeek(player, seek);
            ended = false;
        } else if (subsong && player) {
            if (SubsongSelection* s = subsongsOf(player)) s->selectSubsong(subsong);
            // A newer choice that came in meanwhile stays pending for the next pass.
            playback.pendingSubsong.compare_exchange_strong(subsong, 0);
        } else if (player && !ended) {
            ended = !produceBlock(player);
        } else {
            out->writableBytes();
            if (!out->stillPlaying()) {
                postEndOfStream(host->hostWindow);
                playback.stopRequested = 1;
            }
            sleepTenMs();
        }
    }
    playback.threadDone = 1;
}

// Joins the decode thread and frees the song's player.
void endSong() {
    if (playback.decodeThread.joinable()) {
        playback.stopRequested = 1;
        playback.decodeThread.join();
    }
    if (FormatPlayer* p = playback.currentPlayer) {
        p->stopSong();
        p->releaseSong();
        delete p;
    }
    playback.currentPlayer = nullptr;
    for (FormatPlayer*& p : playback.players) p = nullptr;
}

} // namespace

void bindPlayback(InputModule* module) {
    host = module;
}

void setFormats(std::span<const FormatEntry> f) {
    formats = f;
}

void applyStoredSettings() {
    ModPlayer::ignoreF00 = settings.IgnoreF00;
    ModFileType::stripTrailingPause = settings.StripTrailingPause;
    ModPlayer::emulateFilter = settings.EmulateFilter;
    soundMonEmulateFilter = settings.EmulateFilter != 0;
    mixer.setSeparation(settings.ReverseStereo ? -settings.StereoSeperation
                                               : settings.StereoSeperation);
}

void setMixerReady(bool ready) {
    mixerReady = ready;
}

int JK_CDECL claimsFile(const char* path) {
    std::FILE* f = path ? std::fopen(path, "rb") : nullptr;
    if (!f) return 0;
    int result = 0;
    for (FormatKind kind : claimOrder) {
        const FormatEntry* format = formatOf(kind);
        if (!format || !format->identify) continue;
        result = format->identify(f, path);
        if (result) break;
    }
    std::fclose(f);
    return result;
}

int JK_CDECL startPlayback(const char* path) {
    if (!path) return playbackNotPlayable;
    // The player calls stopPlayback between two songs; should it not, the old
    // song's thread must still end before a new one starts.
    endSong();
    // The new song is measured while it loads: nothing of the old stop may cut that short.
    playback.stopRequested = 0;
    watchStopRequest(&playback.stopRequested);
    for (FormatKind kind : startOrder) {
        const FormatEntry* format = formatOf(kind);
        if (!format || !format->create) continue;
        FormatPlayer* player = format->create();
        if (!player) continue;
        int slot = int(kind);
        playback.players[slot] = player;
        if (player->loadSong(path)) {
            playback.currentPlayer = player;
            playback.currentKind = kind;
            break;
        }
        delete player;
        playback.players[slot] = nullptr;
    }
    if (!playback.currentPlayer) return playbackNotPlayable;

    playback.currentPath = path;
    std::memset(playback.pcmBlock, 0, sizeof playback.pcmBlock);
    playback.paused = 0;
    playback.rate = settings.SampleRate;
    OutputModule* out = host->hostOutput;
    // Without the Mixer's buffers nothing can be rendered: report it as an
    // output failure rather than crash in the first block.
    int stream = mixerReady ? out->openStream(playback.rate, 2, 16, -1, -1) : -1;
    if (stream < 0) return playbackOutputFailed;
    host->reportStreamInfo(playback.currentPlayer->channelCount() * 10000, playback.rate / 1000, 2,
                           1);
    host->visFeedOpen(stream, playback.rate);
    host->visFeedFormat(playback.rate, 2);
    out->setPaused(0);
    out->outputVolume(outputVolumeUnchanged);
    out->flushTo(0);
    mixer.resetOutput();
    mixer.setSampleRate(uint32_t(playback.rate));
    playback.currentPlayer->startSong();
    playback.threadDone = 0;
    playback.pendingSeekMs = noPendingSeek;
    playback.pendingSubsong = 0;
    try {
        playback.decodeThread = std::thread(decodeThreadMain);
    } catch (...) {
        // No thread: undo the start so that the host sees a clean failure.
        endSong();
        out->closeStream();
        host->visFeedClose();
        return playbackOutputFailed;
    }
    return playbackStarted;
}

void JK_CDECL pausePlayback() {
    playback.paused = 1;
    host->hostOutput->setPaused(1);
}

void JK_CDECL resumePlayback() {
    playback.paused = 0;
    host->hostOutput->setPaused(0);
}

int JK_CDECL queryPaused() {
    return playback.paused;
}

void JK_CDECL stopPlayback() {
    OutputModule* out = host->hostOutput;
    out->setPaused(1);
    endSong();
    out->closeStream();
    host->visFeedClose();
}

int JK_CDECL queryLengthMs() {
    FormatPlayer* p = playback.currentPlayer;
    return p ? p->songLengthMs() : lengthUnknownMs;
}

int JK_CDECL queryPositionMs() {
    int pending = playback.pendingSeekMs;
    return pending != noPendingSeek ? pending : host->hostOutput->playedTimeMs();
}

void JK_CDECL requestSeekMs(int ms) {
    // The player may ask for any time; -1 is only the pending-seek word's own
    // "none" marker, so every time before the start (-1 too) means the start.
    playback.pendingSeekMs = ms < 0 ? 0 : ms;
}

SubsongSelection* subsongsOf(FormatPlayer* player) {
    return dynamic_cast<SubsongSelection*>(player);
}

bool selectSubsong(int index) {
    SubsongSelection* s = subsongsOf(playback.currentPlayer);
    if (!s) return false;
    if (!playback.decodeThread.joinable() || playback.threadDone) {
        s->selectSubsong(index);
        return true;
    }
    playback.pendingSubsong = index;
    // The thread looks for it at least every 10 ms, rendering or not.
    for (int i = 0; i < 200 && playback.pendingSubsong != 0 && !playback.threadDone; ++i)
        sleepTenMs();
    return playback.pendingSubsong == 0;
}

void JK_CDECL applyVolume(int volume) {
    host->hostOutput->outputVolume(volume);
}

void JK_CDECL applyBalance(int pan) {
    host->hostOutput->outputBalance(pan);
}

void JK_CDECL applyEqualizer(int, char*, int) {}

void JK_CDECL describeFile(const char* path, char* title, int* lengthMs) {
    FormatPlayer* p = playback.currentPlayer;
    if (p && (!path || !*path || playback.currentPath == path)) {
        if (title) p->songTitle(title, titleBufferSize);
        if (lengthMs) *lengthMs = p->songLengthMs();
        return;
    }
    if (title && path) {
        if (std::FILE* f = std::fopen(path, "rb")) {
            for (FormatKind kind : describeOrder) {
                const FormatEntry* format = formatOf(kind);
                if (!format || !format->identify || !format->identify(f, path)) continue;
                if (format->readTitle)
                    format->readTitle(path, title, titleBufferSize);
                else
                    copyTitle(title, titleBufferSize, nameAfterLastBackslash(path));
                break;
            }
            std::fclose(f);
        }
    }
    if (lengthMs) *lengthMs = lengthUnknownMs;
}

} // namespace pelmit
