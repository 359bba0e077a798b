// The MPEG audio decoder object that the plug-in creates per song: it pulls
// bytes from a DecoderInput, finds frames and turns each Layer III frame
// into PCM, one frame per call.
//
// Typical use (the plug-in's decode thread):
//     std::unique_ptr<MpegDecoder> d;
//     if (MpegDecoder::Create(downsample, eightBit, downmix, &d) != sscOk) fail;
//     d->Attach(&input);
//     for (;;) {
//         uint32_t n;
//         Mp3Ssc s = d->DecodeFrame(buffer, room, &n);
//         if (sscUsable(s)) play(buffer, n);             // success or information
//         else if (d->AtEnd()) break;                    // the stream has ended
//         else if (s == sscWrongLayer) d->SkipBit();     // step over that frame's sync
//         // any other status: call DecodeFrame again
//     }
#pragma once

#include "kalvo/mpeg/decoder_input.h"
#include "kalvo/mpeg/equalizer.h"
#include "kalvo/mpeg/layer3_decoder.h"
#include "kalvo/mpeg/mp3_ssc.h"
#include "kalvo/mpeg/sync_reader.h"

#include <cstdint>
#include <memory>

namespace kalvo {

// Refreshed after every decoded frame.
struct StreamInfo {
    int layer = 0;        // 1 to 3
    int versionIndex = 0; // 0 MPEG-1, 1 MPEG-2, 2 MPEG-2.5
    uint32_t bitRate = 0; // bit/s
    uint32_t bitRateIndex = 0;
    int channels = 0;          // of the stream
    uint32_t samplingRate = 0; // of the stream, Hz
    int outputChannels = 0;    // 1 with downmix, else the stream's
    uint32_t outputRate = 0;   // the stream's rate >> downsample
    int outputBits = 0;        // 8 or 16
    uint32_t frameLengthBits = 0;
    float frameDurationMs = 0;
    bool crcError = false;        // the frame's status was sscCrcError
    bool mainDataMissing = false; // the frame's status was sscMainDataMissing
};

class MpegDecoder {
public:
    // The largest frame output: 1,152 stereo 16-bit samples.
    static constexpr uint32_t maxFrameBytes = 4608;

    // downsample: 0 full, 1 half, 2 quarter rate; eightBit: unsigned 8-bit
    // samples instead of signed 16-bit; downmix: one channel from two.
    // sscInvalidParameter for a downsample outside 0..2, sscOutOfMemory.
    static Mp3Ssc Create(int downsample, bool eightBit, bool downmix,
                         std::unique_ptr<MpegDecoder>* out);

    // The decoder reads from input from now on (not owned; may be null).
    void Attach(DecoderInput* input);

    // Decodes the next frame into buffer (room bytes) and stores the PCM
    // byte count in *bytesOut (0 unless the status is usable). Returns
    // sscOk or an information status (sscCrcError, sscMainDataMissing: the
    // frame plays as silence), a sync status (search on, lost, need data,
    // end of stream), sscWrongLayer for a frame of another layer than the
    // first one (nothing consumed), or sscBufferTooSmall (nothing consumed).
    Mp3Ssc DecodeFrame(uint8_t* buffer, uint32_t room, uint32_t* bytesOut);

    // Empties the buffered stream and the decoder's memory of past frames;
    // the caller then repositions the input (a seek). The first frames after
    // it play as silence until the reservoir has filled again.
    void Reset();

    // Steps one bit past the frame start that gave sscWrongLayer, so that the
    // next DecodeFrame searches for the following frame.
    void SkipBit();

    const kalvo::StreamInfo& StreamInfo() const { return info_; }
    // True once the input has ended and no whole frame is left.
    bool AtEnd() const { return endOfStream_; }

    // The plug-in's equaliser settings, read once per granule (may be null).
    void SetEqualizer(const EqualizerSettings* eq) { layer3_.setEqualizer(eq); }

private:
    MpegDecoder() = default;

    SyncReader sync_;
    Layer3Decoder layer3_;
    kalvo::StreamInfo info_;
    int downsample_ = 0;
    bool eightBit_ = false;
    bool downmix_ = false;
    bool endOfStream_ = false;
    int lockedLayer_ = -1;
};

} // namespace kalvo
