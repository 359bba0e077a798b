#include "emulated_fixtures.h"

#include "emulated_tunes.h"
#include "pelmit/amiga/tests/hunk_writer.h"

#include <stdexcept>

namespace pelmit::test {

namespace {

// How far the second link of a DeliTracker player lies from the first.
constexpr uint32_t movedBy = 0x10000;

Bytes assembled(const std::string& name) {
    for (size_t i = 0; i < assembledTuneCount; ++i)
        if (name == assembledTunes[i].name)
            return Bytes(assembledTunes[i].bytes, assembledTunes[i].bytes + assembledTunes[i].size);
    throw std::invalid_argument("no assembled tune " + name);
}

uint32_t longAt(const Bytes& b, size_t i) {
    return uint32_t(b[i]) << 24 | uint32_t(b[i + 1]) << 16 | uint32_t(b[i + 2]) << 8 | b[i + 3];
}

// The longs that the two links hold at different addresses: those that the
// loader must relocate.
std::vector<uint32_t> relocationsOf(const Bytes& code, const Bytes& moved) {
    std::vector<uint32_t> offsets;
    for (size_t i = 0; i + 4 <= code.size() && i + 4 <= moved.size(); i += 2)
        if (longAt(moved, i) - longAt(code, i) == movedBy) offsets.push_back(uint32_t(i));
    return offsets;
}

} // namespace

const std::vector<EmulatedFixture> emulatedFixtures = {
    {"hippel", "tune.hip", 0, 2, 1},   {"mon", "tune.mon", 1, 3, 1},
    {"dm2", "tune.dm2", 3, 1, 1},      {"sidmon1", "tune.sid1", 4, 1, 1},
    {"dt_cia", "cia.cust", 2, 3, 1},   {"dt_interrupt", "interrupt.cust", 2, 2, 1},
    {"dt_walk", "walk.cust", 2, 3, 2},
};

void appendLong(Bytes& bytes, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(uint8_t(value >> shift));
}

Bytes hunkFile(const Bytes& code, const std::vector<uint32_t>& relocations) {
    std::vector<uint32_t> longs((code.size() + 3) / 4);
    for (size_t i = 0; i < code.size(); ++i)
        longs[i / 4] |= uint32_t(code[i]) << (24 - 8 * (i % 4));
    HunkWriter w;
    w.header({uint32_t(longs.size())}).block(hunkCodeBlock, longs);
    if (!relocations.empty()) w.relocations({{0, relocations}});
    w.put({hunkEndBlock});
    return w.bytes();
}

Bytes emulatedFile(const std::string& name) {
    Bytes tune = assembled(name);
    if (name.rfind("dt_", 0) != 0) return tune;
    return hunkFile(tune, relocationsOf(tune, assembled(name + "_moved")));
}

} // namespace pelmit::test
