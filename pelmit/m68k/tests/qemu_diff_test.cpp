// The differential harness: every program in tests/qemu runs under
// qemu-m68k -cpu m68000 and on the interpreter, and both must end with the
// same registers, status register and data area.
//
// A program is an assembly file (.S) that includes harness.inc, or a C file
// (.c) whose function `void testMain(void)` the harness calls; C is compiled
// with m68k-linux-gnu-gcc -m68000. Programs may use only the instruction
// families that the interpreter has built (and, for C, whatever code the
// compiler makes of them).
#include "pelmit/m68k/tests/machine.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

using namespace pelmit::m68k;
using namespace pelmit::m68k::testing;
namespace fs = std::filesystem;

namespace {

constexpr uint32_t haltAt = 0x400; // every exception vector leads to a RESET here
constexpr uint32_t systemStack = 0x800;
constexpr uint32_t resultBytes = 66; // D0-D7, A0-A7, SR

bool haveTools() {
    return std::system("command -v m68k-linux-gnu-as >/dev/null 2>&1 && "
                       "command -v m68k-linux-gnu-gcc >/dev/null 2>&1 && "
                       "command -v qemu-m68k >/dev/null 2>&1") == 0;
}

fs::path programFolder() {
    const char* src = std::getenv("JK_SOURCE_DIR");
    return fs::path(src ? src : ".") / "pelmit/m68k/tests/qemu";
}

uint32_t be32(const std::vector<uint8_t>& d, size_t at) {
    return uint32_t(d[at]) << 24 | d[at + 1] << 16 | d[at + 2] << 8 | d[at + 3];
}
uint16_t be16(const std::vector<uint8_t>& d, size_t at) {
    return uint16_t(d[at] << 8 | d[at + 1]);
}

// The loadable segments and symbols of a 32-bit big-endian ELF executable.
struct Elf {
    struct Segment {
        uint32_t address;
        std::vector<uint8_t> bytes; // file bytes, zero-filled to the memory size
    };
    std::vector<Segment> segments;
    std::map<std::string, uint32_t> symbols;
};

bool readElf(const std::vector<uint8_t>& d, Elf& elf) {
    if (d.size() < 52 || d[0] != 0x7F || d[1] != 'E' || d[4] != 1 || d[5] != 2) return false;
    uint32_t phoff = be32(d, 28), shoff = be32(d, 32);
    uint16_t phsize = be16(d, 42), phnum = be16(d, 44), shsize = be16(d, 46), shnum = be16(d, 48);
    for (uint32_t i = 0; i < phnum; ++i) {
        size_t p = phoff + i * phsize;
        if (be32(d, p) != 1) continue; // PT_LOAD
        uint32_t offset = be32(d, p + 4), address = be32(d, p + 8);
        uint32_t fileSize = be32(d, p + 16), memorySize = be32(d, p + 20);
        Elf::Segment s{address, std::vector<uint8_t>(memorySize)};
        std::copy(d.begin() + offset, d.begin() + offset + fileSize, s.bytes.begin());
        elf.segments.push_back(std::move(s));
    }
    for (uint32_t i = 0; i < shnum; ++i) {
        size_t sh = shoff + i * shsize;
        if (be32(d, sh + 4) != 2) continue; // SHT_SYMTAB
        uint32_t offset = be32(d, sh + 16), size = be32(d, sh + 20), link = be32(d, sh + 24);
        uint32_t strings = be32(d, shoff + link * shsize + 16);
        for (uint32_t s = offset; s + 16 <= offset + size; s += 16) {
            const char* name = reinterpret_cast<const char*>(d.data() + strings + be32(d, s));
            if (*name) elf.symbols[name] = be32(d, s + 4);
        }
    }
    return true;
}

class QemuDiff : public ::testing::TestWithParam<std::string> {};

TEST_P(QemuDiff, SameEndState) {
    if (!haveTools()) GTEST_SKIP() << "m68k-linux-gnu binutils, gcc or qemu-m68k not installed";
    fs::path source = programFolder() / GetParam();
    std::string stem = fs::path(GetParam()).stem().string();
    const fs::path work = jk::test::tempFolder();
    fs::path elfPath = work / (stem + ".elf"), outPath = work / (stem + ".out");
    std::string inc = "-I" + programFolder().string();
    std::string build;
    if (source.extension() == ".c") {
        // The C entry point runs between the harness's marks.
        fs::path frame = work / "c_frame.S";
        const std::string text = ".include \"harness.inc\"\nTEST_BEGIN\njsr testMain\nTEST_END\n";
        jk::test::writeFile(frame.string(), text);
        build = "m68k-linux-gnu-gcc -m68000 -O2 -ffreestanding -fno-pic -nostdlib -static " + inc +
                " -Wl,-Ttext=0x10000 -Wl,--build-id=none -o " + elfPath.string() + " " +
                frame.string() + " " + source.string() + " -lgcc";
    } else {
        fs::path object = work / (stem + ".o");
        build = "m68k-linux-gnu-as -m68000 " + inc + " -o " + object.string() + " " +
                source.string() + " && m68k-linux-gnu-ld -Ttext=0x10000 -o " + elfPath.string() +
                " " + object.string();
    }
    jk::test::commandOutput(build + " 2>&1");
    // Debian's qemu 7.2 leaves some condition codes wrong across its blocks of
    // translated code (a BCLR's Z, an Scc after MOVE to CCR); one instruction
    // per block gives the 68000's results.
    std::string run =
        "qemu-m68k -cpu m68000 -singlestep " + elfPath.string() + " > " + outPath.string();
    jk::test::commandOutput(run);
    std::vector<uint8_t> expected = jk::test::readFile(outPath.string());
    Elf elf;
    ASSERT_TRUE(readElf(jk::test::readFile(elfPath.string()), elf));
    for (const char* name :
         {"test_start", "test_end", "init_regs", "init_ccr", "result", "data_start", "data_end"})
        ASSERT_TRUE(elf.symbols.count(name)) << name;
    uint32_t dataStart = elf.symbols["data_start"], dataEnd = elf.symbols["data_end"];
    ASSERT_EQ(expected.size(), dataEnd - elf.symbols["result"]);

    // The interpreter's side: the same memory, the same registers, user mode,
    // and an illegal word at test_end whose exception leads to a RESET.
    Machine m(0x100000);
    for (const Elf::Segment& s : elf.segments) {
        ASSERT_LE(s.address + s.bytes.size(), m.size()) << "a segment beyond the RAM";
        for (size_t i = 0; i < s.bytes.size(); ++i) m.write8(s.address + uint32_t(i), s.bytes[i]);
    }
    for (uint32_t v = 2; v < 256; ++v) m.write32(v * 4, haltAt);
    m.write16(haltAt, 0x4E70);
    m.write16(elf.symbols["test_end"], 0x4E00);
    ASSERT_EQ(m.boot(systemStack, elf.symbols["test_start"]), 0u);
    uint32_t init = elf.symbols["init_regs"];
    for (uint32_t i = 0; i < 15; ++i) cpuState.regs[i] = m.read32(init + 4 * i);
    cpuState.regs[15] = m.read32(init + 60);
    cpuState.otherStackPointer = systemStack;
    cpuState.sr = m.read16(elf.symbols["init_ccr"]) & 0x1F;
    m.activateUserMaps();
    uint32_t result = runEnded;
    for (int slice = 0; slice < 1000 && result == runEnded; ++slice) result = cpuRun(1000000);
    ASSERT_EQ(result, haltAt);
    ASSERT_EQ(m.read32(systemStack - 4), elf.symbols["test_end"])
        << "an exception was taken at " << std::hex << m.read32(systemStack - 4);

    std::vector<uint8_t> got;
    auto put32 = [&](uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) got.push_back(uint8_t(v >> shift));
    };
    for (uint32_t i = 0; i < 15; ++i) put32(cpuState.regs[i]);
    put32(cpuState.otherStackPointer);
    uint16_t sr = m.read16(systemStack - 6);
    got.push_back(uint8_t(sr >> 8));
    got.push_back(uint8_t(sr));
    for (size_t i = 0; i < resultBytes; ++i) EXPECT_EQ(got[i], expected[i]) << "result byte " << i;
    for (uint32_t a = dataStart; a < dataEnd; ++a)
        EXPECT_EQ(m.read8(a), expected[a - dataStart + 68]) << "data at " << std::hex << a;
}

std::vector<std::string> programs() {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(programFolder(), error)) {
        std::string ext = entry.path().extension().string();
        if (ext == ".S" || ext == ".c") names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Programs, QemuDiff, ::testing::ValuesIn(programs()), [](const auto& info) {
    std::string name = info.param;
    for (char& c : name)
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
});
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(QemuDiff);

} // namespace
