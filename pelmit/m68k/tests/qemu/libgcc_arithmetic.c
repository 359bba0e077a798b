// Multiplication and division of 32-bit numbers through libgcc's helpers
// (__mulsi3, __udivsi3), over operands at the edges of their ranges, and a
// 32 x 32 -> 64-bit product from MULU.W pieces. The installed libgcc's other
// helpers (signed division, remainders, 64-bit operations) are 68020 code,
// so signs and remainders are handled around the unsigned quotient here.
typedef unsigned short u16;
typedef unsigned int u32;
typedef int s32;

extern unsigned char data_start[];

u32 operands[] = {0x00000001, 0x00000007, 0x0000FFFF, 0x00010000, 0x7FFFFFFF,
                  0x80000001, 0xFFFFFFFF, 0x12345678, 0xFEDCBA98, 0x0000000A};
enum { count = sizeof operands / sizeof operands[0] };

static u32 mix(u32 h, u32 v) {
    return (h ^ v) * 0x01000193u;
}

// Kept apart so that the compiler does not turn it into a remainder.
__attribute__((noinline)) static u32 leftOver(u32 value, u32 quotient, u32 divisor) {
    return value - quotient * divisor;
}

// Signed division truncating toward zero, by the unsigned helper.
static s32 divideSigned(s32 a, s32 b) {
    u32 q = (a < 0 ? 0u - (u32)a : (u32)a) / (b < 0 ? 0u - (u32)b : (u32)b);
    return (s32)((a < 0) != (b < 0) ? 0u - q : q);
}

// The high long of a * b, from four 16 x 16-bit products.
static u32 productHigh(u32 a, u32 b) {
    u32 low = (u32)(u16)a * (u16)b, cross1 = (a >> 16) * (u16)b, cross2 = (u16)a * (b >> 16);
    u32 middle = (low >> 16) + (u16)cross1 + (u16)cross2;
    return (a >> 16) * (b >> 16) + (cross1 >> 16) + (cross2 >> 16) + (middle >> 16);
}

void testMain(void) {
    u32 hProduct = 0x811C9DC5u, hUnsigned = 0x811C9DC5u, hSigned = 0x811C9DC5u;
    for (int i = 0; i < count; ++i)
        for (int j = 0; j < count; ++j) {
            u32 a = operands[i], b = operands[j];
            hProduct = mix(mix(hProduct, a * b), productHigh(a, b));
            u32 q = a / b;
            hUnsigned = mix(mix(hUnsigned, q), leftOver(a, q, b));
            s32 sq = divideSigned((s32)a, (s32)b);
            hSigned = mix(mix(hSigned, (u32)sq), leftOver(a, (u32)sq, b));
        }
    u32* out = (u32*)data_start;
    *out++ = hProduct;
    *out++ = hUnsigned;
    *out++ = hSigned;
    // A few raw values, so that a mismatch shows which helper it is in.
    *out++ = operands[7] * operands[8];
    *out++ = productHigh(operands[7], operands[8]);
    *out++ = operands[8] / operands[9];
    *out++ = (u32)divideSigned((s32)operands[8], (s32)operands[9]);
    *out++ = (u32)divideSigned((s32)operands[5], (s32)operands[6]);
}
