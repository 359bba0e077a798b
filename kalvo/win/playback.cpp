// The playing song on Windows: startPlayback opens the song and the decoder
// and starts the decode thread; stopPlayback ends it and closes everything.
#include "kalvo/decoder_factory.h"
#include "kalvo/player.h"
#include "kalvo/win/shell.h"

#include <memory>

namespace kalvo {

namespace {

struct Playing {
    Player player;
    SongSource source;
    std::unique_ptr<FrameDecoder> decoder;
    SongTags tags;
    std::string fileName;
    HANDLE thread = nullptr;
};
Playing playing;

void postEndOfStream(void*) {
    PostMessageA(inputModule.hostWindow, hostMsgEndOfStream, 0, 0);
}

DWORD WINAPI decodeThread(LPVOID) {
    while (!playing.player.stopRequested()) {
        Player::Pass pass = playing.player.pass();
        if (pass == Player::Pass::ended) break;
        if (pass == Player::Pass::idle) Sleep(15);
    }
    return 0;
}

int threadPriority(int setting) {
    return setting == 1   ? THREAD_PRIORITY_ABOVE_NORMAL
           : setting == 2 ? THREAD_PRIORITY_HIGHEST
                          : THREAD_PRIORITY_NORMAL;
}

// Every way out of a start that did not succeed leaves nothing open.
int failStart(int result) {
    playing.decoder.reset();
    playing.source.close();
    return result;
}

} // namespace

int startPlayback(const char* fileName) {
    if (playing.thread) stopPlayback(); // the player always stops first; never run two
    playing.player.prepare();
    playing.fileName = fileName ? fileName : "";
    playing.decoder = createDecoder(settings, &playing.source, &equalizer);
    if (!playing.decoder || !playing.source.open(playing.fileName)) return failStart(-1);
    std::vector<uint8_t> cover;
    readSongTags(playing.fileName.c_str(), playing.tags, &cover);
    showSongPage(playing.tags, cover);
    inputModule.canSeek = playing.source.canSeek();

    int result = playing.player.start(&inputModule, playing.decoder.get(), &playing.source,
                                      postEndOfStream, nullptr);
    if (result != playbackStarted) return failStart(result);
    playing.thread = CreateThread(nullptr, 0, decodeThread, nullptr, 0, nullptr);
    if (!playing.thread) {
        playing.player.finish();
        return failStart(playbackNotPlayable);
    }
    SetThreadPriority(playing.thread, threadPriority(settings.priority));
    return playbackStarted;
}

void stopPlayback() {
    if (!playing.thread) return;
    playing.player.requestStop();
    WaitForSingleObject(playing.thread, INFINITE);
    CloseHandle(playing.thread);
    playing.thread = nullptr;
    playing.player.finish();
    playing.decoder.reset();
    playing.source.close();
}

void pausePlayback() {
    playing.player.pause();
    inputModule.hostOutput->setPaused(1);
}

void resumePlayback() {
    playing.player.resume();
    inputModule.hostOutput->setPaused(0);
}

int queryPaused() {
    return playing.player.paused();
}

int queryLengthMs() {
    return playing.player.lengthMs();
}

int queryPositionMs() {
    return playing.player.positionMs();
}

void requestSeekMs(int ms) {
    playing.player.requestSeek(ms);
}

const SongTags* playingTags() {
    return playing.thread ? &playing.tags : nullptr;
}

} // namespace kalvo
