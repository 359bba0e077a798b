// The 68000 interpreter's public face: the CPU context that its owner fills
// with memory maps, and the routines that reset, run and interrupt the CPU.
//
// There is one CPU per process. Its owner builds the region lists, stores
// them in the map slots of cpuState, calls cpuInitialize and cpuReset, and
// then runs the CPU with cycle budgets. Memory handlers called during a run
// may use only cpuEndSlice, cpuRaiseInterrupt, the cycle and PC queries,
// cpuPeekCode and cpuStateSize.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pelmit::m68k {

struct DataRegion;

// Handlers of data rows. The address is already cut to 24 bits; a read
// handler's result is used in its low 8 or 16 bits, a write handler gets the
// byte or word zero-extended.
using DataReadHandler = uint32_t (*)(uint32_t address, const DataRegion* row);
using DataWriteHandler = void (*)(uint32_t address, uint32_t value, const DataRegion* row);
using ResetHandler = void (*)();

// The handler slot of a data row: a read handler in read lists, a write
// handler in write lists, null for plain memory.
class DataHandler {
public:
    DataHandler() = default;
    DataHandler(std::nullptr_t) {}
    DataHandler(DataReadHandler f) : fn_(reinterpret_cast<Generic>(f)) {}
    DataHandler(DataWriteHandler f) : fn_(reinterpret_cast<Generic>(f)) {}
    explicit operator bool() const { return fn_ != nullptr; }
    DataReadHandler read() const { return reinterpret_cast<DataReadHandler>(fn_); }
    DataWriteHandler write() const { return reinterpret_cast<DataWriteHandler>(fn_); }

private:
    using Generic = void (*)();
    Generic fn_ = nullptr;
};

// Marks the end of a region list.
constexpr uint32_t endOfList = 0xFFFFFFFF;

// One row of a program map: 68000 addresses low..high (inclusive) are fetched
// from host memory at address + hostOffset.
struct ProgramRegion {
    uint32_t low;
    uint32_t high;
    uintptr_t hostOffset;
};

// One row of a data map: plain host memory (handler null, hostMemory the host
// address of the byte at low) or a handler row (hostMemory null).
// Plain memory holds 68000 words in host byte order: a byte lies at its offset
// with bit 0 inverted on a little-endian host, a long is two words, high first.
struct DataRegion {
    uint32_t low;
    uint32_t high;
    DataHandler handler;
    uint8_t* hostMemory;
};

// hostOffset of a program row whose 68000 address low lies at host.
inline uintptr_t hostOffsetFor(const void* host, uint32_t low) {
    return reinterpret_cast<uintptr_t>(host) - low;
}

// The architectural state of the CPU, in its fixed order. Between runs pc, sr
// and cycleCounter are current; during a run the registers and
// otherStackPointer are always current.
struct CpuState {
    const ProgramRegion* activeProgramMap;
    const DataRegion* activeReadByteMap;
    const DataRegion* activeReadWordMap;
    const DataRegion* activeWriteByteMap;
    const DataRegion* activeWriteWordMap;
    const ProgramRegion* supervisorProgramMap;
    const DataRegion* supervisorReadByteMap;
    const DataRegion* supervisorReadWordMap;
    const DataRegion* supervisorWriteByteMap;
    const DataRegion* supervisorWriteWordMap;
    const ProgramRegion* userProgramMap;
    const DataRegion* userReadByteMap;
    const DataRegion* userReadWordMap;
    const DataRegion* userWriteByteMap;
    const DataRegion* userWriteWordMap;
    ResetHandler resetHandler;
    // D0-D7 then A0-A7, so that a register number 0-15 selects either.
    uint32_t regs[16];
    uint32_t otherStackPointer;
    uint32_t pc;
    uint32_t cycleCounter;
    // Byte 0: bit 0 stopped, bit L a pending interrupt of level L; byte L:
    // the vector number requested for level L.
    uint8_t interruptLatch[8];
    uint16_t sr;
    uint16_t stateFiller;

    uint32_t* dataRegs() { return regs; }
    uint32_t* addressRegs() { return regs + 8; }
};

static_assert(sizeof(void*) != 4 || sizeof(CpuState) == 152,
              "the owner of the CPU relies on the 32-bit layout");

extern CpuState cpuState;

// Results of cpuRun besides a RESET's address.
constexpr uint32_t runEnded = 0x80000000;
constexpr uint32_t runFatal = 0x80000001;
constexpr uint32_t runHalted = 0xFFFFFFFF;

// Builds the dispatch table. Always 0.
uint32_t cpuInitialize();
// 0 done; 1 refused or no program region at address 0; 0xFFFFFFFF odd
// initial program counter (halted).
uint32_t cpuReset();
// Runs until at least budget cycles are spent (always one instruction).
uint32_t cpuRun(int32_t budget);
// level 1-7; vector 0-255, -1 autovector, -2 spurious. 0 requested, 1 that
// level already pending, 2 bad arguments.
uint32_t cpuRaiseInterrupt(int32_t level, int32_t vector);
// Between runs: takes one pending interrupt that the mask admits.
void cpuServiceInterrupts();
uint32_t cpuStateSize();
uint32_t cpuSaveState(void* buffer);
uint32_t cpuLoadState(const void* buffer);
// The program word at address, or 0xFFFFFFFF when no program region holds it.
uint32_t cpuPeekCode(uint32_t address);
uint32_t cpuCyclesElapsed();
uint32_t cpuTakeCycles();
uint32_t cpuCycleCounterControl(uint32_t take);
uint32_t cpuEndSlice();
uint32_t cpuCurrentPc();

} // namespace pelmit::m68k
