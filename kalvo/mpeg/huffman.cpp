#include "kalvo/mpeg/huffman.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace kalvo {

namespace {

// Code tables of the standard: (x, y) row by row, each entry the code and
// its length in bits.
const uint16_t codes1[] = {
    1,
    1,
    1,
    0,
};
const uint8_t lengths1[] = {
    1,
    3,
    2,
    3,
};

const uint16_t codes2[] = {
    1, 2, 1, 3, 1, 1, 3, 2, 0,
};
const uint8_t lengths2[] = {
    1, 3, 6, 3, 3, 5, 5, 5, 6,
};

const uint16_t codes3[] = {
    3, 2, 1, 1, 1, 1, 3, 2, 0,
};
const uint8_t lengths3[] = {
    2, 2, 6, 3, 2, 5, 5, 5, 6,
};

const uint16_t codes5[] = {
    1, 2, 6, 5, 3, 1, 4, 4, 7, 5, 7, 1, 6, 1, 1, 0,
};
const uint8_t lengths5[] = {
    1, 3, 6, 7, 3, 3, 6, 7, 6, 6, 7, 8, 7, 6, 7, 8,
};

const uint16_t codes6[] = {
    7, 3, 5, 1, 6, 2, 3, 2, 5, 4, 4, 1, 3, 3, 2, 0,
};
const uint8_t lengths6[] = {
    3, 3, 5, 7, 3, 2, 4, 5, 4, 4, 5, 6, 6, 5, 6, 7,
};

const uint16_t codes7[] = {
    1,  2,  10, 19, 16, 10, 3, 3, 7, 10, 5, 3, 11, 4, 13, 17, 8, 4,
    12, 11, 18, 15, 11, 2,  7, 6, 9, 14, 3, 1, 6,  4, 5,  3,  2, 0,
};
const uint8_t lengths7[] = {
    1, 3, 6, 8, 8, 9, 3, 4, 6, 7, 7, 8,  6, 5, 7, 8,  8,  9,
    7, 7, 8, 9, 9, 9, 7, 7, 8, 9, 9, 10, 8, 8, 9, 10, 10, 10,
};

const uint16_t codes8[] = {
    3,  4,  6,  18, 12, 5, 5,  1, 2, 16, 9, 3, 7,  3, 5, 14, 7, 3,
    19, 17, 15, 13, 10, 4, 13, 5, 8, 11, 5, 1, 12, 4, 4, 1,  1, 0,
};
const uint8_t lengths8[] = {
    2, 3, 6, 8, 8, 9,  3, 2, 4, 8, 8,  8,  6, 4, 6, 8, 8,  9,
    8, 8, 8, 9, 9, 10, 8, 7, 8, 9, 10, 10, 9, 8, 9, 9, 11, 11,
};

const uint16_t codes9[] = {
    7,  5, 9, 14, 15, 7, 6,  4, 5, 5, 6, 7, 7,  6, 8, 8, 8, 5,
    15, 6, 9, 10, 5,  1, 11, 7, 9, 6, 4, 1, 14, 4, 6, 2, 6, 0,
};
const uint8_t lengths9[] = {
    3, 3, 5, 6, 8, 9, 3, 3, 4, 5, 6, 8, 4, 4, 5, 6, 7, 8,
    6, 5, 6, 7, 7, 8, 7, 6, 7, 7, 8, 9, 8, 7, 8, 8, 9, 9,
};

const uint16_t codes10[] = {
    1,  2,  10, 23, 35, 30, 12, 17, 3,  3, 8,  12, 18, 21, 12, 7,  11, 9, 15, 21, 32, 40,
    19, 6,  14, 13, 22, 34, 46, 23, 18, 7, 20, 19, 33, 47, 27, 22, 9,  3, 31, 22, 41, 26,
    21, 20, 5,  3,  14, 13, 10, 11, 16, 6, 5,  1,  9,  8,  7,  8,  4,  4, 2,  0,
};
const uint8_t lengths10[] = {
    1,  3,  6,  8,  9, 9, 9,  10, 3,  4,  6,  7,  8, 9,  8,  8,  6,  6,  7,  8,  9,  10,
    9,  9,  7,  7,  8, 9, 10, 10, 9,  10, 8,  8,  9, 10, 10, 10, 10, 10, 9,  9,  10, 10,
    11, 11, 10, 11, 8, 8, 9,  10, 10, 10, 11, 11, 9, 8,  9,  10, 10, 11, 11, 11,
};

const uint16_t codes11[] = {
    3,  4,  10, 24, 34, 33, 21, 15, 5,  3, 4,  10, 32, 17, 11, 10, 11, 7, 13, 18, 30, 31,
    20, 5,  25, 11, 19, 59, 27, 18, 12, 5, 35, 33, 31, 58, 30, 16, 7,  5, 28, 26, 32, 19,
    17, 15, 8,  14, 14, 12, 9,  13, 14, 9, 4,  1,  11, 4,  6,  6,  6,  3, 2,  0,
};
const uint8_t lengths11[] = {
    2,  3,  5,  7,  8, 9, 8, 9,  3, 3,  4,  6,  8, 8, 7, 8,  5,  5,  6,  7,  8, 9,
    8,  8,  7,  6,  7, 9, 8, 10, 8, 9,  8,  8,  8, 9, 9, 10, 9,  10, 8,  8,  9, 10,
    10, 11, 10, 11, 8, 7, 7, 8,  9, 10, 10, 10, 8, 7, 8, 9,  10, 10, 10, 10,
};

const uint16_t codes12[] = {
    9,  6,  16, 33, 41, 39, 38, 26, 7,  5, 6,  9,  23, 16, 26, 11, 17, 7, 11, 14, 21, 30,
    10, 7,  17, 10, 15, 12, 18, 28, 14, 5, 32, 13, 22, 19, 18, 16, 9,  5, 40, 17, 31, 29,
    17, 13, 4,  2,  27, 12, 11, 15, 10, 7, 4,  1,  27, 12, 8,  12, 6,  3, 1,  0,
};
const uint8_t lengths12[] = {
    4, 3, 5, 7, 8, 9, 9, 9, 3, 3, 4, 5,  7, 7, 8, 8, 5, 4, 5, 6,  7, 8,
    7, 8, 6, 5, 6, 6, 7, 8, 8, 8, 7, 6,  7, 7, 8, 8, 8, 9, 8, 7,  8, 8,
    8, 9, 8, 9, 8, 7, 7, 8, 8, 9, 9, 10, 9, 8, 8, 9, 9, 9, 9, 10,
};

const uint16_t codes13[] = {
    1,  5,  14, 21, 34,  51, 46, 71, 42, 52, 68, 52, 67,  44, 43, 19, 3,  4,  12, 19, 31, 26,
    44, 33, 31, 24, 32,  24, 31, 35, 22, 14, 15, 13, 23,  36, 59, 49, 77, 65, 29, 40, 30, 40,
    27, 33, 42, 16, 22,  20, 37, 61, 56, 79, 73, 64, 43,  76, 56, 37, 26, 31, 25, 14, 35, 16,
    60, 57, 97, 75, 114, 91, 54, 73, 55, 41, 48, 53, 23,  24, 58, 27, 50, 96, 76, 70, 93, 84,
    77, 58, 79, 29, 74,  49, 41, 17, 47, 45, 78, 74, 115, 94, 90, 79, 69, 83, 71, 50, 59, 38,
    36, 15, 72, 34, 56,  95, 92, 85, 91, 90, 86, 73, 77,  65, 51, 44, 43, 42, 43, 20, 30, 44,
    55, 78, 72, 87, 78,  61, 46, 54, 37, 30, 20, 16, 53,  25, 41, 37, 44, 59, 54, 81, 66, 76,
    57, 54, 37, 18, 39,  11, 35, 33, 31, 57, 42, 82, 72,  80, 47, 58, 55, 21, 22, 26, 38, 22,
    53, 25, 23, 38, 70,  60, 51, 36, 55, 26, 34, 23, 27,  14, 9,  7,  34, 32, 28, 39, 49, 75,
    30, 52, 48, 40, 52,  28, 18, 17, 9,  5,  45, 21, 34,  64, 56, 50, 49, 45, 31, 19, 12, 15,
    10, 7,  6,  3,  48,  23, 20, 39, 36, 35, 53, 21, 16,  23, 13, 10, 6,  1,  4,  2,  16, 15,
    17, 27, 25, 20, 29,  11, 17, 12, 16, 8,  1,  1,  0,   1,
};
const uint8_t lengths13[] = {
    1,  4,  6,  7,  8,  9,  9,  10, 9,  10, 11, 11, 12, 12, 13, 13, 3,  4,  6,  7,  8,  8,  9,  9,
    9,  9,  10, 10, 11, 12, 12, 12, 6,  6,  7,  8,  9,  9,  10, 10, 9,  10, 10, 11, 11, 12, 13, 13,
    7,  7,  8,  9,  9,  10, 10, 10, 10, 11, 11, 11, 11, 12, 13, 13, 8,  7,  9,  9,  10, 10, 11, 11,
    10, 11, 11, 12, 12, 13, 13, 14, 9,  8,  9,  10, 10, 10, 11, 11, 11, 11, 12, 11, 13, 13, 14, 14,
    9,  9,  10, 10, 11, 11, 11, 11, 11, 12, 12, 12, 13, 13, 14, 14, 10, 9,  10, 11, 11, 11, 12, 12,
    12, 12, 13, 13, 13, 14, 16, 16, 9,  8,  9,  10, 10, 11, 11, 12, 12, 12, 12, 13, 13, 14, 15, 15,
    10, 9,  10, 10, 11, 11, 11, 13, 12, 13, 13, 14, 14, 14, 16, 15, 10, 10, 10, 11, 11, 12, 12, 13,
    12, 13, 14, 13, 14, 15, 16, 17, 11, 10, 10, 11, 12, 12, 12, 12, 13, 13, 13, 14, 15, 15, 15, 16,
    11, 11, 11, 12, 12, 13, 12, 13, 14, 14, 15, 15, 15, 16, 16, 16, 12, 11, 12, 13, 13, 13, 14, 14,
    14, 14, 14, 15, 16, 15, 16, 16, 13, 12, 12, 13, 13, 13, 15, 14, 14, 17, 15, 15, 15, 17, 16, 16,
    12, 12, 13, 14, 14, 14, 15, 14, 15, 15, 16, 16, 19, 18, 19, 16,
};

const uint16_t codes15[] = {
    7,   12, 18, 53, 47,  76, 124, 108, 89, 123, 108, 119, 107, 81,  122, 63, 13,  5,  16, 27,
    46,  36, 61, 51, 42,  70, 52,  83,  65, 41,  59,  36,  19,  17,  15,  24, 41,  34, 59, 48,
    40,  64, 50, 78, 62,  80, 56,  33,  29, 28,  25,  43,  39,  63,  55,  93, 76,  59, 93, 72,
    54,  75, 50, 29, 52,  22, 42,  40,  67, 57,  95,  79,  72,  57,  89,  69, 49,  66, 46, 27,
    77,  37, 35, 66, 58,  52, 91,  74,  62, 48,  79,  63,  90,  62,  40,  38, 125, 32, 60, 56,
    50,  92, 78, 65, 55,  87, 71,  51,  73, 51,  70,  30,  109, 53,  49,  94, 88,  75, 66, 122,
    91,  73, 56, 42, 64,  44, 21,  25,  90, 43,  41,  77,  73,  63,  56,  92, 77,  66, 47, 67,
    48,  53, 36, 20, 71,  34, 67,  60,  58, 49,  88,  76,  67,  106, 71,  54, 38,  39, 23, 15,
    109, 53, 51, 47, 90,  82, 58,  57,  48, 72,  57,  41,  23,  27,  62,  9,  86,  42, 40, 37,
    70,  64, 52, 43, 70,  55, 42,  25,  29, 18,  11,  11,  118, 68,  30,  55, 50,  46, 74, 65,
    49,  39, 24, 16, 22,  13, 14,  7,   91, 44,  39,  38,  34,  63,  52,  45, 31,  52, 28, 19,
    14,  8,  9,  3,  123, 60, 58,  53,  47, 43,  32,  22,  37,  24,  17,  12, 15,  10, 2,  1,
    71,  37, 34, 30, 28,  20, 17,  26,  21, 16,  10,  6,   8,   6,   2,   0,
};
const uint8_t lengths15[] = {
    3,  4,  5,  7,  7,  8,  9,  9,  9,  10, 10, 11, 11, 11, 12, 13, 4,  3,  5,  6,  7,  7,  8,  8,
    8,  9,  9,  10, 10, 10, 11, 11, 5,  5,  5,  6,  7,  7,  8,  8,  8,  9,  9,  10, 10, 11, 11, 11,
    6,  6,  6,  7,  7,  8,  8,  9,  9,  9,  10, 10, 10, 11, 11, 11, 7,  6,  7,  7,  8,  8,  9,  9,
    9,  9,  10, 10, 10, 11, 11, 11, 8,  7,  7,  8,  8,  8,  9,  9,  9,  9,  10, 10, 11, 11, 11, 12,
    9,  7,  8,  8,  8,  9,  9,  9,  9,  10, 10, 10, 11, 11, 12, 12, 9,  8,  8,  9,  9,  9,  9,  10,
    10, 10, 10, 10, 11, 11, 11, 12, 9,  8,  8,  9,  9,  9,  9,  10, 10, 10, 10, 11, 11, 12, 12, 12,
    9,  8,  9,  9,  9,  9,  10, 10, 10, 11, 11, 11, 11, 12, 12, 12, 10, 9,  9,  9,  10, 10, 10, 10,
    10, 11, 11, 11, 11, 12, 13, 12, 10, 9,  9,  9,  10, 10, 10, 10, 11, 11, 11, 11, 12, 12, 12, 13,
    11, 10, 9,  10, 10, 10, 11, 11, 11, 11, 11, 11, 12, 12, 13, 13, 11, 10, 10, 10, 10, 11, 11, 11,
    11, 12, 12, 12, 12, 12, 13, 13, 12, 11, 11, 11, 11, 11, 11, 11, 12, 12, 12, 12, 13, 13, 12, 13,
    12, 11, 11, 11, 11, 11, 11, 12, 12, 12, 12, 12, 13, 13, 13, 13,
};

const uint16_t codes16[] = {
    1,    5,    14,   44,  74,  63,   110, 93,  172,  149, 138, 242, 225, 195, 376, 17,  3,   4,
    12,   20,   35,   62,  53,  47,   83,  75,  68,   119, 201, 107, 207, 9,   15,  13,  23,  38,
    67,   58,   103,  90,  161, 72,   127, 117, 110,  209, 206, 16,  45,  21,  39,  69,  64,  114,
    99,   87,   158,  140, 252, 212,  199, 387, 365,  26,  75,  36,  68,  65,  115, 101, 179, 164,
    155,  264,  246,  226, 395, 382,  362, 9,   66,   30,  59,  56,  102, 185, 173, 265, 142, 253,
    232,  400,  388,  378, 445, 16,   111, 54,  52,   100, 184, 178, 160, 133, 257, 244, 228, 217,
    385,  366,  715,  10,  98,  48,   91,  88,  165,  157, 148, 261, 248, 407, 397, 372, 380, 889,
    884,  8,    85,   84,  81,  159,  156, 143, 260,  249, 427, 401, 392, 383, 727, 713, 708, 7,
    154,  76,   73,   141, 131, 256,  245, 426, 406,  394, 384, 735, 359, 710, 352, 11,  139, 129,
    67,   125,  247,  233, 229, 219,  393, 743, 737,  720, 885, 882, 439, 4,   243, 120, 118, 115,
    227,  223,  396,  746, 742, 736,  721, 712, 706,  223, 436, 6,   202, 224, 222, 218, 216, 389,
    386,  381,  364,  888, 443, 707,  440, 437, 1728, 4,   747, 211, 210, 208, 370, 379, 734, 723,
    714,  1735, 883,  877, 876, 3459, 865, 2,   377,  369, 102, 187, 726, 722, 358, 711, 709, 866,
    1734, 871,  3458, 870, 434, 0,    12,  10,  7,    11,  10,  17,  11,  9,   13,  12,  10,  7,
    5,    3,    1,    3,
};
const uint8_t lengths16[] = {
    1,  4,  6,  8,  9,  9,  10, 10, 11, 11, 11, 12, 12, 12, 13, 9,  3,  4,  6,  7,  8,  9,  9,  9,
    10, 10, 10, 11, 12, 11, 12, 8,  6,  6,  7,  8,  9,  9,  10, 10, 11, 10, 11, 11, 11, 12, 12, 9,
    8,  7,  8,  9,  9,  10, 10, 10, 11, 11, 12, 12, 12, 13, 13, 10, 9,  8,  9,  9,  10, 10, 11, 11,
    11, 12, 12, 12, 13, 13, 13, 9,  9,  8,  9,  9,  10, 11, 11, 12, 11, 12, 12, 13, 13, 13, 14, 10,
    10, 9,  9,  10, 11, 11, 11, 11, 12, 12, 12, 12, 13, 13, 14, 10, 10, 9,  10, 10, 11, 11, 11, 12,
    12, 13, 13, 13, 13, 15, 15, 10, 10, 10, 10, 11, 11, 11, 12, 12, 13, 13, 13, 13, 14, 14, 14, 10,
    11, 10, 10, 11, 11, 12, 12, 13, 13, 13, 13, 14, 13, 14, 13, 11, 11, 11, 10, 11, 12, 12, 12, 12,
    13, 14, 14, 14, 15, 15, 14, 10, 12, 11, 11, 11, 12, 12, 13, 14, 14, 14, 14, 14, 14, 13, 14, 11,
    12, 12, 12, 12, 12, 13, 13, 13, 13, 15, 14, 14, 14, 14, 16, 11, 14, 12, 12, 12, 13, 13, 14, 14,
    14, 16, 15, 15, 15, 17, 15, 11, 13, 13, 11, 12, 14, 14, 13, 14, 14, 15, 16, 15, 17, 15, 14, 11,
    9,  8,  8,  9,  9,  10, 10, 10, 11, 11, 11, 11, 11, 11, 11, 8,
};

const uint16_t codes24[] = {
    15,  13,  46,  80,  146, 262, 248, 434, 426, 669, 653, 649, 621, 517, 1032, 88,   14,  12,  21,
    38,  71,  130, 122, 216, 209, 198, 327, 345, 319, 297, 279, 42,  47,  22,   41,   74,  68,  128,
    120, 221, 207, 194, 182, 340, 315, 295, 541, 18,  81,  39,  75,  70,  134,  125,  116, 220, 204,
    190, 178, 325, 311, 293, 271, 16,  147, 72,  69,  135, 127, 118, 112, 210,  200,  188, 352, 323,
    306, 285, 540, 14,  263, 66,  129, 126, 119, 114, 214, 202, 192, 180, 341,  317,  301, 281, 262,
    12,  249, 123, 121, 117, 113, 215, 206, 195, 185, 347, 330, 308, 291, 272,  520,  10,  435, 115,
    111, 109, 211, 203, 196, 187, 353, 332, 313, 298, 283, 531, 381, 17,  427,  212,  208, 205, 201,
    193, 186, 177, 169, 320, 303, 286, 268, 514, 377, 16,  335, 199, 197, 191,  189,  181, 174, 333,
    321, 305, 289, 275, 521, 379, 371, 11,  668, 184, 183, 179, 175, 344, 331,  314,  304, 290, 277,
    530, 383, 373, 366, 10,  652, 346, 171, 168, 164, 318, 309, 299, 287, 276,  263,  513, 375, 368,
    362, 6,   648, 322, 316, 312, 307, 302, 292, 284, 269, 261, 512, 376, 370,  364,  359, 4,   620,
    300, 296, 294, 288, 282, 273, 266, 515, 380, 374, 369, 365, 361, 357, 2,    1033, 280, 278, 274,
    267, 264, 259, 382, 378, 372, 367, 363, 360, 358, 356, 0,   43,  20,  19,   17,   15,  13,  11,
    9,   7,   6,   4,   7,   5,   3,   1,   3,
};
const uint8_t lengths24[] = {
    4,  4,  6,  7,  8,  9,  9,  10, 10, 11, 11, 11, 11, 11, 12, 9,  4,  4,  5,  6,  7,  8,  8,  9,
    9,  9,  10, 10, 10, 10, 10, 8,  6,  5,  6,  7,  7,  8,  8,  9,  9,  9,  9,  10, 10, 10, 11, 7,
    7,  6,  7,  7,  8,  8,  8,  9,  9,  9,  9,  10, 10, 10, 10, 7,  8,  7,  7,  8,  8,  8,  8,  9,
    9,  9,  10, 10, 10, 10, 11, 7,  9,  7,  8,  8,  8,  8,  9,  9,  9,  9,  10, 10, 10, 10, 10, 7,
    9,  8,  8,  8,  8,  9,  9,  9,  9,  10, 10, 10, 10, 10, 11, 7,  10, 8,  8,  8,  9,  9,  9,  9,
    10, 10, 10, 10, 10, 11, 11, 8,  10, 9,  9,  9,  9,  9,  9,  9,  9,  10, 10, 10, 10, 11, 11, 8,
    10, 9,  9,  9,  9,  9,  9,  10, 10, 10, 10, 10, 11, 11, 11, 8,  11, 9,  9,  9,  9,  10, 10, 10,
    10, 10, 10, 11, 11, 11, 11, 8,  11, 10, 9,  9,  9,  10, 10, 10, 10, 10, 10, 11, 11, 11, 11, 8,
    11, 10, 10, 10, 10, 10, 10, 10, 10, 10, 11, 11, 11, 11, 11, 8,  11, 10, 10, 10, 10, 10, 10, 10,
    11, 11, 11, 11, 11, 11, 11, 8,  12, 10, 10, 10, 10, 10, 10, 11, 11, 11, 11, 11, 11, 11, 11, 8,
    8,  7,  7,  7,  7,  7,  7,  7,  7,  7,  7,  8,  8,  8,  8,  4,
};

const uint16_t codes32[] = {
    1, 5, 4, 5, 6, 5, 4, 4, 7, 3, 6, 0, 7, 2, 3, 1,
};
const uint8_t lengths32[] = {
    1, 4, 4, 5, 4, 6, 5, 6, 4, 5, 5, 6, 5, 6, 6, 6,
};

const HuffmanCodeTable codeTables[] = {
    {nullptr, nullptr, 0, 0},      {codes1, lengths1, 2, 4},      {codes2, lengths2, 3, 9},
    {codes3, lengths3, 3, 9},      {nullptr, nullptr, 0, 0},      {codes5, lengths5, 4, 16},
    {codes6, lengths6, 4, 16},     {codes7, lengths7, 6, 36},     {codes8, lengths8, 6, 36},
    {codes9, lengths9, 6, 36},     {codes10, lengths10, 8, 64},   {codes11, lengths11, 8, 64},
    {codes12, lengths12, 8, 64},   {codes13, lengths13, 16, 256}, {nullptr, nullptr, 0, 0},
    {codes15, lengths15, 16, 256}, {codes16, lengths16, 16, 256},
};

// Table selects 16-23 share the codes of table 16 and 24-31 those of table
// 24; they differ in the linbits that extend the value 15.
const uint8_t linbitsBySelect[32] = {0, 0, 0, 0, 0, 0, 0,  0,  0, 0, 0, 0, 0, 0, 0,  0,
                                     1, 2, 3, 4, 6, 8, 10, 13, 4, 5, 6, 7, 8, 9, 11, 13};

// Decoding tables: a root table indexed by the next rootBits bits; a leaf
// holds the value (x << 4 | y, or vwxy), flags for x and y being 15 (bits 8
// and 9), the code's length (bits 16-20), and the length plus one sign bit
// per non-zero value (bits 24-29); a node points to a second table for the
// code's remaining bits.
constexpr uint32_t nodeFlag = 0x80000000u;

// Sign bits of a count1 quadruple by its value vwxy, and the lines up to its
// last non-zero one.
constexpr uint8_t signCount[16] = {0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4};
constexpr uint8_t quadrupleLast[16] = {0, 4, 3, 4, 2, 4, 3, 4, 1, 4, 3, 4, 2, 4, 3, 4};
constexpr int rootBits = 10;

struct DecodeTables {
    std::vector<uint32_t> arena;
    uint32_t base[34] = {}; // by code-table number
    int root[34] = {};

