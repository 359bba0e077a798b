| A small tracker-style replay routine, linked for 0x2000, as the formats'
| play routines work: each call is one tick. Every sixth tick it reads a row
| of four notes, looks their periods up and programs the four channels (stop,
| location, length, period, volume, start); the other ticks apply vibrato from
| a sine table and a volume slide to every channel. Every tick then rebuilds
| four 32-byte synth waveforms in chip RAM, as the synth formats do.
        .text
        .globl  _start
_start:
        movem.l %d0-%d7/%a0-%a6,-(%sp)
        lea     state(%pc),%a5
        lea     0xdff0a0,%a1
        lea     voices(%pc),%a3
        addq.w  #1,(%a5)                | tick
        cmpi.w  #6,(%a5)
        blt.w   effects
        clr.w   (%a5)
        move.w  2(%a5),%d0              | row
        addq.w  #1,%d0
        andi.w  #63,%d0
        move.w  %d0,2(%a5)
        lsl.w   #3,%d0                  | four notes of a word each
        lea     pattern(%pc),%a0
        adda.w  %d0,%a0
        lea     periods(%pc),%a2
        lea     sample(%pc),%a4
        moveq   #3,%d7
        moveq   #0,%d6                  | channels to start
        moveq   #1,%d5
1:      move.w  (%a0)+,%d0
        beq.s   2f
        add.w   %d0,%d0
        move.w  0(%a2,%d0.w),%d1
        move.w  %d1,(%a3)
        move.w  #64,2(%a3)
        move.l  %a4,(%a1)
        move.w  #16,4(%a1)
        move.w  %d1,6(%a1)
        move.w  #64,8(%a1)
        or.w    %d5,%d6
2:      lea     16(%a1),%a1
        addq.l  #4,%a3
        add.w   %d5,%d5
        dbf     %d7,1b
        move.w  %d6,0xdff096
        ori.w   #0x8000,%d6
        move.w  %d6,0xdff096
        bra.s   synth
effects:
        lea     sine(%pc),%a2
        move.w  4(%a5),%d0              | vibrato position
        addq.w  #4,4(%a5)
        moveq   #3,%d7
3:      move.w  %d0,%d2
        andi.w  #31,%d2
        move.b  0(%a2,%d2.w),%d1
        ext.w   %d1
        muls    #3,%d1
        asr.w   #5,%d1
        add.w   (%a3),%d1
        move.w  %d1,6(%a1)
        move.w  2(%a3),%d2
        subq.w  #1,%d2
        bpl.s   4f
        moveq   #0,%d2
4:      move.w  %d2,2(%a3)
        move.w  %d2,8(%a1)
        addq.w  #8,%d0
        lea     16(%a1),%a1
        addq.l  #4,%a3
        dbf     %d7,3b
synth:
        lea     sample(%pc),%a0
        lea     waves(%pc),%a1
        move.w  4(%a5),%d1
        moveq   #3,%d7
5:      moveq   #31,%d6
6:      move.b  (%a0)+,%d0
        asr.b   #1,%d0
        add.b   %d1,%d0
        move.b  %d0,(%a1)+
        dbf     %d6,6b
        lea     -32(%a0),%a0
        addq.w  #3,%d1
        dbf     %d7,5b
done:
        movem.l (%sp)+,%d0-%d7/%a0-%a6
        rts

state:  .word   5,63,0                  | tick, row, vibrato position
voices: .word   0,0,0,0,0,0,0,0         | period, volume per channel
periods:
        .word   0,856,808,762,720,678,640,604,570,538,508,480,453
        .word   428,404,381,360,339,320,302,285,269,254,240,226
sine:   .byte   0,25,49,71,90,106,117,125,127,125,117,106,90,71,49,25
        .byte   0,-25,-49,-71,-90,-106,-117,-125,-127,-125,-117,-106,-90,-71,-49,-25
pattern:
        .rept   16
        .word   1,5,8,13, 0,0,0,0, 3,0,10,0, 0,0,0,17
        .endr
sample: .byte   0,40,80,110,127,110,80,40,0,-40,-80,-110,-127,-110,-80,-40
        .byte   0,60,100,127,100,60,0,-60,-100,-127,-100,-60,0,30,-30,0
waves:  .space  128
