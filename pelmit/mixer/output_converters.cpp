// The output converters.
#include "pelmit/mixer/output_converters.h"

#include <cstring>

namespace pelmit {

namespace {

template <bool Wide, bool Signed>
inline uint8_t* put(uint8_t* out, int16_t value) {
    const auto bits = static_cast<uint16_t>(value);
    if constexpr (Wide) {
        const uint16_t word = Signed ? bits : bits ^ 0x8000u;
        std::memcpy(out, &word, sizeof word);
        return out + sizeof word;
    } else {
        const auto high = static_cast<uint8_t>(bits >> 8);
        *out = Signed ? high : high ^ 0x80u;
        return out + 1;
    }
}

template <bool Stereo, bool Wide, bool Signed>
uint8_t* convert(uint8_t* out, const int16_t* left, const int16_t* right, uint32_t frames) {
    for (uint32_t i = 0; i < frames; ++i) {
        out = put<Wide, Signed>(out, left[i]);
        if constexpr (Stereo) out = put<Wide, Signed>(out, right[i]);
    }
    return out;
}

// The Amiga's LED filter as a four-tap box: its response |cos(pi f/fs) cos(2 pi f/fs)|
// has its null at a quarter of the rate. The sum fits 32 bits and the shift
// is arithmetic, so the average always fits 16 bits.
inline int16_t average4(const int16_t* x) {
    return static_cast<int16_t>((int32_t(x[0]) + x[1] + x[2] + x[3]) >> 2);
}

uint8_t* convertFiltered(uint8_t* out, const int16_t* left, const int16_t* right, uint32_t frames) {
    for (uint32_t i = 0; i < frames; ++i) {
        out = put<true, true>(out, average4(left + i));
        out = put<true, true>(out, average4(right + i));
    }
    return out;
}

} // namespace

const OutputConverter outputConverters[16] = {
    convert<false, false, false>, convert<true, false, false>,
    convert<false, true, false>,  convert<true, true, false>,
    convert<false, false, true>,  convert<true, false, true>,
    convert<false, true, true>,   convert<true, true, true>,
    convert<false, false, false>, convert<true, false, false>,
    convert<false, true, false>,  convert<true, true, false>,
    convert<false, false, true>,  convert<true, false, true>,
    convert<false, true, true>,   convertFiltered,
};

} // namespace pelmit
