// The resident program as the cross binutils' disassembler reads it: every
// instruction, branch target and displacement where the host and the tunes
// expect them.
#include "pelmit/amiga/amiga_machine.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace pelmit;

namespace {

// objdump -D of the stub at 0x1000: address -> instruction text.
std::map<uint32_t, std::string> disassembleStub() {
    const std::string bin = jk::test::tempPath("stub.bin");
    std::vector<uint8_t> bytes;
    for (uint16_t w : AmigaStub) bytes.insert(bytes.end(), {uint8_t(w >> 8), uint8_t(w & 0xFF)});
    jk::test::writeFile(bin, bytes);
    const std::string command =
        "m68k-linux-gnu-objdump -D -b binary -m m68k --adjust-vma=0x1000 " + bin;
    std::map<uint32_t, std::string> listing;
    std::istringstream text(jk::test::commandOutput(command));
    for (std::string line; std::getline(text, line);) {
        // "    1040:\t6000 000a      \tbraw 0x104c"
        const size_t colon = line.find(":\t");
        const size_t tab = line.find('\t', colon + 2);
        if (colon == std::string::npos || tab == std::string::npos) continue;
        std::string instruction = line.substr(tab + 1);
        while (!instruction.empty() && std::isspace(uint8_t(instruction.back())))
            instruction.pop_back();
        listing[uint32_t(std::stoul(line.substr(0, colon), nullptr, 16))] = instruction;
    }
    return listing;
}

TEST(StubListing, DisassemblesToTheResidentProgram) {
    if (std::system("m68k-linux-gnu-objdump --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "m68k-linux-gnu-objdump is not installed";
    const std::map<uint32_t, std::string> listing = disassembleStub();
    ASSERT_FALSE(listing.empty());

    const std::map<uint32_t, std::string> expected = {
        // Reset entry and the command loop.
        {0x1040, "braw 0x104c"},
        {0x104C, "movew #0,%sr"},
        {0x1050, "lea 0x7c000,%sp"},
        {0x1056, "movel %pc@(0x1000),%d0"},
        {0x105A, "beqs 0x107a"},
        {0x105C, "clrl 0x1000"},
        {0x1062, "movel #4210,%sp@-"}, // 0x1072
        {0x1068, "movel %d0,%sp@-"},
        {0x106A, "moveml %pc@(0x1004),%d0-%fp"},
        {0x1070, "rts"},
        {0x1072, "moveml %d0-%fp,0x1004"},
        {0x107A, "movew #255,0xdff1fe"},
        {0x1082, "nop"},
        {0x1084, "nop"},
        {0x1086, "bras 0x1056"},
        // The library base, the resource lookup and the CIA-B resource.
        {0x15FA, "moveq #0,%d0"},
        {0x15FC, "rts"},
        {0x15FE, "cmpil #1667850594,%a1@"}, // "ciab"
        {0x1604, "beqs 0x160a"},
        {0x1606, "moveq #0,%d0"},
        {0x1608, "rts"},
        {0x160A, "movel #5674,%d0"}, // 0x162A
        {0x1610, "rts"},
        {0x1612, "jmp 0x15fa"},
        {0x1618, "jmp 0x15fa"},
        {0x161E, "jmp 0x15fa"},
        {0x1624, "jmp 0x162a"},
        {0x162A, "movel %a1@(18),0x1004"},
        {0x1632, "movew #18,0xdff1fe"},
        {0x163A, "moveq #0,%d0"},
        {0x163C, "rts"},
    };
    for (const auto& [address, text] : expected) {
        const auto found = listing.find(address);
        ASSERT_NE(found, listing.end()) << std::hex << address;
        EXPECT_EQ(found->second, text) << std::hex << address;
    }

    for (uint32_t n = 0; n < 18; ++n) {
        const uint32_t at = 0x1114 + 24 * n;
        EXPECT_EQ(listing.at(at), "moveml %d0-%fp,0x1004") << n;
        EXPECT_EQ(listing.at(at + 8), "movew #" + std::to_string(n) + ",0xdff1fe") << n;
        EXPECT_EQ(listing.at(at + 16), "moveml %pc@(0x1004),%d0-%fp") << n;
        EXPECT_EQ(listing.at(at + 22), "rts") << n;
    }
    // Library vectors base-822 .. base-6; base-498 opens resources.
    for (uint32_t at = 0x12C4; at < 0x15FA; at += 6)
        EXPECT_EQ(listing.at(at), at == 0x1408 ? "jmp 0x15fe" : "jmp 0x15fa") << std::hex << at;
}

} // namespace
