#include "pelmit/m68k/tests/machine.h"

namespace pelmit::m68k::testing {

namespace {

constexpr uint32_t byteFlip = 1; // the test machines are little-endian hosts

template <class Row>
void endList(std::vector<Row>& rows) {
    Row end{};
    end.low = endOfList;
    end.high = endOfList;
    rows.push_back(end);
}

} // namespace

Machine::Machine(uint32_t ramBytes) : ram_(ramBytes / 2) {
    MapSet maps;
    maps.program = {programRow(0, ramBytes - 1)};
    DataRegion row = plainRow(0, ramBytes - 1);
    maps.readByte = maps.readWord = maps.writeByte = maps.writeWord = {row};
    supervisor = maps;
    user = maps;
}

ProgramRegion Machine::programRow(uint32_t low, uint32_t high) {
    return ProgramRegion{low, high, hostOffsetFor(ram(), 0)};
}

DataRegion Machine::plainRow(uint32_t low, uint32_t high) {
    return DataRegion{low, high, nullptr, ram() + low};
}

void Machine::install() {
    installed_[0] = supervisor;
    installed_[1] = user;
    for (MapSet& m : installed_) {
        endList(m.program);
        endList(m.readByte);
        endList(m.readWord);
        endList(m.writeByte);
        endList(m.writeWord);
    }
    CpuState& s = cpuState;
    s.supervisorProgramMap = installed_[0].program.data();
    s.supervisorReadByteMap = installed_[0].readByte.data();
    s.supervisorReadWordMap = installed_[0].readWord.data();
    s.supervisorWriteByteMap = installed_[0].writeByte.data();
    s.supervisorWriteWordMap = installed_[0].writeWord.data();
    s.userProgramMap = installed_[1].program.data();
    s.userReadByteMap = installed_[1].readByte.data();
    s.userReadWordMap = installed_[1].readWord.data();
    s.userWriteByteMap = installed_[1].writeByte.data();
    s.userWriteWordMap = installed_[1].writeWord.data();
    s.resetHandler = nullptr;
}

void Machine::activateUserMaps() {
    CpuState& s = cpuState;
    s.activeProgramMap = s.userProgramMap;
    s.activeReadByteMap = s.userReadByteMap;
    s.activeReadWordMap = s.userReadWordMap;
    s.activeWriteByteMap = s.userWriteByteMap;
    s.activeWriteWordMap = s.userWriteWordMap;
}

uint32_t Machine::boot(uint32_t ssp, uint32_t pc) {
    write32(0, ssp);
    write32(4, pc);
    install();
    cpuInitialize();
    return cpuReset();
}

uint8_t Machine::read8(uint32_t address) const {
    return reinterpret_cast<const uint8_t*>(ram_.data())[address ^ byteFlip];
}

uint16_t Machine::read16(uint32_t address) const {
    return ram_[address / 2];
}

uint32_t Machine::read32(uint32_t address) const {
    return uint32_t(read16(address)) << 16 | read16(address + 2);
}

void Machine::write8(uint32_t address, uint8_t value) {
    reinterpret_cast<uint8_t*>(ram_.data())[address ^ byteFlip] = value;
}

void Machine::write16(uint32_t address, uint16_t value) {
    ram_[address / 2] = value;
}

void Machine::write32(uint32_t address, uint32_t value) {
    write16(address, uint16_t(value >> 16));
    write16(address + 2, uint16_t(value));
}

void Machine::code(uint32_t address, std::initializer_list<uint16_t> words) {
    for (uint16_t w : words) {
        write16(address, w);
        address += 2;
    }
}

} // namespace pelmit::m68k::testing
