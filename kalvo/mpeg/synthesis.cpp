#include "kalvo/mpeg/synthesis.h"

#include "kalvo/mpeg/simd.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace kalvo {

namespace {

constexpr double pi = 3.14159265358979323846;

// The first half of the prototype filter behind the standard's synthesis
// window, in units of 2^-16 (D[i] is this value with the sign flipped in
// every other run of 64 coefficients, mirrored about D[256]).
const int32_t prototype[257] = {
    0,     -1,    -1,    -1,    -1,    -1,    -1,    -2,    -2,    -2,    -2,    -3,    -3,
    -4,    -4,    -5,    -5,    -6,    -7,    -7,    -8,    -9,    -10,   -11,   -13,   -14,
    -16,   -17,   -19,   -21,   -24,   -26,   -29,   -31,   -35,   -38,   -41,   -45,   -49,
    -53,   -58,   -63,   -68,   -73,   -79,   -85,   -91,   -97,   -104,  -111,  -117,  -125,
    -132,  -139,  -147,  -154,  -161,  -169,  -176,  -183,  -190,  -196,  -202,  -208,  -213,
    -218,  -222,  -225,  -227,  -228,  -228,  -227,  -224,  -221,  -215,  -208,  -200,  -189,
    -177,  -163,  -146,  -127,  -106,  -83,   -57,   -29,   2,     36,    72,    111,   153,
    197,   244,   294,   347,   401,   459,   519,   581,   645,   711,   779,   848,   919,
    991,   1064,  1137,  1210,  1283,  1356,  1428,  1498,  1567,  1634,  1698,  1759,  1817,
    1870,  1919,  1962,  2001,  2032,  2057,  2075,  2085,  2087,  2080,  2063,  2037,  2000,
    1952,  1893,  1822,  1739,  1644,  1535,  1414,  1280,  1131,  970,   794,   605,   402,
    185,   -45,   -288,  -545,  -814,  -1095, -1388, -1692, -2006, -2330, -2663, -3004, -3351,
    -3705, -4063, -4425, -4788, -5153, -5517, -5879, -6237, -6589, -6935, -7271, -7597, -7910,
    -8209, -8491, -8755, -8998, -9219, -9416, -9585, -9727, -9838, -9916, -9959, -9966, -9935,
    -9863, -9750, -9592, -9389, -9139, -8840, -8492, -8092, -7640, -7134, -6574, -5959, -5288,
    -4561, -3776, -2935, -2037, -1082, -70,   998,   2122,  3300,  4533,  5818,  7154,  8540,
    9975,  11455, 12980, 14548, 16155, 17799, 19478, 21189, 22929, 24694, 26482, 28289, 30112,
    31947, 33791, 35640, 37489, 39336, 41176, 43006, 44821, 46617, 48390, 50137, 51853, 53534,
    55178, 56778, 58333, 59838, 61289, 62684, 64019, 65290, 66494, 67629, 68692, 69679, 70590,
    71420, 72169, 72835, 73415, 73908, 74313, 74630, 74856, 74992, 75038,
};

// 0.5 / cos(pi (2i + 1) / 2n) for the transform's odd half at each size n.
struct DctFactors {
    float f[64]; // size n at f[n .. 3n/2)
    DctFactors() {
        for (int n = 2; n <= 32; n *= 2)
            for (int i = 0; i < n / 2; ++i)
                f[n + i] = float(0.5 / std::cos(pi * (2 * i + 1) / (2.0 * n)));
    }
};

// Per rate (full, half, quarter) and window (standard, shortened): the
// coefficients in the order the sums use them, [product m][sample j], scaled
// to 16-bit PCM.
struct SynthesisTables {
    float windows[3][2][16 * 32];
    DctFactors dct;

