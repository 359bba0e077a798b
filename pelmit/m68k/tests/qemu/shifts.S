| Shifts and rotates of registers by immediate counts and by register counts
| (0, below the width, the width and beyond, up to 63) and of memory words.
    .include "harness.inc"
    .include "keep.inc"
    .macro SHIFTS count
    KEEP "asl.b \count,%d5"
    KEEP "asr.w \count,%d6"
    KEEP "lsl.l \count,%d7"
    KEEP "lsr.b \count,%d3"
    KEEP "roxl.w \count,%d5"
    KEEP "roxr.l \count,%d6"
    KEEP "rol.b \count,%d7"
    KEEP "ror.l \count,%d2"
    KEEP "asl.l \count,%d2"
    .endm
    TEST_BEGIN
    SHIFTS #1
    SHIFTS #8
    SHIFTS #3
    SHIFTS %d0                      | 0
    SHIFTS %d4                      | 8
    SHIFTS %d1                      | 1
    eor.l %d7,%d4                   | larger counts, modulo 64
    SHIFTS %d4
    exg %d4,%d6
    SHIFTS %d4
    exg %d4,%d2
    SHIFTS %d4
    | Memory words, one place: (An), (An)+, -(An), d16(An), d8(An,Xn), absolute.
    KEEP "asl.w (%a1)"
    KEEP "asr.w (%a1)+"
    KEEP "lsl.w -(%a2)"
    KEEP "lsr.w 4(%a1)"
    KEEP "roxl.w 5(%a1,%d1.w)"
    KEEP "roxr.w data_start+100"
    KEEP "rol.w data_start+102"
    KEEP "ror.w -(%a2)"
    TEST_END
