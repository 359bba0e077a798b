// Every opcode word reaches a handler of its family, illegalInstruction, or
// the line-A or line-F handler, in the numbers the instruction set gives.
#include "pelmit/m68k/dispatch.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>

using namespace pelmit::m68k;

namespace {

struct LineCounts {
    uint32_t executing, illegal;
};

// Executing words and words for illegalInstruction, line by line.
constexpr LineCounts expectedCounts[16] = {
    {2989, 1107}, {2650, 1446}, {3538, 558}, {3538, 558}, {1959, 2137}, {3584, 512},
    {4096, 0},    {2048, 2048}, {3256, 840}, {3768, 328}, {0, 0},       {3768, 328},
    {3448, 648},  {3768, 328},  {3408, 688}, {0, 0},
};

std::array<uint32_t, size_t(Family::Count)> familyCounts() {
    std::array<uint32_t, size_t(Family::Count)> counts{};
    for (uint32_t op = 0; op < 0x10000; ++op) ++counts[size_t(lineTables[op >> 12]->classify(op))];
    return counts;
}

TEST(Coverage, EveryLineHasItsCounts) {
    for (uint32_t line = 0; line < 16; ++line) {
        SCOPED_TRACE(line);
        LineCounts counts{};
        uint32_t lineA = 0, lineF = 0;
        for (uint32_t op = line << 12; op < (line + 1) << 12; ++op) {
            Family f = lineTables[line]->classify(op);
            if (f == Family::Illegal)
                ++counts.illegal;
            else if (f == Family::LineA)
                ++lineA;
            else if (f == Family::LineF)
                ++lineF;
            else
                ++counts.executing;
        }
        EXPECT_EQ(counts.executing, expectedCounts[line].executing);
        EXPECT_EQ(counts.illegal, expectedCounts[line].illegal);
        EXPECT_EQ(lineA, line == 0xA ? 4096u : 0u);
        EXPECT_EQ(lineF, line == 0xF ? 4096u : 0u);
    }
}

TEST(Coverage, FamiliesHaveTheirCounts) {
    auto counts = familyCounts();
    struct Case {
        Family family;
        uint32_t words;
    } cases[] = {
        {Family::MoveB, 2650},  {Family::Addq, 1328},     {Family::Subq, 1328},
        {Family::Scc, 800},     {Family::Dbcc, 128},      {Family::Chk, 424},
        {Family::Lea, 224},     {Family::Or, 2280},       {Family::And, 2280},
        {Family::Suba, 976},    {Family::Adda, 976},      {Family::Cmp, 1400},
        {Family::Cmpa, 976},    {Family::Cmpm, 192},      {Family::Eor, 1200},
        {Family::Mulu, 424},    {Family::Muls, 424},      {Family::Divu, 424},
        {Family::Divs, 424},    {Family::MoveFromSr, 50}, {Family::MoveToCcr, 53},
        {Family::MoveToSr, 53}, {Family::Trap, 16},       {Family::IllegalOpcode, 2},
        {Family::Moveq, 2048},  {Family::Exg, 192},       {Family::Abcd, 128},
        {Family::Sbcd, 128},    {Family::Movep, 256},     {Family::Btst, 477},
    };
    for (const Case& c : cases)
        EXPECT_EQ(counts[size_t(c.family)], c.words) << familyName(c.family);
    // The data-alterable immediate forms, the single-operand column, SUB and
    // ADD, and the shifts of memory words.
    uint32_t immediate = 0;
    for (Family f :
         {Family::Ori, Family::Andi, Family::Subi, Family::Addi, Family::Eori, Family::Cmpi})
        immediate += counts[size_t(f)];
    EXPECT_EQ(immediate, 900u);
    EXPECT_EQ(counts[size_t(Family::Negx)] + counts[size_t(Family::Clr)] +
                  counts[size_t(Family::Neg)] + counts[size_t(Family::Not)],
              600u);
    EXPECT_EQ(counts[size_t(Family::Sub)], 2408u);
    EXPECT_EQ(counts[size_t(Family::Add)], 2408u);
    uint32_t memoryShifts = 0;
    for (uint32_t op = 0xE0C0; op < 0xF000; ++op)
        if (sizeField(op) == 3 && executes(lineETable.classify(op))) ++memoryShifts;
    EXPECT_EQ(memoryShifts, 336u);
}

TEST(Coverage, WordsNoPartListsAreIllegal) {
    for (uint32_t op = 0x4E00; op < 0x4E40; ++op)
        EXPECT_EQ(line4Table.classify(op), Family::Illegal) << std::hex << op;
    // The 68000's static BTST #n,#<data> is accepted.
    EXPECT_EQ(line0Table.classify(0x083C), Family::Btst);
    for (uint32_t op : {0x003D, 0x00C0, 0x0C3A, 0x0E00, 0x42C0, 0x4100, 0x4188, 0x41C0, 0x4E74,
                        0x9808, 0xC180, 0xB13C, 0x40FA, 0x44C8, 0x46FD})
        EXPECT_EQ(lineTables[op >> 12]->classify(op), Family::Illegal) << std::hex << op;
}

// The expanded table sends every word to the handler of its run, and the run's
// family is the word's family.
TEST(Coverage, TableFollowsTheClassifier) {
    cpuInitialize();
    uint32_t runs = 0, handlers = 0;
    for (uint32_t line = 0; line < 16; ++line) {
        const LineTable& t = *lineTables[line];
        runs += t.runCount;
        handlers += t.handlerCount;
        uint32_t op = line << 12;
        for (uint32_t k = 0; k < t.runCount; ++k) {
            Handler h = t.handlers[runHandler(t.runs[k])];
            for (uint32_t n = runLength(t.runs[k]); n > 0; --n, ++op) {
                Family f = t.classify(op);
                ASSERT_EQ(t.families[k], f) << std::hex << op;
                ASSERT_EQ(dispatchTable[op], h) << std::hex << op;
                if (f == Family::Illegal)
                    ASSERT_EQ(h, &illegalInstruction) << std::hex << op;
                else if (f == Family::LineA)
                    ASSERT_EQ(h, &lineA) << std::hex << op;
                else if (f == Family::LineF)
                    ASSERT_EQ(h, &lineF) << std::hex << op;
                else // every executing word has a handler of its family
                    ASSERT_TRUE(h != &illegalInstruction && h != &lineA && h != &lineF)
                        << std::hex << op << " " << familyName(f);
            }
        }
        ASSERT_EQ(op, (line + 1) << 12);
    }
    std::printf("%u runs, %u handlers\n", runs, handlers);
}

} // namespace