    SynthesisTables() {
        for (int ds = 0; ds < 3; ++ds) {
            int n = 32 >> ds;
            for (int m = 0; m < 16; ++m)
                for (int j = 0; j < n; ++j) {
                    float d = float(synthesisWindow((32 / n) * (n * m + j)) * 32768.0);
                    windows[ds][0][m * n + j] = d;
                    // The shortened window keeps the inner 12 products.
                    bool inner = m >= 2 && m < 14 && !(m == 2 && j == 0);
                    windows[ds][1][m * n + j] = inner ? d : 0.0f;
                }
        }
    }
};

const SynthesisTables& tables() {
    static const SynthesisTables t;
    return t;
}

// DCT-II, X[k] = sum x[i] cos(pi k (2i + 1) / 2n), by even/odd splitting;
// T is a float or four of them (four time slots at once).
template <int N, typename T>
[[gnu::always_inline]] inline void dct2(const T* x, T* X, const DctFactors& f) {
    if constexpr (N == 1) {
        X[0] = x[0];
    } else {
        T a[N / 2], b[N / 2], ea[N / 2], eb[N / 2];
#pragma GCC unroll 16
        for (int i = 0; i < N / 2; ++i) {
            a[i] = x[i] + x[N - 1 - i];
            b[i] = (x[i] - x[N - 1 - i]) * f.f[N + i];
        }
        dct2<N / 2>(a, ea, f);
        dct2<N / 2>(b, eb, f);
#pragma GCC unroll 16
        for (int i = 0; i < N / 2 - 1; ++i) {
            X[2 * i] = ea[i];
            X[2 * i + 1] = eb[i] + eb[i + 1];
        }
        X[N - 2] = ea[N / 2 - 1];
        X[N - 1] = eb[N / 2 - 1];
    }
}

// Four rows of four values turned into four columns.
inline void transpose4(Float4& a, Float4& b, Float4& c, Float4& d) {
    Float4 ab0 = shuffle4<0, 4, 1, 5>(a, b), ab2 = shuffle4<2, 6, 3, 7>(a, b);
    Float4 cd0 = shuffle4<0, 4, 1, 5>(c, d), cd2 = shuffle4<2, 6, 3, 7>(c, d);
    a = shuffle4<0, 1, 4, 5>(ab0, cd0);
    b = shuffle4<2, 3, 6, 7>(ab0, cd0);
    c = shuffle4<0, 1, 4, 5>(ab2, cd2);
    d = shuffle4<2, 3, 6, 7>(ab2, cd2);
}

// The matrixing step of four time slots at once (lane l is slot first + l):
// the 2N values of each slot, from the N-point DCT-II, into the slots'
// history rows. The last group of a granule has two slots; its two unused
// lanes land in rows that are overwritten before any sum reads them.
template <int N>
void matrix4(const float (*in)[20], int first, float (*history)[64], const int* rows,
             const DctFactors& f) {
    float *row0 = history[rows[0]], *row1 = history[rows[1]];
    float *row2 = history[rows[2]], *row3 = history[rows[3]];
    Float4 x[N], X[N], v[2 * N];
#pragma GCC unroll 32
    for (int k = 0; k < N; ++k) x[k] = load4(in[k] + first);
    dct2<N>(x, X, f);
#pragma GCC unroll 16
    for (int p = 0; p < N / 2; ++p) v[p] = X[N / 2 + p];
    v[N / 2] = Float4{};
#pragma GCC unroll 32
    for (int p = N / 2 + 1; p < 3 * N / 2; ++p) v[p] = -X[3 * N / 2 - p];
#pragma GCC unroll 16
    for (int p = 3 * N / 2; p < 2 * N; ++p) v[p] = -X[p - 3 * N / 2];
#pragma GCC unroll 16
    for (int p = 0; p < 2 * N; p += 4) {
        Float4 a = v[p], b = v[p + 1], c = v[p + 2], d = v[p + 3];
        transpose4(a, b, c, d);
        store4(row0 + p, a);
        store4(row1 + p, b);
        store4(row2 + p, c);
        store4(row3 + p, d);
    }
}

// Each output sample sums 16 products of history and window; the samples
// are computed four at a time.
template <int N>
void window(const float (*history)[64], int row, const float* w, int mFirst, int mEnd, float* out) {
    Float4 acc[N / 4] = {};
    for (int m = mFirst; m < mEnd; ++m) {
        const float* h = history[(row + m) & (Synthesis::historySlots - 1)] + (m & 1) * N;
        const float* c = w + m * N;
#pragma GCC unroll 8
        for (int j = 0; j < N / 4; ++j) acc[j] += load4(h + 4 * j) * load4(c + 4 * j);
    }
    for (int j = 0; j < N / 4; ++j) store4(out + 4 * j, acc[j]);
}

template <int N>
void synthesize(const float (*in)[20], float (*history)[64], int& slot, const float* w,
                bool shortened, float (*out)[32], const DctFactors& f) {
    int mFirst = shortened ? 2 : 0, mEnd = shortened ? 14 : 16;
    for (int s = 0; s < 18; s += 4) {
        int count = s + 4 <= 18 ? 4 : 18 - s;
        int rows[4];
        for (int l = 0; l < 4; ++l) rows[l] = (slot - 1 - l) & (Synthesis::historySlots - 1);
        matrix4<N>(in, s, history, rows, f);
        for (int l = 0; l < count; ++l) window<N>(history, rows[l], w, mFirst, mEnd, out[s + l]);
        slot = (slot - count) & (Synthesis::historySlots - 1);
    }
}

} // namespace

