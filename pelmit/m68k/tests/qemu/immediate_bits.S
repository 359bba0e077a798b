| ORI, ANDI, SUBI, ADDI, EORI and CMPI at every size on registers and
| memory; static and dynamic bit operations; Scc of all sixteen conditions.
| Word and long operands stay at even addresses: the 68000 takes an address
| error on odd ones, which this interpreter does not model.
    .include "harness.inc"
    .include "steps.inc"
    TEST_BEGIN
    lea data_start+64,%a3           | flags, one word per step
    lea data_start+192,%a2          | Scc bytes
    move.l #0x8001ff7f,(%a0)
    move.l #0x00008000,4(%a0)
    move.l #0x7fffffff,8(%a0)
    STEP "ori.b #0x80,%d0"
    STEP "ori.w #0,%d1"
    STEP "ori.l #0x00010000,%d1"
    STEP "ori.b #1,(%a0)+"
    STEP "andi.b #0x0f,%d2"
    STEP "andi.w #0x8000,%d3"
    STEP "andi.l #0,%d7"
    STEP "andi.b #0xf0,-(%a0)"
    STEP "subi.b #1,%d7"
    STEP "subi.w #0x8000,%d3"
    STEP "subi.l #1,%d3"
    STEP "subi.l #1,8(%a0)"
    STEP "addi.b #0x7f,%d4"
    STEP "addi.w #1,%d6"
    STEP "addi.l #1,%d5"
    STEP "addi.w #0x7fff,3(%a0,%d1.w)"
    STEP "addi.b #0xff,data_start+3"
    STEP "eori.b #0xff,(%a0)"
    STEP "eori.w #0x5555,2(%a0)"
    STEP "eori.l #-1,(%a0)+"
    STEP "cmpi.b #1,%d1"
    STEP "cmpi.w #0x7fff,%d6"
    STEP "cmpi.l #0x80000000,%d5"
    STEP "cmpi.l #0x7ffffffe,4(%a0)"
    STEP "cmpi.b #0x80,-(%a0)"
    | Bit operations: Z from the bit before the change.
    STEP "btst #3,%d7"
    STEP "bchg #31,%d6"
    STEP "bclr %d4,%d5"
    STEP "bset #0,(%a0)"
    STEP "btst %d1,(%a0)+"
    STEP "bchg #7,-(%a0)"
    STEP "btst #2,data_start+5"
    STEP "bset %d0,3(%a0)"
    STEP "bclr #6,2(%a0,%d1.w)"
    STEP "btst %d4,#0x55"
    | Scc of every condition under four sets of flags.
    move.w #0x00,%ccr
    bsr all_conditions
    move.w #0x05,%ccr
    bsr all_conditions
    move.w #0x0a,%ccr
    bsr all_conditions
    move.w #0x0c,%ccr
    bsr all_conditions
    st 16(%a0)
    sf 17(%a0)
    seq data_start+18
    sne %d7
    TEST_END
    .text
all_conditions:
    st (%a2)+
    sf (%a2)+
    shi (%a2)+
    sls (%a2)+
    scc (%a2)+
    scs (%a2)+
    sne (%a2)+
    seq (%a2)+
    svc (%a2)+
    svs (%a2)+
    spl (%a2)+
    smi (%a2)+
    sge (%a2)+
    slt (%a2)+
    sgt (%a2)+
    sle (%a2)+
    rts
