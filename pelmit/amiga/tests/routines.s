| Routines that the tests call in the emulated Amiga, linked for 0x2000.
| Routine k is entered at 0x2000 + 4k through the branch table.
        .text
        .globl  _start
_start:
        bra.w   probe_registers         | 0x2000
        bra.w   read_beam               | 0x2004
        bra.w   long_location           | 0x2008
        bra.w   open_cia_resource       | 0x200c
        bra.w   start_tone              | 0x2010
        bra.w   full_volume             | 0x2014
        bra.w   run_away                | 0x2018
        bra.w   support_call            | 0x201c
        bra.w   level_six_handler       | 0x2020

| D0 = A5, D1 + 1, and A5 stored at 0x3000.
probe_registers:
        move.l  %a5,%d0
        addq.l  #1,%d1
        move.l  %a5,0x3000
        rts

| Two word reads and a byte read of the beam position.
read_beam:
        move.w  0xdff006,%d0
        move.w  0xdff006,%d1
        move.b  0xdff006,%d2
        rts

| One long write to AUD0LCH/AUD0LCL.
long_location:
        move.l  #0x00012344,0xdff0a0
        rts

| Opens "ciab" through the system library and adds an interrupt whose code
| is tick_routine, as replay programs do to get a timer.
open_cia_resource:
        movea.l 4,%a6
        lea     cia_name(%pc),%a1
        jsr     -498(%a6)
        move.l  %d0,%d7
        beq.s   1f
        movea.l %d0,%a6
        lea     interrupt_record(%pc),%a1
        moveq   #0,%d0
        jsr     -6(%a6)
1:      rts
tick_routine:
        rts
cia_name:
        .ascii  "ciab.resource\0"
        .even
interrupt_record:                       | node (14 bytes), is_Data, is_Code
        .long   0,0,0
        .word   0
        .long   0x12345678
        .long   tick_routine

| Channel 0 plays the 16-byte square wave at period 254, volume 32.
start_tone:
        lea     square_wave(%pc),%a0
        move.l  %a0,0xdff0a0
        move.w  #8,0xdff0a4
        move.w  #254,0xdff0a6
        move.w  #32,0xdff0a8
        move.w  #0x8201,0xdff096
        rts
full_volume:
        move.w  #64,0xdff0a8
        rts
square_wave:
        .byte   100,100,100,100,100,100,100,100
        .byte   -100,-100,-100,-100,-100,-100,-100,-100

run_away:
        bra.s   run_away

| Support call 3 of the block that A5 points at (its table at +56) keeps
| every register.
support_call:
        moveq   #7,%d7
        movea.l #0x4444,%a4
        movea.l 56+12(%a5),%a0
        jsr     (%a0)
        rts

| A level-6 interrupt handler: counts itself, reads the beam position and
| sets channel 1's volume.
level_six_handler:
        addq.w  #1,0x3004
        move.w  0xdff006,0x3006
        move.w  #48,0xdff0b8
        rte