double synthesisWindow(int i) {
    int k = i <= 256 ? i : 512 - i;
    double v = prototype[k] / 65536.0;
    return ((i >> 6) & 1) ? -v : v;
}

namespace {

typedef int32_t Int4 __attribute__((vector_size(16)));
typedef uint32_t UInt4 __attribute__((vector_size(16)));
typedef int16_t Short8 __attribute__((vector_size(16)));

// Adding and taking away 1.5 x 2^23 leaves a float without fraction bits.
inline Int4 roundClip(Float4 v) {
    const Float4 lo = {-32768.0f, -32768.0f, -32768.0f, -32768.0f};
    const Float4 hi = {32767.0f, 32767.0f, 32767.0f, 32767.0f};
    const Float4 magic = {12582912.0f, 12582912.0f, 12582912.0f, 12582912.0f};
    v = v > lo ? v : lo; // also takes a NaN to the floor
    v = v < hi ? v : hi;
    return __builtin_convertvector((v + magic) - magic, Int4);
}

} // namespace

void toPcm16(const float* left, const float* right, int n, uint8_t* out) {
    constexpr bool little = std::endian::native == std::endian::little;
    if (right) {
        // Both samples of a frame in one 32-bit lane.
        for (int j = 0; j < n; j += 4) {
            UInt4 l = UInt4(roundClip(load4(left + j))) & 0xFFFF;
            UInt4 r = UInt4(roundClip(load4(right + j))) & 0xFFFF;
            UInt4 frames = little ? l | r << 16 : l << 16 | r;
            std::memcpy(out + 4 * j, &frames, 16);
        }
        return;
    }
    for (int j = 0; j < n; j += 8) {
        Short8 a = Short8(roundClip(load4(left + j))), b = Short8(roundClip(load4(left + j + 4)));
        // The low half of each 32-bit lane.
        Short8 s = little ? __builtin_shufflevector(a, b, 0, 2, 4, 6, 8, 10, 12, 14)
                          : __builtin_shufflevector(a, b, 1, 3, 5, 7, 9, 11, 13, 15);
        std::memcpy(out + 2 * j, &s, 16);
    }
}

void toPcm8(const float* left, const float* right, int n, uint8_t* out) {
    int channels = right ? 2 : 1;
    for (int ch = 0; ch < channels; ++ch) {
        const float* in = ch ? right : left;
        for (int j = 0; j < n; j += 4) {
            Int4 r = roundClip(load4(in + j));
            for (int l = 0; l < 4; ++l) out[(j + l) * channels + ch] = uint8_t((r[l] + 32768) >> 8);
        }
    }
}

void Synthesis::reset() {
    std::memset(history_, 0, sizeof history_);
    slot_ = 0;
}

void Synthesis::granule(const float (*in)[20], int downsample, bool shortened, float (*out)[32]) {
    const SynthesisTables& t = tables();
    const float* w = t.windows[downsample][shortened ? 1 : 0];
    switch (downsample) {
    case 0: synthesize<32>(in, history_, slot_, w, shortened, out, t.dct); break;
    case 1: synthesize<16>(in, history_, slot_, w, shortened, out, t.dct); break;
    default: synthesize<8>(in, history_, slot_, w, shortened, out, t.dct); break;
    }
}

} // namespace kalvo