    DecodeTables() {
        const int tables[] = {1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 16, 24, 32};
        for (int t : tables) build(t, huffmanCodeTable(t));
    }

    void build(int t, const HuffmanCodeTable& ct) {
        int maxLen = 0;
        for (int i = 0; i < ct.entries; ++i) maxLen = std::max(maxLen, int(ct.lengths[i]));
        int rb = std::min(maxLen, rootBits);
        uint32_t b = uint32_t(arena.size());
        base[t] = b;
        root[t] = rb;
        arena.resize(b + (1u << rb), 0);
        // Second-level sizes: the longest code below each root prefix.
        std::vector<int> subBits(size_t(1) << rb, 0);
        for (int i = 0; i < ct.entries; ++i) {
            int len = ct.lengths[i];
            if (len > rb) {
                uint32_t prefix = ct.codes[i] >> (len - rb);
                subBits[prefix] = std::max(subBits[prefix], len - rb);
            }
        }
        for (uint32_t p = 0; p < subBits.size(); ++p) {
            if (!subBits[p]) continue;
            uint32_t sub = uint32_t(arena.size());
            arena.resize(sub + (1u << subBits[p]), 0);
            arena[b + p] = nodeFlag | uint32_t(subBits[p]) << 24 | sub;
        }
        for (int i = 0; i < ct.entries; ++i) {
            int len = ct.lengths[i];
            uint32_t value = ct.dim == 16 ? uint32_t(i / 16) << 4 | uint32_t(i % 16)
                                          : uint32_t(i / ct.dim) << 4 | uint32_t(i % ct.dim);
            uint32_t x = value >> 4, y = value & 15;
            uint32_t signs = t == 32 ? signCount[y] : uint32_t(x != 0) + uint32_t(y != 0);
            uint32_t leaf = (uint32_t(len) + signs) << 24 | uint32_t(len) << 16 |
                            uint32_t(x == 15) << 8 | uint32_t(y == 15) << 9 | value;
            uint32_t code = ct.codes[i];
            if (len <= rb) {
                uint32_t first = code << (rb - len);
                for (uint32_t k = 0; k < (1u << (rb - len)); ++k) arena[b + first + k] = leaf;
            } else {
                uint32_t node = arena[b + (code >> (len - rb))];
                int sb = int(node >> 24) & 15;
                uint32_t sub = node & 0xFFFFFF;
                int rest = len - rb;
                uint32_t first = (code & ((1u << rest) - 1)) << (sb - rest);
                for (uint32_t k = 0; k < (1u << (sb - rest)); ++k) arena[sub + first + k] = leaf;
            }
        }
    }
};

const DecodeTables& decodeTables() {
    static const DecodeTables tables;
    return tables;
}

// One code of the table at (base, root) from the left-aligned bits w:
// returns the table entry, whose bits 16-20 give the code's length.
inline uint32_t lookup(uint64_t w, const uint32_t* arena, uint32_t base, int root) {
    uint32_t e = arena[base + uint32_t(w >> (64 - root))];
    if (e & nodeFlag) {
        int sb = int(e >> 24) & 15;
        e = arena[(e & 0xFFFFFF) + uint32_t((w << root) >> (64 - sb))];
    }
    return e;
}

// The largest value: 15 plus 13 linbits.
constexpr uint32_t maxValue = 15 + 8191;

struct PowerTable {
    float pow43[maxValue + 1];
    PowerTable() {
        for (uint32_t i = 0; i <= maxValue; ++i) pow43[i] = float(std::pow(double(i), 4.0 / 3.0));
    }
};

const float* pow43() {
    static const PowerTable t;
    return t.pow43;
}

// A bit buffer over the ring: buf holds count valid bits left-aligned (and
// beyond them bits that a refill rewrites unchanged). A refill loads the
// eight bytes at byte, so that at least 56 bits are valid; the load does
// not wait for the code being decoded, which keeps it off the chain from
// one code to the next. Every load stays in the ring and its mirrored tail.
struct BitBuffer {
    const uint8_t* ring;
    uint32_t byteMask;
    uint32_t byte;
    uint64_t buf = 0;
    int count = 0;

