// Speed of the handlers of lines 8 to E on straight code, from registers
// that keep every operand in RAM and every division defined.
#include "pelmit/m68k/bench/straight_code.h"

using namespace pelmit::m68k::testing;

namespace {

constexpr uint32_t dataArea = 0xF8000; // A0 and A1, beyond the code
constexpr uint32_t registers[16] = {
    0x12345678, 0x00000003, 0x0000A5A5, 0x80000001, 0x00000008, 0x00007FFF, 0x0000F00F, 0x00000002,
    dataArea,   dataArea,   0,          0,          0,          0,          0,          0x100000};

// ADD.L D1,D0; SUB.W D2,D3; AND.L D4,D5; CMP.W D6,D7; EOR.L D0,D1; OR.B D2,D3
void BM_AluRegisters(benchmark::State& state) {
    straightCode(state, {0xD081, 0x9642, 0xCA84, 0xBE46, 0xB181, 0x8602}, 6, registers);
}
BENCHMARK(BM_AluRegisters);

// ADD.W (A0)+,D0; SUB.W -(A0),D1; ADD.L D2,(A0); CMP.L 4(A0),D3;
// AND.W D4,(A1); EOR.L D5,8(A1)
void BM_AluMemory(benchmark::State& state) {
    straightCode(state, {0xD058, 0x9260, 0xD590, 0xB6A8, 0x0004, 0xC951, 0xBBA9, 0x0008}, 6,
                 registers);
}
BENCHMARK(BM_AluMemory);

// ADDA.W D1,A2; SUBA.L D7,A2; CMPA.L A0,A1; ADDX.L D1,D0; SUBX.W D7,D6;
// ABCD D1,D5
void BM_AddressAndExtended(benchmark::State& state) {
    straightCode(state, {0xD4C1, 0x95C7, 0xB3C8, 0xD181, 0x9D47, 0xCB01}, 6, registers);
}
BENCHMARK(BM_AddressAndExtended);

// LSL.L #2,D0; ASR.W #1,D1; ROL.L D4,D2; LSR.L D4,D3; ROXR.B #3,D5;
// ASL.W D7,D6
void BM_Shifts(benchmark::State& state) {
    straightCode(state, {0xE588, 0xE241, 0xE9BA, 0xE8AB, 0xE615, 0xEF66}, 6, registers);
}
BENCHMARK(BM_Shifts);

// MULU.W D1,D0; MULS.W D5,D3; DIVU.W D4,D2; DIVS.W D7,D6
void BM_MultiplyDivide(benchmark::State& state) {
    straightCode(state, {0xC0C1, 0xC7C5, 0x84C4, 0x8DC7}, 4, registers);
}
BENCHMARK(BM_MultiplyDivide);

} // namespace

BENCHMARK_MAIN();
