// Region lookup, the slow paths of the memory routines (handler rows, later
// rows, unmapped addresses, row ends) and program-region selection.
#include "pelmit/m68k/memory.h"

namespace pelmit::m68k {

namespace {

// Plain memory is used in whole words: a word whose second byte would lie
// beyond high is treated as unmapped, so no access leaves the row.
uint8_t* plainWord(const DataRegion* row, uint32_t a24) {
    uint32_t word = (a24 - row->low) & ~1u;
    if (!row->hostMemory || word + 1 > row->high - row->low) return nullptr;
    return row->hostMemory + word;
}

// Every handler call keeps the run's position and budget in RunState, so that
// the handler may end the run, raise an interrupt or ask for the cycle count.
struct HandlerCall {
    explicit HandlerCall(uint32_t address) {
        RunState& r = runState;
        r.savedAddress = address;
        r.savedCyclesLeft = r.cyclesLeft;
        r.savedBase = r.base;
        r.savedInstructionPointer = r.ip;
    }
    ~HandlerCall() {
        RunState& r = runState;
        r.cyclesLeft = r.savedCyclesLeft;
        r.base = r.savedBase;
        r.ip = r.savedInstructionPointer;
        // Outside a run the saved budget reads -1 again.
        r.savedCyclesLeft = -1;
    }
    HandlerCall(const HandlerCall&) = delete;
    HandlerCall& operator=(const HandlerCall&) = delete;
};

uint32_t callRead(const DataRegion* row, uint32_t address, uint32_t a24) {
    HandlerCall call(address);
    return row->handler.read()(a24, row);
}

void callWrite(const DataRegion* row, uint32_t address, uint32_t a24, uint32_t value) {
    HandlerCall call(address);
    row->handler.write()(a24, value, row);
}

uint32_t readRowWord(const DataRegion* row, uint32_t address, uint32_t a24) {
    if (row->handler) return callRead(row, address, a24) & 0xFFFF;
    const uint8_t* p = plainWord(row, a24);
    return p ? load16(p) : 0xFFFF;
}

void writeRowWord(const DataRegion* row, uint32_t address, uint32_t a24, uint32_t value) {
    if (row->handler) {
        callWrite(row, address, a24, value & 0xFFFF);
        return;
    }
    if (uint8_t* p = plainWord(row, a24)) store16(p, value);
}

} // namespace

const DataRegion* findDataRow(const DataRegion* list, uint32_t a24) {
    if (!list) return nullptr;
    for (; list->low != endOfList; ++list)
        if (list->low <= a24 && a24 <= list->high) return list;
    return nullptr;
}

const ProgramRegion* findProgramRow(const ProgramRegion* list, uint32_t a24) {
    if (!list) return nullptr;
    for (; list->low != endOfList; ++list)
        if (list->low <= a24 && a24 <= list->high) return list;
    return nullptr;
}

bool readProgramWord(const ProgramRegion* list, uint32_t address, uint32_t& word) {
    uint32_t a24 = address & addressMask;
    const ProgramRegion* row = findProgramRow(list, a24);
    if (!row || a24 >= row->high) return false;
    word = load16(reinterpret_cast<const uint8_t*>(row->hostOffset + a24));
    return true;
}

void refreshRowCaches() {
    auto cache = [](RowCache& c, const DataRegion* list) {
        c = RowCache{0, 0, nullptr};
        if (!list || list->low == endOfList || list->handler || !list->hostMemory) return;
        if (list->low > addressMask || list->high < list->low) return;
        uint32_t high = list->high < addressMask ? list->high : addressMask;
        c.low = list->low;
        c.wordEnd = (high - list->low + 1) & ~1u;
        c.host = list->hostMemory;
    };
    cache(runState.readByte, cpuState.activeReadByteMap);
    cache(runState.readWord, cpuState.activeReadWordMap);
    cache(runState.writeByte, cpuState.activeWriteByteMap);
    cache(runState.writeWord, cpuState.activeWriteWordMap);
}

uint32_t readByteSlow(uint32_t address) {
    uint32_t a24 = address & addressMask;
    const DataRegion* row = findDataRow(cpuState.activeReadByteMap, a24);
    if (!row) return 0xFF;
    if (row->handler) return callRead(row, address, a24) & 0xFF;
    const uint8_t* p = plainWord(row, a24);
    return p ? p[((a24 - row->low) & 1) ^ byteFlip] : 0xFF;
}

uint32_t readWordSlow(uint32_t address) {
    uint32_t a24 = address & addressMask;
    const DataRegion* row = findDataRow(cpuState.activeReadWordMap, a24);
    return row ? readRowWord(row, address, a24) : 0xFFFF;
}

uint32_t readLongSlow(uint32_t address) {
    uint32_t a24 = address & addressMask;
    const DataRegion* row = findDataRow(cpuState.activeReadWordMap, a24);
    // An unmapped long does not look its second word up.
    if (!row) return 0xFFFFFFFF;
    uint32_t second = (a24 + 2) & addressMask;
    if (a24 + 2 <= row->high) {
        if (row->handler) {
            uint32_t high = callRead(row, address, a24) & 0xFFFF;
            return high << 16 | (callRead(row, address + 2, second) & 0xFFFF);
        }
        const uint8_t* p = plainWord(row, a24);
        const uint8_t* q = plainWord(row, a24 + 2);
        if (p && q) return load16(p) << 16 | load16(q);
    }
    uint32_t high = readRowWord(row, address, a24);
    return high << 16 | memReadWord(second);
}

void writeByteSlow(uint32_t address, uint32_t value) {
    uint32_t a24 = address & addressMask;
    const DataRegion* row = findDataRow(cpuState.activeWriteByteMap, a24);
    if (!row) return;
    if (row->handler) {
        callWrite(row, address, a24, value & 0xFF);
        return;
    }
    if (uint8_t* p = plainWord(row, a24)) p[((a24 - row->low) & 1) ^ byteFlip] = uint8_t(value);
}

void writeWordSlow(uint32_t address, uint32_t value) {
    uint32_t a24 = address & addressMask;
    const DataRegion* row = findDataRow(cpuState.activeWriteWordMap, a24);
    if (row) writeRowWord(row, address, a24, value);
}

void writeLongSlow(uint32_t address, uint32_t value) {
    uint32_t a24 = address & addressMask;
    uint32_t second = (a24 + 2) & addressMask;
    const DataRegion* row = findDataRow(cpuState.activeWriteWordMap, a24);
    if (row && a24 + 2 <= row->high) {
        if (row->handler) {
            callWrite(row, address, a24, value >> 16);
            callWrite(row, address + 2, second, value & 0xFFFF);
            return;
        }
        uint8_t* p = plainWord(row, a24);
        uint8_t* q = plainWord(row, a24 + 2);
        if (p && q) {
            store16(p, value >> 16);
            store16(q, value);
            return;
        }
    }
    // The high word is dropped where no row holds it; the low word is looked up
    // on its own.
    if (row) writeRowWord(row, address, a24, value >> 16);
    memWriteWord(second, value);
}

void cancelBudget(int32_t& cyclesLeft) {
    RunState& r = runState;
    if (!(r.runFlags & runInProgress)) return;
    // Executed so far: asked - (left + 1) - held back. Keeping that while the
    // budget drops to nothing needs no arithmetic that could overflow.
    r.cyclesAsked = r.cyclesAsked - (uint32_t(cyclesLeft) + 1) - r.cyclesHeldBack;
    cyclesLeft = -1;
    r.cyclesHeldBack = 0;
}

void callResetHandler(ResetHandler handler) {
    HandlerCall call(0);
    handler();
}

bool selectProgramRegion(uint32_t pc) {
    RunState& r = runState;
    r.scratchActive = 0;
    const ProgramRegion* row = findProgramRow(cpuState.activeProgramMap, pc & addressMask);
    if (!row) {
        r.base = 0;
        r.cachedRegionLow = 0xFFFFFFFF;
        r.cachedRegionHigh = 0;
        r.fetchLimit = 0;
        r.runFlags |= runFatalPc;
        r.ip = reinterpret_cast<const uint8_t*>(uintptr_t(pc));
        cancelBudget(r.cyclesLeft);
        return false;
    }
    uint32_t top = pc & 0xFF000000;
    r.cachedRegionLow = row->low | top;
    r.cachedRegionHigh = row->high | top;
    r.base = row->hostOffset - top;
    // The longest instruction is five words: fetching below the limit never
    // leaves the region's host memory.
    uint32_t high = row->high < addressMask ? row->high : addressMask;
    if (high - row->low + 1 >= maxInstructionBytes)
        r.fetchLimit = row->hostOffset + uintptr_t(high) + 1 - maxInstructionBytes;
    else
        r.fetchLimit = 0;
    r.ip = reinterpret_cast<const uint8_t*>(pc + r.base);
    return true;
}

} // namespace pelmit::m68k
