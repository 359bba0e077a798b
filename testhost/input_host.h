// The player's side of an input plug-in: the OutputModule, the visualization
// feed, the sample processor and the stream information, with a simulated or
// wall-clock output clock, recording everything the plug-in does and every
// break of the host contract.
#pragma once

#include "host/input_module.h"
#include "host/testing/player_side.h"
#include "testhost/wav_writer.h"

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace testhost {

struct OutputEvent {
    int64_t atFrame; // frames written to the WAV when it happened
    int valueMs;
};

// The base class's lock guards every field: the decode thread calls in.
struct InputHost : jk::testing::PlayerSide {
    bool realtime = false;
    bool dspActive = false;
    std::string wavPath;
    WavWriter wav;

    // output stream
    int openCalls = 0, closeCalls = 0;
    bool streamOpen = false;
    int openResult = -1;
    int rate = 0, channels = 0, bits = 0;
    int64_t bytesPerSecond = 0;
    int64_t capacity = 0;
    int64_t written = 0, played = 0; // bytes since the last flush
    int baseMs = 0;                  // output clock at the last flush
    bool paused = false;
    uint32_t clockStart = 0; // wall-clock reference of the real-time clock
    int64_t playedAtClockStart = 0;
    int64_t framesWritten = 0, bytesWritten = 0;
    int endMarkers = 0; // writePcm(null, 0)
    int gateFrame = -1; // writableBytes reports 0 once this many frames are written
    std::vector<OutputEvent> flushes;
    int lastVolume = 0x7fffffff, volumeCalls = 0;

    // visualization feed and sample processor
    bool visOpen = false;
    int visOpenCalls = 0, visCloseCalls = 0;
    int visBlocks1 = 0, visBlocks2 = 0, dspBlocks = 0;
    std::array<int, 2> visFormat{0, 0};
    std::vector<std::array<int, 4>> streamInfo;

    // messages to the host window
    int endOfStream = 0;
    std::vector<std::array<int64_t, 2>> ipc;
    std::vector<std::string> urls; // the texts that ipcShowUrl pointed to

    std::vector<std::string> violations;

    void violation(const std::string& text);
    // Forgets what earlier songs wrote and sent (violations stay).
    void clearRecords();
    int64_t bufferedLocked();
    void drainLocked();
    int frameBytes() const { return channels * bits / 8; }

    int openStream(int rateHz, int channels, int bits, int bufferMs, int prebufferMs) override;
    void closeStream() override;
    int writePcm(char* buffer, int bytes) override;
    int writableBytes() override;
    int stillPlaying() override;
    int setPaused(int pause) override;
    void outputVolume(int volume) override;
    void flushTo(int ms) override;
    int playedTimeMs() override;
    int writtenTimeMs() override;
    void visFeedOpen(int stream, int rate) override;
    void visFeedClose() override;
    void visFeedPcm1(void* pcm, int channels, int bits, int timeMs) override;
    void visFeedPcm2(void* pcm, int channels, int bits, int timeMs) override;
    void visFeedFormat(int rate, int channels) override;
    int dspActiveQuery() override;
    int dspProcessBlock(void* pcm, int frames, int bits, int channels, int rate) override;
    void reportStreamInfo(int kbps, int khz, int channels, int synced) override;
};

extern InputHost host;

// Fills the host slots of the record; the window receives the plug-in's messages.
void fillHostSlots(InputModule* module, HWND hostWindow, HINSTANCE pluginInstance);

LRESULT CALLBACK hostWindowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
// The player's main window, as the plug-in sees it: hostWindowProc serves it.
HWND createHostWindow();

} // namespace testhost
