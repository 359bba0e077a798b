// Opcode words of the instructions the core tests are written with.
#pragma once

#include <cstdint>

namespace pelmit::m68k::testing {

constexpr uint16_t opNop = 0x4E71;
constexpr uint16_t opStop = 0x4E72;
constexpr uint16_t opReset = 0x4E70;
constexpr uint16_t opRte = 0x4E73;
constexpr uint16_t opTrapv = 0x4E76;
constexpr uint16_t opTrap0 = 0x4E40;
constexpr uint16_t opIllegal = 0x4E00;        // no instruction
constexpr uint16_t opMoveToSrImm = 0x46FC;    // MOVE #imm,SR: 16 cycles
constexpr uint16_t opMoveToCcrImm = 0x44FC;   // MOVE #imm,CCR: 16 cycles
constexpr uint16_t opMoveToCcrAbsW = 0x44F8;  // MOVE (xxx).W,CCR: 20 cycles
constexpr uint16_t opMoveFromSrA0 = 0x40D0;   // MOVE SR,(A0): 12 cycles
constexpr uint16_t opMoveFromSrAbsW = 0x40F8; // MOVE SR,(xxx).W: 16 cycles
constexpr uint16_t opMoveFromSrD0 = 0x40C0;   // MOVE SR,D0: 6 cycles
constexpr uint16_t opOriToCcr = 0x003C;
constexpr uint16_t opAndiToCcr = 0x023C;
constexpr uint16_t opEoriToCcr = 0x0A3C;
constexpr uint16_t opOriToSr = 0x007C;
constexpr uint16_t opAndiToSr = 0x027C;
constexpr uint16_t opEoriToSr = 0x0A7C;
constexpr uint16_t opMoveToUsp = 0x4E60;   // MOVE An,USP
constexpr uint16_t opMoveFromUsp = 0x4E68; // MOVE USP,An

} // namespace pelmit::m68k::testing
