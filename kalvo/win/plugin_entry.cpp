// Kalvo's one export and its record: the plug-in's values and operations.
#include "kalvo/win/shell.h"

#include <cstring>

namespace kalvo {

Settings settings;
EqualizerSettings equalizer;
SongTags lastTags;

namespace {

constexpr char fileTypeList[] = "TQZ\0Orvane Secure Music Files (*.TQZ)\0";

void JK_CDECL showSettingsOp(HWND owner) {
    showConfigDialog(owner);
}

void JK_CDECL showAboutBoxOp(HWND owner) {
    showAboutDialog(owner);
}

void JK_CDECL startUpOp() {
    readSettings();
    createSongFiles();
    readMinibrowser();
}

void JK_CDECL shutDownOp() {
    deleteSongFiles();
    storeMinibrowser();
}

void copyTitle(char* out, const SongTags& tags) {
    // The player's title buffers hold a path's worth of text.
    std::string title = songTitle(tags);
    size_t n = title.size() < MAX_PATH - 1 ? title.size() : MAX_PATH - 1;
    std::memcpy(out, title.data(), n);
    out[n] = '\0';
}

void JK_CDECL describeFileOp(const char* fileName, char* title, int* lengthMs) {
    bool current = fileName && !*fileName;
    if (lengthMs) {
        int length = current ? queryLengthMs() : lengthUnknownMs;
        *lengthMs = length == -1 ? lengthUnknownMs : length;
    }
    if (fileName && *fileName) readSongTags(fileName, lastTags);
    if (title) {
        const SongTags* playing = current ? playingTags() : nullptr;
        copyTitle(title, playing ? *playing : lastTags);
    }
}

int JK_CDECL showFileDetailsOp(const char* fileName, HWND owner) {
    if (fileName && *fileName) readSongTags(fileName, lastTags);
    showSongInfoDialog(owner, lastTags);
    return 1;
}

int JK_CDECL claimsFileOp(const char* fileName) {
    if (fileName) readSongTags(fileName, lastTags);
    return 0;
}

int JK_CDECL startPlaybackOp(const char* fileName) {
    return startPlayback(fileName);
}

void JK_CDECL pausePlaybackOp() {
    pausePlayback();
}

void JK_CDECL resumePlaybackOp() {
    resumePlayback();
}

int JK_CDECL queryPausedOp() {
    return queryPaused();
}

void JK_CDECL stopPlaybackOp() {
    stopPlayback();
}

int JK_CDECL queryLengthMsOp() {
    return queryLengthMs();
}

int JK_CDECL queryPositionMsOp() {
    return queryPositionMs();
}

void JK_CDECL requestSeekMsOp(int ms) {
    requestSeekMs(ms);
}

void JK_CDECL applyVolumeOp(int volume) {
    inputModule.hostOutput->outputVolume(volume);
}

void JK_CDECL applyBalanceOp(int pan) {
    inputModule.hostOutput->outputBalance(pan);
}

void JK_CDECL applyEqualizerOp(int on, char* bands, int preamp) {
    storeEqualizer(equalizer, on, bands, preamp);
}

} // namespace

InputModule inputModule = [] {
    InputModule m{};
    m.abiVersion = inputAbiVersion;
    m.displayName = "Orvane Secure MP3 Decoder (x86)";
    m.fileTypeList = fileTypeList;
    m.canSeek = 1;
    m.usesHostOutput = 1;
    m.showSettings = showSettingsOp;
    m.showAboutBox = showAboutBoxOp;
    m.startUp = startUpOp;
    m.shutDown = shutDownOp;
    m.describeFile = describeFileOp;
    m.showFileDetails = showFileDetailsOp;
    m.claimsFile = claimsFileOp;
    m.startPlayback = startPlaybackOp;
    m.pausePlayback = pausePlaybackOp;
    m.resumePlayback = resumePlaybackOp;
    m.queryPaused = queryPausedOp;
    m.stopPlayback = stopPlaybackOp;
    m.queryLengthMs = queryLengthMsOp;
    m.queryPositionMs = queryPositionMsOp;
    m.requestSeekMs = requestSeekMsOp;
    m.applyVolume = applyVolumeOp;
    m.applyBalance = applyBalanceOp;
    m.applyEqualizer = applyEqualizerOp;
    return m;
}();

} // namespace kalvo

JK_EXTERN_C JK_EXPORT InputModule* JK_CDECL jukoraGetInModule2(void) {
    return &kalvo::inputModule;
}
