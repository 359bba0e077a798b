// The song's decoder: the MPEG Layer III decoder reading the song source,
// with the settings' output options and the player's equaliser.
#include "kalvo/decoder_factory.h"
#include "kalvo/mpeg/mpeg_decoder.h"

namespace kalvo {

namespace {

class MpegFrameDecoder : public FrameDecoder {
public:
    MpegFrameDecoder(std::unique_ptr<MpegDecoder> decoder, SongSource* source,
                     const EqualizerSettings* eq)
        : decoder_(std::move(decoder)) {
        decoder_->Attach(source);
        decoder_->SetEqualizer(eq);
    }

    uint32_t decodeFrame(uint8_t* buffer, uint32_t room, uint32_t* bytesOut) override {
        return decoder_->DecodeFrame(buffer, room, bytesOut);
    }

    FrameFormat format() const override {
        const StreamInfo& i = decoder_->StreamInfo();
        return FrameFormat{int(i.bitRate), int(i.outputRate), i.outputChannels, i.outputBits};
    }

    void reset() override { decoder_->Reset(); }
    bool atEnd() const override { return decoder_->AtEnd(); }
    void skipBit() override { decoder_->SkipBit(); }

private:
    std::unique_ptr<MpegDecoder> decoder_;
};

} // namespace

std::unique_ptr<FrameDecoder> createDecoder(const Settings& settings, SongSource* source,
                                            const EqualizerSettings* eq) {
    // An ini value out of range plays at full rate rather than not at all.
    int downsample = settings.downsample >= 0 && settings.downsample <= 2 ? settings.downsample : 0;
    std::unique_ptr<MpegDecoder> decoder;
    if (MpegDecoder::Create(downsample, settings.eightBit != 0, settings.downmix != 0, &decoder) !=
        sscOk)
        return nullptr;
    return std::make_unique<MpegFrameDecoder>(std::move(decoder), source, eq);
}

} // namespace kalvo
