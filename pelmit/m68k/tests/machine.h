// A flat test machine for the interpreter: plain RAM from address 0 in every
// map, with maps that a test may edit (handler rows, holes, separate user
// maps) before install() hands them to the CPU.
#pragma once

#include "pelmit/m68k/cpu.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace pelmit::m68k::testing {

struct MapSet {
    std::vector<ProgramRegion> program;
    std::vector<DataRegion> readByte, readWord, writeByte, writeWord;
};

class Machine {
public:
    explicit Machine(uint32_t ramBytes = 0x100000);

    // The maps of each mode; both start as one plain row over the whole RAM.
    MapSet supervisor, user;

    // Plain rows over part of the RAM.
    ProgramRegion programRow(uint32_t low, uint32_t high);
    DataRegion plainRow(uint32_t low, uint32_t high);

    // Ends the lists and stores them in cpuState (the reset handler is cleared).
    void install();

    // Makes the five user maps the active ones (for a test that sets S clear
    // between runs).
    void activateUserMaps();

    // Writes the reset vectors, installs the maps, builds the dispatch table
    // and resets the CPU. Returns cpuReset's result.
    uint32_t boot(uint32_t ssp, uint32_t pc);

    // The RAM as the 68000 sees it.
    uint8_t read8(uint32_t address) const;
    uint16_t read16(uint32_t address) const;
    uint32_t read32(uint32_t address) const;
    void write8(uint32_t address, uint8_t value);
    void write16(uint32_t address, uint16_t value);
    void write32(uint32_t address, uint32_t value);
    // Consecutive words from address on.
    void code(uint32_t address, std::initializer_list<uint16_t> words);

    uint8_t* ram() { return reinterpret_cast<uint8_t*>(ram_.data()); }
    uint32_t size() const { return uint32_t(ram_.size() * 2); }

private:
    std::vector<uint16_t> ram_;
    MapSet installed_[2];
};

} // namespace pelmit::m68k::testing
