#include "kalvo/player.h"

#include "kalvo/mul_div.h"

#include <cstring>

namespace kalvo {

namespace {

bool isSyncWarning(uint32_t status) {
    return status == sscSyncSearched || status == sscSyncLost || status == sscSyncNeedData;
}

int readSample(const uint8_t* p, int bits) {
    return bits == 8 ? int(p[0]) : int(int16_t(uint16_t(p[0] | p[1] << 8)));
}

void writeSample(uint8_t* p, int bits, int value) {
    if (bits == 8) {
        p[0] = uint8_t(value);
    } else {
        p[0] = uint8_t(value & 0xFF);
        p[1] = uint8_t((value >> 8) & 0xFF);
    }
}

} // namespace

uint32_t fitChannels(uint8_t* pcm, uint32_t bytes, int fromChannels, int toChannels, int bits,
                     uint32_t room) {
    if (fromChannels == toChannels || (bits != 8 && bits != 16)) return bytes;
    uint32_t sampleBytes = uint32_t(bits / 8);
    if (fromChannels == 2 && toChannels == 1) {
        uint32_t frames = bytes / (2 * sampleBytes);
        for (uint32_t i = 0; i < frames; ++i) {
            int l = readSample(pcm + 2 * i * sampleBytes, bits);
            int r = readSample(pcm + (2 * i + 1) * sampleBytes, bits);
            writeSample(pcm + i * sampleBytes, bits, (l + r) >> 1);
        }
        return frames * sampleBytes;
    }
    if (fromChannels == 1 && toChannels == 2) {
        uint32_t frames = bytes / sampleBytes;
        if (frames * 2 * sampleBytes > room) frames = room / (2 * sampleBytes);
        for (uint32_t i = frames; i-- > 0;) {
            int s = readSample(pcm + i * sampleBytes, bits);
            writeSample(pcm + 2 * i * sampleBytes, bits, s);
            writeSample(pcm + (2 * i + 1) * sampleBytes, bits, s);
        }
        return frames * 2 * sampleBytes;
    }
    return bytes;
}

void Player::prepare() {
    paused_.store(false);
    playClockMs_.store(0);
    seekTargetMs_.store(noPendingSeek);
    stopRequested_.store(false);
    clockBaseMs_ = 0;
    samplesSinceSeek_ = 0;
    bufferedBytes_ = blockBytes_ = 0;
    ended_ = decoding;
    errorReported_ = false;
    bitrateSum_ = bitrateCount_ = 0;
    averageKbps_.store(0);
}

int Player::start(InputModule* module, FrameDecoder* decoder, SongSource* source,
                  PostFn postEndOfStream, void* postUser) {
    int result = openSong(module, decoder);
    if (result == playbackStarted) {
        module_ = module;
        decoder_ = decoder;
        source_ = source;
        post_ = postEndOfStream;
        postUser_ = postUser;
    }
    return result;
}

int Player::openSong(InputModule* module, FrameDecoder* decoder) {
    // The first frame may lie further in than one fill of the decoder's ring
    // (junk, a second tag): search on while the stream has more to give.
    uint32_t bytes = 0;
    uint32_t status;
    while (!sscUsable(status = decoder->decodeFrame(pcm_, pcmBufferBytes, &bytes))) {
        if (!isSyncWarning(status) || decoder->atEnd()) return playbackNotPlayable;
    }
    FrameFormat f = decoder->format();
    if (bytes == 0 || f.outputRate <= 0 || f.outputChannels <= 0 || f.outputBits <= 0)
        return playbackNotPlayable;
    blockBytes_ = bufferedBytes_ = bytes;
    outputRate_ = f.outputRate;
    outputChannels_ = f.outputChannels;
    outputBits_ = f.outputBits;

    OutputModule* out = module->hostOutput;
    int stream = out->openStream(outputRate_, outputChannels_, outputBits_, -1, -1);
    if (stream < 0) return playbackOutputFailed;

    bitrateSum_ = f.bitRate / 1000;
    bitrateCount_ = 1;
    averageKbps_.store(bitrateSum_);
    module->reportStreamInfo(bitrateSum_, outputRate_ / 1000, outputChannels_, 1);
    module->visFeedOpen(stream, outputRate_);
    module->visFeedFormat(outputRate_, outputChannels_);
    out->outputVolume(outputVolumeUnchanged);
    return playbackStarted;
}

bool Player::serveSeek() {
    int32_t t = seekTargetMs_.exchange(noPendingSeek);
    if (t == noPendingSeek) return false;
    // The host may ask for any time; the clock and the stream keep to the song.
    int32_t length = lengthMs();
    if (t < 0) t = 0;
    if (length >= 0 && t > length) t = length;
    clockBaseMs_ = t;
    samplesSinceSeek_ = 0;
    playClockMs_.store(t);
    ended_ = decoding;
    module_->hostOutput->flushTo(t);
    decoder_->reset();
    bufferedBytes_ = 0;
    if (source_) source_->seek(t, averageKbps_.load());
    return true;
}

void Player::countFrame(int bitRate) {
    bitrateSum_ += bitRate / 1000;
    bitrateCount_ += 1;
    int average = (bitrateCount_ / 2 + bitrateSum_) / bitrateCount_;
    if (average != averageKbps_.load()) {
        averageKbps_.store(average);
        errorReported_ = false;
        module_->reportStreamInfo(average, outputRate_ / 1000, outputChannels_, 1);
    } else if (errorReported_) {
        errorReported_ = false;
        module_->reportStreamInfo(streamInfoUnchanged, streamInfoUnchanged, streamInfoUnchanged, 1);
    }
}

void Player::decodeOne() {
    // Every round looks at the stop flag and the seek word: a long stretch
    // without a decodable frame must never keep the player waiting on stop.
    while (bufferedBytes_ == 0 && ended_ == decoding) {
        if (stopRequested_.load() || seekTargetMs_.load() != noPendingSeek) return;
        uint32_t bytes = 0;
        uint32_t room = pcmBufferBytes - bufferedBytes_;
        uint32_t status = decoder_->decodeFrame(pcm_ + bufferedBytes_, room, &bytes);
        if (sscUsable(status)) {
            FrameFormat f = decoder_->format();
            countFrame(f.bitRate);
            bytes = fitChannels(pcm_ + bufferedBytes_, bytes, f.outputChannels, outputChannels_,
                                outputBits_, room);
            bufferedBytes_ += bytes;
        } else if (decoder_->atEnd()) {
            ended_ = endReached;
        } else if (status != sscSyncNeedData) {
            if (status == sscWrongLayer) decoder_->skipBit();
            if (!errorReported_) {
                module_->reportStreamInfo(streamInfoUnchanged, streamInfoUnchanged,
                                          streamInfoUnchanged, 0);
                errorReported_ = true;
            }
        }
    }
}

void Player::writeBuffered() {
    OutputModule* out = module_->hostOutput;
    uint32_t frameBytes = uint32_t(outputChannels_ * (outputBits_ / 8));
    uint32_t chunk = frameBytes * samplesPerPiece;
    uint32_t done = 0;
    while (done < bufferedBytes_) {
        uint32_t piece = bufferedBytes_ - done < chunk ? bufferedBytes_ - done : chunk;
        char* p = reinterpret_cast<char*>(pcm_ + done);
        int32_t clock = playClockMs_.load();
        module_->visFeedPcm1(p, outputChannels_, outputBits_, clock);
        module_->visFeedPcm2(p, outputChannels_, outputBits_, clock);
        samplesSinceSeek_ += piece / frameBytes;
        playClockMs_.store(int32_t(clockBaseMs_ + samplesSinceSeek_ * 1000 / outputRate_));
        out->writePcm(p, int(piece));
        done += piece;
    }
    bufferedBytes_ = 0;
}

Player::Pass Player::pass() {
    bool wrote = serveSeek();
    OutputModule* out = module_->hostOutput;
    if (ended_ == endWritten) {
        out->writableBytes();
        if (out->stillPlaying() == 0) {
            if (post_) post_(postUser_);
            return Pass::ended;
        }
        return wrote ? Pass::wrote : Pass::idle;
    }
    int64_t need = blockBytes_;
    if (module_->dspActiveQuery && module_->dspActiveQuery()) need *= 2;
    if (out->writableBytes() < need) return wrote ? Pass::wrote : Pass::idle;
    decodeOne();
    if (bufferedBytes_ > 0) {
        writeBuffered();
        wrote = true;
    }
    if (ended_ == endReached) {
        out->writePcm(nullptr, 0);
        ended_ = endWritten;
        wrote = true;
    }
    return wrote ? Pass::wrote : Pass::idle;
}

void Player::finish() {
    if (!module_) return;
    module_->hostOutput->closeStream();
    module_->visFeedClose();
    module_ = nullptr;
    decoder_ = nullptr;
    source_ = nullptr;
}

int32_t Player::positionMs() const {
    if (!module_) return 0;
    OutputModule* out = module_->hostOutput;
    int32_t position = playClockMs_.load() - out->writtenTimeMs() + out->playedTimeMs();
    // A length taken from the bytes or the header is an estimate the stream
    // may outrun; the position never goes past what the player shows as the end.
    int32_t length = lengthMs();
    return length > 0 && position > length ? length : position;
}

int32_t Player::lengthMs() const {
    // Without a song there is no length to give, whatever the last one's rate was.
    if (!source_) return -1;
    int32_t fromStream = source_->streamLengthMs();
    if (fromStream >= 0) return fromStream;
    return mulDiv(source_->byteSize(), 8, averageKbps_.load());
}

} // namespace kalvo
