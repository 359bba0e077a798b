// Four-float vectors through the compiler's vector extension: portable
// across GCC and Clang on every target, plain SSE on x86.
#pragma once

#include <cstring>

namespace kalvo {

typedef float Float4 __attribute__((vector_size(16)));

inline Float4 load4(const float* p) {
    Float4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void store4(float* p, Float4 v) {
    std::memcpy(p, &v, sizeof v);
}

} // namespace kalvo
