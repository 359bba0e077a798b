// The playing song between the decoder and the player's output: the start of
// a song, one pass of the decode thread at a time, and what the player asks
// while it plays. The thread itself, its priority and its sleeps are the
// shell's; everything here runs the same natively, against a fake host.
#pragma once

#include "host/input_module.h"
#include "kalvo/frame_decoder.h"
#include "kalvo/song_source.h"

#include <atomic>
#include <cstdint>

namespace kalvo {

// Fits a decoded frame to the output's channel count: a stereo frame is
// averaged down to mono, a mono frame duplicated to stereo (within room).
// Returns the new byte count.
uint32_t fitChannels(uint8_t* pcm, uint32_t bytes, int fromChannels, int toChannels, int bits,
                     uint32_t room);

class Player {
public:
    static constexpr uint32_t pcmBufferBytes = 4608; // one MPEG-1 stereo 16-bit frame
    static constexpr int samplesPerPiece = 576;

    enum class Pass { idle, wrote, ended };

    using PostFn = void (*)(void* user);

    // Resets the play state for a new song (the flags, clock and pending seek).
    void prepare();
    // Decodes the first frame, opens the output and the visualization feed and
    // reports the stream. Returns 0 when playing, -1 when no frame can be
    // decoded, 1 when the output cannot be opened.
    int start(InputModule* module, FrameDecoder* decoder, SongSource* source,
              PostFn postEndOfStream, void* postUser);
    // One pass of the decode thread: serves a pending seek, decodes and writes
    // one frame when the output has room, and once the song has played out
    // posts the end-of-stream message and answers Pass::ended.
    Pass pass();
    // Closes the output and the visualization feed (the thread has ended).
    void finish();

    void requestStop() { stopRequested_.store(true); }
    bool stopRequested() const { return stopRequested_.load(); }
    // -1 is only the seek word's own "none" marker, not a time the player
    // reserves: a request for it, like any time before the start, means the start.
    void requestSeek(int32_t ms) { seekTargetMs_.store(ms < 0 ? 0 : ms); }
    // The flag only: the shell pauses the output itself.
    void pause() { paused_.store(true); }
    void resume() { paused_.store(false); }
    int paused() const { return paused_.load() ? 1 : 0; }
    int32_t positionMs() const;
    // The length the stream's VBR header or its variable-rate frames give,
    // else the stream's bytes at the average bit rate; -1 without a song or a rate.
    int32_t lengthMs() const;
    int32_t playClockMs() const { return playClockMs_.load(); }
    int averageKbps() const { return averageKbps_.load(); }
    int blockBytes() const { return int(blockBytes_); }

private:
    enum Ended { decoding = 0, endReached = 1, endWritten = 2 };

    int openSong(InputModule* module, FrameDecoder* decoder);
    // Serves a pending seek at its target clamped to 0..the length.
    bool serveSeek();
    // Decodes frames until one gives PCM, the end is reached, or a stop or a
    // seek is pending.
    void decodeOne();
    void countFrame(int bitRate);
    void writeBuffered();

    InputModule* module_ = nullptr;
    FrameDecoder* decoder_ = nullptr;
    SongSource* source_ = nullptr;
    PostFn post_ = nullptr;
    void* postUser_ = nullptr;

    uint8_t pcm_[pcmBufferBytes];
    uint32_t bufferedBytes_ = 0;
    uint32_t blockBytes_ = 0;
    int outputRate_ = 0, outputChannels_ = 0, outputBits_ = 0;
    int bitrateSum_ = 0, bitrateCount_ = 0;
    bool errorReported_ = false;
    Ended ended_ = decoding;
    // The clock counts samples since the last seek, so that it never drifts.
    int32_t clockBaseMs_ = 0;
    int64_t samplesSinceSeek_ = 0;

    // Shared with the player's thread.
    std::atomic<int32_t> playClockMs_{0};
    std::atomic<int32_t> seekTargetMs_{noPendingSeek};
    std::atomic<int> averageKbps_{0};
    std::atomic<bool> paused_{false};
    std::atomic<bool> stopRequested_{false};
};

} // namespace kalvo
