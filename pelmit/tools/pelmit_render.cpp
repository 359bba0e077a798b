// pelmit_render FILE [--seconds S] [--rate HZ]
// Plays FILE as the plug-in plays it with its default settings, through the
// same playback shell (the formats asked in the plug-in's order, the decode
// thread, the Mixer), and writes 16-bit stereo PCM, host order, interleaved,
// to standard output: to the song's end (at most an hour), or for S seconds.
// Test and benchmark tooling: the peers' renderers are measured against it.
#include "pelmit/host_notify.h"
#include "pelmit/mixer/mixer.h"
#include "pelmit/playback.h"
#include "pelmit/settings.h"

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace pelmit {

namespace {

constexpr double longestSeconds = 3600;

std::atomic<long long> bytesLeft{0};
std::atomic<int> writeFailed{0};

// What the main thread waits for, told by the decode thread as it happens.
std::mutex finishLock;
std::condition_variable finished;
bool songEnded = false, outputDone = false;

void tellFinished(bool& flag) {
    {
        std::lock_guard<std::mutex> hold(finishLock);
        flag = true;
    }
    finished.notify_one();
}

int JK_CDECL openStream(int, int, int, int, int) {
    return 1;
}
void JK_CDECL closeStream() {}
int JK_CDECL writePcm(char* data, int bytes) {
    const long long left = bytesLeft;
    const size_t n = size_t(bytes < left ? bytes : left);
    if (n && std::fwrite(data, 1, n, stdout) != n) writeFailed = 1;
    bytesLeft -= (long long)n;
    if (bytesLeft <= 0 || writeFailed) tellFinished(outputDone);
    return 0;
}
// The output is never full: the decode thread renders as fast as it can.
int JK_CDECL writableBytes() {
    return 1 << 20;
}
int JK_CDECL stillPlaying() {
    return 0;
}
int JK_CDECL setPaused(int) {
    return 0;
}
void JK_CDECL outputLevel(int) {}
void JK_CDECL flushTo(int) {}
int JK_CDECL timeMs() {
    return 0;
}
void JK_CDECL visFeedOpen(int, int) {}
void JK_CDECL visFeedClose() {}
void JK_CDECL visFeedPcm(void*, int, int, int) {}
void JK_CDECL visFeedFormat(int, int) {}
int JK_CDECL dspActive() {
    return 0;
}
int JK_CDECL dspProcess(void*, int frames, int, int, int) {
    return frames;
}
void JK_CDECL reportStreamInfo(int, int, int, int) {}

OutputModule output = {.hostSlots0to8 = {},
                       .openStream = openStream,
                       .closeStream = closeStream,
                       .writePcm = writePcm,
                       .writableBytes = writableBytes,
                       .stillPlaying = stillPlaying,
                       .setPaused = setPaused,
                       .outputVolume = outputLevel,
                       .outputBalance = outputLevel,
                       .flushTo = flushTo,
                       .playedTimeMs = timeMs,
                       .writtenTimeMs = timeMs};

int usage() {
    std::fprintf(stderr, "usage: pelmit_render FILE [--seconds S] [--rate HZ]\n");
    return 2;
}

bool number(const char* text, double lowest, double highest, double& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text, &end);
    return end != text && !*end && !errno && value >= lowest && value <= highest;
}

} // namespace

// The end of the song: the decode thread has played out everything.
void postEndOfStream(JkWindow) {
    tellFinished(songEnded);
}

} // namespace pelmit

int main(int argc, char** argv) {
    using namespace pelmit;
    const char* path = nullptr;
    double seconds = longestSeconds, rate = 44100;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--seconds" && i + 1 < argc) {
            if (!number(argv[++i], 0, longestSeconds, seconds)) return usage();
        } else if (a == "--rate" && i + 1 < argc) {
            if (!number(argv[++i], lowestSampleRate, highestSampleRate, rate)) return usage();
        } else if (!path && !a.empty() && a[0] != '-') {
            path = argv[i];
        } else {
            return usage();
        }
    }
    if (!path) return usage();
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    // Blocks of 2,304 bytes: written in large pieces, not one call each.
    static char outputBuffer[1 << 18];
    std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
    if (std::FILE* f = std::fopen(path, "rb")) {
        std::fclose(f);
    } else {
        std::fprintf(stderr, "pelmit_render: cannot open %s: %s\n", path, std::strerror(errno));
        return 1;
    }

    settings.SampleRate = int32_t(rate);
    sanitizeSettings(settings);
    if (!mixer.connect()) {
        std::fprintf(stderr, "pelmit_render: the Mixer cannot start\n");
        return 1;
    }
    setMixerReady(true);
    applyStoredSettings();
    InputModule host{};
    host.hostOutput = &output;
    host.visFeedOpen = visFeedOpen;
    host.visFeedClose = visFeedClose;
    host.visFeedPcm1 = host.visFeedPcm2 = visFeedPcm;
    host.visFeedFormat = visFeedFormat;
    host.dspActiveQuery = dspActive;
    host.dspProcessBlock = dspProcess;
    host.reportStreamInfo = reportStreamInfo;
    bindPlayback(&host);

    bytesLeft = (long long)(seconds * settings.SampleRate) * 4;
    if (startPlayback(path) != playbackStarted) {
        std::fprintf(stderr, "pelmit_render: %s is no song Pelmit plays\n", path);
        return 1;
    }
    bool ended = false;
    {
        std::unique_lock<std::mutex> hold(finishLock);
        finished.wait(hold, [] { return songEnded || outputDone; });
        ended = songEnded;
    }
    const bool written = !writeFailed && std::fflush(stdout) == 0;
    if (!written)
        std::fprintf(stderr, "pelmit_render: cannot write the output: %s\n", std::strerror(errno));
    // At the song's end the decode thread has stopped itself and only sleeps
    // out its last idle round: the output is complete, and the process ends
    // now rather than wait for that round in stopPlayback's join.
    if (ended) {
        std::fflush(stderr);
        std::_Exit(written ? 0 : 1);
    }
    stopPlayback();
    mixer.disconnect();
    return written ? 0 : 1;
}
