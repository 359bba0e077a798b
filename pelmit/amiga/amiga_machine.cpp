// The machine's life cycle, its chip RAM and the calls into 68000 routines.
#include "pelmit/amiga/amiga_machine.h"

#include "pelmit/mixer/mixer.h"

#include <algorithm>
#include <new>

namespace pelmit {

AmigaMachine* currentMachine = nullptr;

namespace {

using m68k::cpuState;
using m68k::DataRegion;
using m68k::endOfList;
using m68k::ProgramRegion;

// The machine whose maps the CPU was last reset into; only it may run.
AmigaMachine* cpuOwner = nullptr;

constexpr uint32_t chipWords = chipRamBytes / 2;
// A word read at the odd address 0x7FFFF reaches one byte past the end.
constexpr uint32_t guardWords = 8;
constexpr uint32_t wordMask = chipRamBytes - 2;

constexpr uint32_t registersLow = 0xBFD000, registersHigh = 0xDFF1FF;
constexpr uint32_t resetStackPointer = 0x80000, resetEntry = 0x1040;
constexpr uint32_t initialCiaLatch = 14188;
constexpr uint16_t chipRamBaseRate = 8363;

constexpr AudioChannelShadow channelReset = {0, 0, 0x0800, 114, 0};

} // namespace

AmigaMachine::AmigaMachine() {
    // Zeroed, so that uninitialised-data hunks and tag walks read the same
    // thing every time, booted or not.
    chipRam = new (std::nothrow) uint16_t[chipWords + guardWords]();
}

AmigaMachine::~AmigaMachine() {
    if (currentMachine == this) currentMachine = nullptr;
    if (cpuOwner == this) cpuOwner = nullptr;
    if (chipRam && mixer.slotState(0).start == reinterpret_cast<int8_t*>(chipRam)) {
        const SampleDescriptor none = {};
        mixer.attachSampleMemory(0, &none);
    }
    delete[] chipRam;
}

uint32_t AmigaMachine::bootMachine() {
    isBooted = false;
    if (!chipRam) return 0;
    uint8_t* const ram = reinterpret_cast<uint8_t*>(chipRam);

    const SampleDescriptor chipSample = {chipRam, chipRamBytes,     0, 0, chipRamBaseRate,
                                         0,       sampleWordSwapped};
    mixer.attachSampleMemory(0, &chipSample);

    programRegions[0] = {0, chipRamBytes - 1, m68k::hostOffsetFor(ram, 0)};
    programRegions[1] = {endOfList, endOfList, 0};
    const struct {
        DataRegion* list;
        m68k::DataHandler handler;
    } dataLists[] = {
        {readByteRegions, &chipReadByte},
        {readWordRegions, &chipReadWord},
        {writeByteRegions, &chipWriteByte},
        {writeWordRegions, &chipWriteWord},
    };
    for (const auto& d : dataLists) {
        d.list[0] = {0, chipRamBytes - 1, nullptr, ram};
        d.list[1] = {registersLow, registersHigh, d.handler, nullptr};
        d.list[2] = {endOfList, endOfList, nullptr, nullptr};
    }
    cpuState.supervisorProgramMap = cpuState.userProgramMap = programRegions;
    cpuState.supervisorReadByteMap = cpuState.userReadByteMap = readByteRegions;
    cpuState.supervisorReadWordMap = cpuState.userReadWordMap = readWordRegions;
    cpuState.supervisorWriteByteMap = cpuState.userWriteByteMap = writeByteRegions;
    cpuState.supervisorWriteWordMap = cpuState.userWriteWordMap = writeWordRegions;
    cpuState.resetHandler = nullptr;
    cpuOwner = this;

    std::fill(chipRam, chipRam + chipWords + guardWords, uint16_t(0));
    pokeLong(0, resetStackPointer);
    pokeLong(4, resetEntry);

    std::fill(std::begin(channels), std::end(channels), channelReset);
    dmaEnable = interruptEnable = interruptRequest = 0;
    ciaTimerLatch = initialCiaLatch;
    reportedRoutine = 0;

    pokeWords(callFrameAddress, AmigaStub.data(), amigaStubWords);
    supportBlock = peekLong(stubBasePointerAddress);

    // The maps above were built for the interpreter's own context layout.
    if (m68k::cpuStateSize() != sizeof(m68k::CpuState)) return 0;
    m68k::cpuInitialize();
    if (m68k::cpuReset() != 0) return 0;
    pokeLong(0, 0);
    pokeLong(4, peekLong(libraryBasePointerAddress));
    isBooted = true;
    return 1;
}

bool AmigaMachine::ownsCpu() const {
    return isBooted && cpuOwner == this;
}

// --- Chip RAM ---------------------------------------------------------------------

void AmigaMachine::pokeWord(uint32_t address, uint32_t value) {
    if (chipRam) chipRam[(address & wordMask) >> 1] = uint16_t(value);
}

uint32_t AmigaMachine::peekWord(uint32_t address) const {
    return chipRam ? chipRam[(address & wordMask) >> 1] : 0;
}

void AmigaMachine::pokeLong(uint32_t address, uint32_t value) {
    pokeWord(address, value >> 16);
    pokeWord((address & ~1u) + 2, value & 0xFFFF);
}

uint32_t AmigaMachine::peekLong(uint32_t address) const {
    return peekWord(address) << 16 | peekWord((address & ~1u) + 2);
}

void AmigaMachine::pokeWords(uint32_t address, const uint16_t* words, uint32_t count) {
    if (!chipRam || !words) return;
    const uint32_t first = (address & wordMask) >> 1;
    std::copy_n(words, std::min(count, chipWords - first), chipRam + first);
}

uint32_t AmigaMachine::peekSupportWord(uint32_t offset) const {
    return peekWord(supportBlock + offset);
}

void AmigaMachine::pokeSupportWord(uint32_t offset, uint32_t value) {
    pokeWord(supportBlock + offset, value);
}

// --- Calls ------------------------------------------------------------------------

void AmigaMachine::enterCall(uint32_t entry, const uint32_t registersIn[amigaRegisterCount],
                             bool forceA5) {
    beamCounter = 0;
    currentMachine = this;
    pokeLong(callFrameAddress, entry);
    for (uint32_t i = 0; i < amigaRegisterCount; ++i)
        pokeLong(callRegistersAddress + 4 * i, registersIn ? registersIn[i] : 0);
    // Tunes find the support block through A5.
    if (forceA5) pokeLong(callRegistersAddress + 4 * 13, peekLong(stubBasePointerAddress));
    m68k::cpuRun(routineBudget);
}

void AmigaMachine::callAmigaRoutine(uint32_t entry, uint32_t registersOut[amigaRegisterCount],
                                    const uint32_t registersIn[amigaRegisterCount]) {
    if (!ownsCpu()) {
        for (uint32_t i = 0; i < amigaRegisterCount; ++i)
            registersOut[i] = registersIn ? registersIn[i] : 0;
        return;
    }
    enterCall(entry, registersIn, true);
    for (uint32_t i = 0; i < amigaRegisterCount; ++i)
        registersOut[i] = peekLong(callRegistersAddress + 4 * i);
}

void AmigaMachine::runAmigaRoutine(uint32_t entry, const uint32_t registersIn[amigaRegisterCount]) {
    if (ownsCpu()) enterCall(entry, registersIn, false);
}

void AmigaMachine::raiseInterruptAndRun(uint32_t level) {
    if (!ownsCpu()) return;
    // The handler's register writes must reach this machine even when no
    // routine was called since another machine was current.
    currentMachine = this;
    m68k::cpuRaiseInterrupt(int32_t(level), -1);
    m68k::cpuRun(routineBudget);
}

} // namespace pelmit
