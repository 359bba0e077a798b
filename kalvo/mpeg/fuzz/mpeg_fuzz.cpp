// Fuzz entry: the first byte picks the output options and the input's read
// size, the rest is the stream. Every call must end, without a fault.
#include "kalvo/mpeg/mpeg_decoder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

class FuzzInput : public kalvo::DecoderInput {
public:
    FuzzInput(const uint8_t* data, size_t size, uint32_t chunk)
        : data_(data), size_(size), chunk_(chunk) {}
    void read(uint8_t* buffer, uint32_t length, uint32_t* gotOut) override {
        size_t n = std::min<size_t>({length, chunk_, size_ - pos_});
        if (n) std::memcpy(buffer, data_ + pos_, n);
        pos_ += n;
        *gotOut = uint32_t(n);
    }
    bool atEnd() override { return pos_ >= size_; }

private:
    const uint8_t* data_;
    size_t size_, pos_ = 0;
    uint32_t chunk_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    uint8_t options = data[0];
    std::unique_ptr<kalvo::MpegDecoder> decoder;
    if (kalvo::MpegDecoder::Create((options & 3) % 3, options & 4, options & 8, &decoder) !=
        kalvo::sscOk)
        return 0;
    static const uint32_t chunks[4] = {0xFFFFFFFF, 1, 97, 4096};
    FuzzInput input(data + 1, size - 1, chunks[(options >> 4) & 3]);
    decoder->Attach(&input);
    kalvo::EqualizerSettings eq;
    eq.on = options & 0x40;
    for (int k = 0; k < 10; ++k) eq.bands[k] = k * 7;
    decoder->SetEqualizer(&eq);
    std::vector<uint8_t> buffer(kalvo::MpegDecoder::maxFrameBytes);
    // Each call consumes at least a bit or reads input, so this ends; the
    // bound only guards against a fault in that promise.
    for (long calls = 0; calls < 20L * long(size) + 1000; ++calls) {
        uint32_t n = 0;
        kalvo::Mp3Ssc s = decoder->DecodeFrame(buffer.data(), uint32_t(buffer.size()), &n);
        if (kalvo::sscUsable(s)) continue;
        if (decoder->AtEnd()) return 0;
        if (s == kalvo::sscWrongLayer) decoder->SkipBit();
    }
    __builtin_trap(); // the decoder did not come to an end
}
