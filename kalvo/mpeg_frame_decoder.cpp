// The song's decoder: the MPEG Layer III decoder reading the song source,
// with the settings' output options and the player's equaliser.
#include "kalvo/decoder_factory.h"
#include "kalvo/mpeg/mpeg_decoder.h"

namespace kalvo {

namespace {

class SourceInput : public DecoderInput {
public:
    explicit SourceInput(SongSource* source) : source_(source) {}
    void read(uint8_t* buffer, uint32_t length, uint32_t* gotOut) override {
        source_->read(buffer, length, gotOut);
    }
    bool atEnd() override { return source_->atEnd(); }

private:
    SongSource* source_;
};

class MpegFrameDecoder : public FrameDecoder {
public:
    MpegFrameDecoder(std::unique_ptr<MpegDecoder> decoder, SongSource* source,
                     const EqualizerState* eq)
        : decoder_(std::move(decoder)), input_(source), eq_(eq) {
        decoder_->Attach(&input_);
        if (eq_) decoder_->SetEqualizer(&eqSettings_);
    }

    uint32_t decodeFrame(uint8_t* buffer, uint32_t room, uint32_t* bytesOut) override {
        if (eq_) copyEqualizer();
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
    // The player may change the equaliser while the song plays; the decoder
    // sees the values of the moment each frame starts.
    void copyEqualizer() {
        constexpr auto relaxed = std::memory_order_relaxed;
        for (int k = 0; k < equalizerBands; ++k)
            eqSettings_.bands[k].store(eq_->bands[k].load(relaxed), relaxed);
        eqSettings_.preamp.store(eq_->preamp.load(relaxed), relaxed);
        eqSettings_.on.store(eq_->on.load(relaxed) != 0, relaxed);
    }

    std::unique_ptr<MpegDecoder> decoder_;
    SourceInput input_;
    const EqualizerState* eq_;
    EqualizerSettings eqSettings_;
};

} // namespace

std::unique_ptr<FrameDecoder> createDecoder(const Settings& settings, SongSource* source,
                                            const EqualizerState* eq) {
    // An ini value out of range plays at full rate rather than not at all.
    int downsample = settings.downsample >= 0 && settings.downsample <= 2 ? settings.downsample : 0;
    std::unique_ptr<MpegDecoder> decoder;
    if (MpegDecoder::Create(downsample, settings.eightBit != 0, settings.downmix != 0, &decoder) !=
        sscOk)
        return nullptr;
    return std::make_unique<MpegFrameDecoder>(std::move(decoder), source, eq);
}

} // namespace kalvo
