#include "kalvo/mpeg/mpeg_decoder.h"

#include <new>

namespace kalvo {

Mp3Ssc MpegDecoder::Create(int downsample, bool eightBit, bool downmix,
                           std::unique_ptr<MpegDecoder>* out) {
    if (!out) return sscInvalidParameter;
    out->reset();
    if (downsample < 0 || downsample > 2) return sscInvalidParameter;
    std::unique_ptr<MpegDecoder> d(new (std::nothrow) MpegDecoder);
    if (!d || !d->sync_.init() || !d->layer3_.init(downsample, eightBit, downmix))
        return sscOutOfMemory;
    d->downsample_ = downsample;
    d->eightBit_ = eightBit;
    d->downmix_ = downmix;
    d->Reset();
    *out = std::move(d);
    return sscOk;
}

void MpegDecoder::Attach(DecoderInput* input) {
    sync_.attach(input);
}

void MpegDecoder::Reset() {
    endOfStream_ = false;
    sync_.reset();
    layer3_.reset(true);
}

void MpegDecoder::SkipBit() {
    sync_.reader().skip(1);
}

Mp3Ssc MpegDecoder::DecodeFrame(uint8_t* buffer, uint32_t room, uint32_t* bytesOut) {
    if (!bytesOut) return sscInvalidParameter;
    *bytesOut = 0;
    Mp3Ssc s = sync_.findFrame();
    if (sscUsable(s)) {
        const FrameHeader& h = sync_.header();
        if (lockedLayer_ < 0) lockedLayer_ = h.layer;
        if (h.layer != lockedLayer_) return sscWrongLayer;
        Mp3Ssc r = layer3_.decodeFrame(sync_.reader(), h, buffer, room, bytesOut);
        info_.layer = h.layer;
        info_.versionIndex = h.versionIndex;
        info_.bitRate = h.bitRate;
        info_.bitRateIndex = h.bitRateIndex;
        info_.channels = h.channels;
        info_.samplingRate = h.samplingRate;
        info_.outputChannels = layer3_.outputChannels(h);
        info_.outputRate = h.samplingRate >> downsample_;
        info_.outputBits = eightBit_ ? 8 : 16;
        info_.frameLengthBits = h.frameLengthBits;
        info_.frameDurationMs = h.frameDurationMs;
        info_.crcError = r == sscCrcError;
        info_.mainDataMissing = r == sscMainDataMissing;
        return r;
    }
    if (s == sscSyncEof) endOfStream_ = true;
    if (s == sscSyncLost) layer3_.reset(false);
    return s;
}

} // namespace kalvo