    explicit BitBuffer(const BitCursor& c) : ring(c.ring), byteMask(c.byteMask), byte(c.pos >> 3) {
        refill();
        consume(int(c.pos & 7));
    }
    void refill() {
        buf |= loadBigEndian64(ring + (byte & byteMask)) >> count;
        byte += uint32_t(63 - count) >> 3;
        count |= 56;
    }
    void consume(int n) {
        buf <<= n;
        count -= n;
    }
    uint32_t position() const { return byte * 8 - uint32_t(count); }
};

// v with the sign bit s (0 or 1) of its float.
inline float withSign(float v, uint32_t s) {
    uint32_t b;
    std::memcpy(&b, &v, 4);
    b |= s << 31;
    std::memcpy(&v, &b, 4);
    return v;
}

// Extends a value by its linbits (the value 15 only), reads its sign bit
// when it is not 0 and requantises it, taking the bits from w at at (a pair
// takes at most 19 + 2 x 14 bits, within the 56 of a refill).
template <bool Linbits>
inline float finishValue(uint64_t w, int& at, uint32_t v, int linbits, float gain,
                         const float* powers) {
    if constexpr (Linbits) {
        int extra = v == 15 ? linbits : 0;
        v += uint32_t(((w << at) >> (63 - extra)) >> 1);
        at += extra;
    }
    uint32_t nonZero = v != 0;
    uint32_t sign = uint32_t((w << at) >> 63) & nonZero;
    at += int(nonZero);
    return withSign(powers[v] * gain, sign);
}

// The pairs of lines [i, end) of one region with one code table.
template <bool Linbits>
void decodePairs(BitBuffer& b, const uint32_t* arena, uint32_t base, int root, int linbits,
                 uint32_t i, uint32_t end, const float* gains, float* lines, uint32_t& last) {
    const float* powers = pow43();
    for (; i < end; i += 2) {
        b.refill();
        uint64_t w = b.buf;
        uint32_t e = lookup(w, arena, base, root);
        // The bits the pair takes follow from the entry alone, so the next
        // lookup need not wait for the values.
        int used = int(e >> 24) & 63;
        if constexpr (Linbits) used += int((e >> 8 & 1) + (e >> 9 & 1)) * linbits;
        b.consume(used);
        uint32_t x = (e >> 4) & 15, y = e & 15;
        int at = int(e >> 16) & 31;
        float gain = gains[i]; // a pair never straddles a band: the borders are even
        lines[i] = finishValue<Linbits>(w, at, x, linbits, gain, powers);
        lines[i + 1] = finishValue<Linbits>(w, at, y, linbits, gain, powers);
        uint32_t through = y ? i + 2 : i + 1;
        last = (x | y) ? through : last;
    }
}

} // namespace

