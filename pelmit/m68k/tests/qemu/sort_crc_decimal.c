// Compiled code of the kinds that replay routines are made of: sorting,
// checksums and decimal counters. The results go to the data area that the
// harness compares.
typedef unsigned char u8;
typedef unsigned short u16;
typedef unsigned int u32;
typedef int s32;

extern u8 data_start[];

u32 seed = 0x2545F491;

static u32 next(void) {
    seed = seed * 1103515245u + 12345u; // MULU-built product through libgcc
    return seed >> 8;
}

// Shell sort of signed longs, then an insertion sort of words.
static void sortLongs(s32* v, int n) {
    for (int gap = n / 2; gap > 0; gap /= 2)
        for (int i = gap; i < n; ++i) {
            s32 t = v[i];
            int j = i;
            for (; j >= gap && v[j - gap] > t; j -= gap) v[j] = v[j - gap];
            v[j] = t;
        }
}

static void sortWords(u16* v, int n) {
    for (int i = 1; i < n; ++i) {
        u16 t = v[i];
        int j = i - 1;
        for (; j >= 0 && v[j] > t; --j) v[j + 1] = v[j];
        v[j + 1] = t;
    }
}

// Bitwise CRC-32 (reflected) and CRC-16/CCITT (not reflected).
static u32 crc32(const u8* p, int n) {
    u32 crc = 0xFFFFFFFFu;
    while (n--) {
        crc ^= *p++;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & -(crc & 1));
    }
    return ~crc;
}

static u16 crc16(const u8* p, int n) {
    u16 crc = 0xFFFF;
    while (n--) {
        crc ^= (u16)(*p++ << 8);
        for (int k = 0; k < 8; ++k) crc = (u16)(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    return crc;
}

// What is left after a quotient; kept apart so that the compiler does not
// turn it into a remainder, whose libgcc helper is not 68000 code.
__attribute__((noinline)) static u32 leftOver(u32 value, u32 quotient, u32 divisor) {
    return value - quotient * divisor;
}

// Packed decimal of a binary number, by division by ten.
static u32 toDecimal(u32 value) {
    u32 packed = 0;
    for (int shift = 0; shift < 32 && value; shift += 4) {
        u32 quotient = value / 10;
        packed |= leftOver(value, quotient, 10) << shift;
        value = quotient;
    }
    return packed;
}

// Adds two four-byte decimal strings with ABCD -(Ay),-(Ax), the way a score
// counter does; returns X after the top byte.
static u32 addDecimal(u8* to, const u8* from) {
    u32 x;
    __asm__ volatile("and.b #0xEF,%%ccr\n\t"
                     "abcd -(%1),-(%0)\n\t"
                     "abcd -(%1),-(%0)\n\t"
                     "abcd -(%1),-(%0)\n\t"
                     "abcd -(%1),-(%0)\n\t"
                     "scs %2\n\t"
                     "and.l #1,%2"
                     : "+a"(to), "+a"(from), "=d"(x)
                     :
                     : "cc", "memory");
    return x;
}

void testMain(void) {
    s32 longs[32];
    u16 words[32];
    u8 bytes[64];
    for (int i = 0; i < 32; ++i) {
        longs[i] = (s32)(next() ^ (next() << 16));
        words[i] = (u16)next();
    }
    for (int i = 0; i < 64; ++i) bytes[i] = (u8)next();
    sortLongs(longs, 32);
    sortWords(words, 32);

    u32* out = (u32*)data_start;
    for (int i = 0; i < 32; i += 4) *out++ = (u32)longs[i];
    for (int i = 0; i < 32; i += 8) *out++ = (u32)words[i] << 16 | words[i + 1];
    *out++ = crc32(bytes, 64);
    *out++ = crc16(bytes, 64);
    *out++ = crc32((const u8*)longs, sizeof longs);

    u8 score[4] = {0x00, 0x09, 0x99, 0x95};
    static const u8 step[4] = {0x00, 0x00, 0x00, 0x07};
    u32 carries = 0;
    for (int i = 0; i < 30; ++i) carries += addDecimal(score + 4, step + 4);
    u8 big[4] = {0x99, 0x99, 0x99, 0x99};
    carries = carries << 8 | addDecimal(big + 4, step + 4);
    *out++ = (u32)score[0] << 24 | score[1] << 16 | score[2] << 8 | score[3];
    *out++ = (u32)big[0] << 24 | big[1] << 16 | big[2] << 8 | big[3];
    *out++ = carries;
    *out++ = toDecimal(12345678u);
    *out++ = toDecimal(leftOver(seed, seed / 100000000u, 100000000u));
}
