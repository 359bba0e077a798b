// The vector reader tells an exception the instruction entered from an
// instruction that pops its return address off a low stack, and the runner
// checks such a test, traced, end to end. Cases are written as vector files
// into the test's folder.
#include "pelmit/m68k/tests/vectors/vector_file.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace pelmit::m68k::testing;

namespace {

struct Access {
    uint8_t kind; // 1 write, 2 read
    uint32_t address, word;
};

struct Case {
    const char* name;
    VectorState initial, final;
    uint32_t cycles;
    std::vector<Access> accesses;
};

class VectorWriter {
public:
    std::vector<uint8_t> file(const std::vector<Case>& cases) {
        out.clear();
        u32(0x1A3F5D71);
        u32(uint32_t(cases.size()));
        for (const Case& c : cases) {
            const size_t start = out.size();
            u32(0); // the record's size, filled in below
            u32(0xABC12367);
            u32(0);
            u32(0x89ABCDEF);
            const std::string name = c.name;
            u32(uint32_t(name.size()));
            out.insert(out.end(), name.begin(), name.end());
            state(c.initial);
            state(c.final);
            u32(0);
            u32(0x456789AB);
            u32(c.cycles);
            u32(uint32_t(c.accesses.size()));
            for (const Access& a : c.accesses) {
                out.push_back(a.kind);
                u32(4);                   // cycles
                u32(a.kind == 1 ? 5 : 1); // function code
                u32(a.address);
                u32(a.word);
                u32(1);
                u32(1);
            }
            const uint32_t size = uint32_t(out.size() - start);
            for (int i = 0; i < 4; ++i) out[start + size_t(i)] = uint8_t(size >> (8 * i));
        }
        return out;
    }

private:
    void u16(uint32_t v) { out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8)}); }
    void u32(uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    void state(const VectorState& s) {
        u32(0);
        u32(0x01234567);
        for (uint32_t v : s.d) u32(v);
        for (uint32_t v : s.a) u32(v);
        for (uint32_t v : {s.usp, s.ssp, s.sr, s.pc, s.prefetch[0], s.prefetch[1]}) u32(v);
        u32(uint32_t(s.ram.size()));
        for (auto [address, word] : s.ram) {
            u32(address);
            u16(word);
        }
    }
    std::vector<uint8_t> out;
};

// RTR in user mode with T set, its stack at 0x4E: the return address comes
// from 0x50, where vector 20 would be, and has its upper byte set.
Case tracedReturnFromLowStack() {
    Case c{"RTR from a low stack, traced", {}, {}, 20, {}};
    const std::vector<std::pair<uint32_t, uint16_t>> ram = {
        {0x1000, 0x4E77}, {0x1002, 0x4E71},   {0x4E, 0x0014},    {0x50, 0x5469},
        {0x52, 0x86B8},   {0x6986B8, 0x4E71}, {0x6986BA, 0x4E71}};
    c.initial.usp = 0x4E;
    c.initial.ssp = 0x83FDA2;
    c.initial.sr = 0x8600;
    c.initial.pc = 0x1004;
    c.initial.prefetch[0] = 0x4E77;
    c.initial.prefetch[1] = 0x4E71;
    c.initial.ram = ram;
    c.final = c.initial;
    c.final.usp = 0x54;
    c.final.sr = 0x8614;
    c.final.pc = 0x546986BC;
    c.final.prefetch[0] = c.final.prefetch[1] = 0x4E71;
    c.accesses = {{2, 0x4E, 0x0014},
                  {2, 0x50, 0x5469},
                  {2, 0x52, 0x86B8},
                  {2, 0x6986B8, 0x4E71},
                  {2, 0x6986BA, 0x4E71}};
    return c;
}

// TRAP #4 in supervisor mode: frame pushed, vector 36 read at 0x90.
Case trapEntry() {
    Case c{"TRAP #4", {}, {}, 34, {}};
    c.initial.ssp = 0x2000;
    c.initial.sr = 0x2700;
    c.initial.pc = 0x1004;
    c.initial.prefetch[0] = 0x4E44;
    c.initial.prefetch[1] = 0x4E71;
    c.initial.ram = {{0x1000, 0x4E44}, {0x1002, 0x4E71}, {0x90, 0x0000},
                     {0x92, 0x3000},   {0x3000, 0x4E71}, {0x3002, 0x4E71}};
    c.final = c.initial;
    c.final.ssp = 0x1FFA;
    c.final.pc = 0x3004;
    c.final.prefetch[0] = c.final.prefetch[1] = 0x4E71;
    c.final.ram.insert(c.final.ram.end(), {{0x1FFA, 0x2700}, {0x1FFC, 0x0000}, {0x1FFE, 0x1002}});
    c.accesses = {{1, 0x1FFE, 0x1002}, {1, 0x1FFA, 0x2700}, {1, 0x1FFC, 0x0000}, {2, 0x90, 0x0000},
                  {2, 0x92, 0x3000},   {2, 0x3000, 0x4E71}, {2, 0x3002, 0x4E71}};
    return c;
}

TEST(VectorFile, AnExceptionIsAFramePushedThenAVectorRead) {
    const std::string path = jk::test::tempPath("cases.json.bin");
    jk::test::writeFile(path, VectorWriter().file({tracedReturnFromLowStack(), trapEntry()}));
    std::vector<VectorTest> tests;
    std::string error;
    ASSERT_TRUE(readVectorFile(path, tests, error)) << error;
    ASSERT_EQ(tests.size(), 2u);
    EXPECT_EQ(tests[0].exceptionVector, -1) << "a return address read at 0x50 is no vector";
    EXPECT_EQ(tests[1].exceptionVector, 36);
    EXPECT_FALSE(tests[0].addressError || tests[1].addressError);
}

TEST(VectorFile, AnUnreadableFileIsReportedWithItsPath) {
    std::vector<VectorTest> tests;
    std::string error;
    const std::string path = jk::test::tempPath("missing.json.bin");
    EXPECT_FALSE(readVectorFile(path, tests, error));
    EXPECT_NE(error.find(path), std::string::npos) << error;
}

// The runner takes the trace exception after the traced RTR and checks its
// frame, which holds all 32 bits of the return address.
TEST(VectorRunner, ATracedReturnFromALowStackPasses) {
    const std::string folder = jk::test::tempPath("runner");
    std::filesystem::create_directories(folder);
    jk::test::writeFile(folder + "/RTR.json.bin",
                        VectorWriter().file({tracedReturnFromLowStack()}));
    const char* bin = std::getenv("JK_BIN_DIR");
    ASSERT_NE(bin, nullptr) << "JK_BIN_DIR is not set";
    const std::string report =
        jk::test::commandOutput(std::string(bin) + "/m68k_vectors --verbose --dir " + folder);
    EXPECT_NE(report.find("1 passed, 0 failed, 0 skipped"), std::string::npos) << report;
}

} // namespace
