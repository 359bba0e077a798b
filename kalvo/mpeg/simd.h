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

// Lanes picked from a (0-3) and b (4-7).
template <int I, int J, int K, int L>
inline Float4 shuffle4(Float4 a, Float4 b) {
    return __builtin_shufflevector(a, b, I, J, K, L);
}

inline Float4 reverse4(Float4 v) {
    return shuffle4<3, 2, 1, 0>(v, v);
}

} // namespace kalvo
