// A tiny input plug-in for testhost's own tests: plays "FREQ SECONDS" from a
// text file as a 16-bit stereo sine, with the decode-thread outline of the
// real plug-ins (blocks of 576 frames, seeking, pause, end-of-stream message).
#include "host/input_module.h"

#include <atomic>
#include <cmath>
#include <cstdio>

namespace {

constexpr int rate = 44100;
constexpr int blockFrames = 576;

InputModule module{};
HANDLE thread = nullptr;
std::atomic<int> stopRequested{0}, pendingSeekMs{-1}, paused{0};
double frequency = 0;
long long totalFrames = 0, position = 0;

bool readTune(const char* file, double& freq, double& seconds) {
    std::FILE* f = std::fopen(file, "r");
    if (!f) return false;
    bool ok = std::fscanf(f, "%lf %lf", &freq, &seconds) == 2 && freq > 0 && seconds > 0;
    std::fclose(f);
    return ok;
}

DWORD WINAPI decodeThread(LPVOID) {
    short block[blockFrames * 2];
    OutputModule* out = module.hostOutput;
    while (!stopRequested) {
        int seek = pendingSeekMs.exchange(-1);
        if (seek >= 0) {
            position = (long long)seek * rate / 1000;
            out->flushTo(seek);
            continue;
        }
        if (position >= totalFrames) {
            if (!out->stillPlaying()) {
                PostMessageA(module.hostWindow, hostMsgEndOfStream, 0, 0);
                return 0;
            }
            Sleep(10);
            continue;
        }
        int need = int(sizeof block) * (module.dspActiveQuery() ? 2 : 1);
        if (out->writableBytes() < need) {
            Sleep(10);
            continue;
        }
        int frames =
            int(totalFrames - position < blockFrames ? totalFrames - position : blockFrames);
        for (int i = 0; i < frames; ++i) {
            double t = double(position + i) / rate;
            short s = short(std::lround(16000 * std::sin(2 * 3.14159265358979 * frequency * t)));
            block[2 * i] = block[2 * i + 1] = s;
        }
        position += frames;
        int ms = out->writtenTimeMs();
        module.visFeedPcm1(block, 2, 16, ms);
        module.visFeedPcm2(block, 2, 16, ms);
        out->writePcm(reinterpret_cast<char*>(block), frames * 4);
    }
    return 0;
}

void JK_CDECL showAboutBox(HWND owner) {
    MessageBoxA(owner, "Sine test plug-in", "About sine", MB_OK);
}

void JK_CDECL startUp() {}
void JK_CDECL shutDown() {}

void JK_CDECL describeFile(const char* file, char* title, int* lengthMs) {
    double f, s;
    bool ok = readTune(file, f, s);
    if (title) std::snprintf(title, 256, "sine %g Hz", ok ? f : 0.0);
    if (lengthMs) *lengthMs = ok ? int(s * 1000) : lengthUnknownMs;
}

int JK_CDECL claimsFile(const char* file) {
    double f, s;
    return readTune(file, f, s) ? 1 : 0;
}

int JK_CDECL startPlayback(const char* file) {
    double seconds;
    if (!readTune(file, frequency, seconds)) return playbackNotPlayable;
    totalFrames = (long long)(seconds * rate);
    position = 0;
    OutputModule* out = module.hostOutput;
    int stream = out->openStream(rate, 2, 16, -1, -1);
    if (stream < 0) return playbackOutputFailed;
    module.reportStreamInfo(1411, 44, 2, 1);
    module.visFeedOpen(stream, rate);
    module.visFeedFormat(rate, 2);
    out->setPaused(0);
    out->outputVolume(outputVolumeUnchanged);
    out->flushTo(0);
    stopRequested = 0;
    pendingSeekMs = -1;
    paused = 0;
    thread = CreateThread(nullptr, 0, decodeThread, nullptr, 0, nullptr);
    return playbackStarted;
}

void JK_CDECL stopPlayback() {
    module.hostOutput->setPaused(1);
    stopRequested = 1;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    thread = nullptr;
    module.hostOutput->closeStream();
    module.visFeedClose();
}

void JK_CDECL pausePlayback() {
    paused = 1;
    module.hostOutput->setPaused(1);
}

void JK_CDECL resumePlayback() {
    paused = 0;
    module.hostOutput->setPaused(0);
}

int JK_CDECL queryPaused() {
    return paused;
}
int JK_CDECL queryLengthMs() {
    return int(totalFrames * 1000 / rate);
}
int JK_CDECL queryPositionMs() {
    return module.hostOutput->playedTimeMs();
}
void JK_CDECL requestSeekMs(int ms) {
    pendingSeekMs = ms;
}
void JK_CDECL applyVolume(int v) {
    module.hostOutput->outputVolume(v);
}
void JK_CDECL applyBalance(int p) {
    module.hostOutput->outputBalance(p);
}

} // namespace

JK_EXTERN_C JK_EXPORT InputModule* JK_CDECL jukoraGetInModule2(void) {
    module.abiVersion = inputAbiVersion;
    module.displayName = "Sine test plug-in";
    module.fileTypeList = "SINE\0Sine tone (*.SINE)\0";
    module.canSeek = 1;
    module.usesHostOutput = 1;
    module.showAboutBox = showAboutBox;
    module.startUp = startUp;
    module.shutDown = shutDown;
    module.describeFile = describeFile;
    module.claimsFile = claimsFile;
    module.startPlayback = startPlayback;
    module.stopPlayback = stopPlayback;
    module.pausePlayback = pausePlayback;
    module.resumePlayback = resumePlayback;
    module.queryPaused = queryPaused;
    module.queryLengthMs = queryLengthMs;
    module.queryPositionMs = queryPositionMs;
    module.requestSeekMs = requestSeekMs;
    module.applyVolume = applyVolume;
    module.applyBalance = applyBalance;
    return &module;
}