HuffmanCodeTable huffmanCodeTable(int t) {
    if (t == 24) return {codes24, lengths24, 16, 256};
    if (t == 32) return {codes32, lengths32, 16, 16};
    if (t < 0 || t > 16) return {nullptr, nullptr, 0, 0};
    return codeTables[t];
}

uint32_t decodeHuffman(BitCursor& c, uint32_t end, const HuffmanRegions& r, const float gains[576],
                       float lines[576]) {
    const DecodeTables& dt = decodeTables();
    const uint32_t* arena = dt.arena.data();
    BitBuffer b(c);
    uint32_t bigEnd = std::min(r.bigValues * 2, 576u);
    uint32_t i = 0;
    uint32_t last = 0; // one past the last non-zero line
    for (int region = 0; region < 3; ++region) {
        uint32_t regionEnd = region == 0 ? r.region1Start : region == 1 ? r.region2Start : 576;
        regionEnd = std::min(regionEnd, bigEnd);
        if (i >= regionEnd) continue;
        uint32_t sel = r.tableSelect[region] & 31;
        int t = sel >= 24 ? 24 : sel >= 16 ? 16 : int(sel);
        if (t == 0 || t == 4 || t == 14) {
            for (; i < regionEnd; ++i) lines[i] = 0.0f;
            continue;
        }
        // Pairs never straddle a region border: the borders are even.
        int linbits = linbitsBySelect[sel];
        if (linbits)
            decodePairs<true>(b, arena, dt.base[t], dt.root[t], linbits, i, regionEnd, gains, lines,
                              last);
        else
            decodePairs<false>(b, arena, dt.base[t], dt.root[t], 0, i, regionEnd, gains, lines,
                               last);
        i = regionEnd;
    }
    i = bigEnd;

    uint32_t base = dt.base[32];
    int root = dt.root[32];
    int32_t left = int32_t(end - b.position());
    while (i <= 572 && left > 0) {
        b.refill();
        uint64_t w = b.buf;
        uint32_t vwxy;
        int at, used;
        if (!r.count1Table) {
            uint32_t e = lookup(w, arena, base, root);
            vwxy = e & 15;
            at = int(e >> 16) & 31;
            used = int(e >> 24) & 63;
        } else {
            vwxy = 15 - uint32_t(w >> 60);
            at = 4;
            used = 4 + signCount[vwxy];
        }
        b.consume(used);
        left -= used;
        if (left < 0) break; // ran past the granule's bits: dropped
        // Each non-zero value is +-gain and takes the next sign bit.
        // Quadruples start at even lines, so lines i + 2 and i + 3 share a band.
        uint64_t signs = w << at;
        for (int k = 0; k < 4; ++k) {
            uint32_t nonZero = (vwxy >> (3 - k)) & 1;
            uint32_t g;
            std::memcpy(&g, gains + i + (k & 2), 4);
            g = (g & (0u - nonZero)) | (uint32_t(signs >> 63) & nonZero) << 31;
            signs <<= nonZero;
            std::memcpy(lines + i + k, &g, 4);
        }
        last = vwxy ? i + quadrupleLast[vwxy] : last;
        i += 4;
    }
    for (; i < 576; ++i) lines[i] = 0.0f;
    c.pos = b.position();
    return last;
}

} // namespace kalvo
