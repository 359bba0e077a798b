// A fixture that runs one instruction at a time on a flat machine, in
// supervisor mode, every exception vector leading to the same address.
#pragma once

#include "pelmit/m68k/core.h"
#include "pelmit/m68k/tests/machine.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace pelmit::m68k::testing {

class SingleStep : public ::testing::Test {
protected:
    static constexpr uint32_t codeStart = 0x1000;
    static constexpr uint32_t stackTop = 0x8000;
    static constexpr uint32_t handlerAt = 0x3000;

    Machine m;

    void SetUp() override {
        for (uint32_t v = 2; v < 64; ++v) m.write32(v * 4, handlerAt);
        ASSERT_EQ(m.boot(stackTop, codeStart), 0u);
        cpuTakeCycles();
    }

    // Runs the instruction of these words with the condition codes ccr
    // (X N Z V C in bits 4-0) and gives the cycles it charged.
    uint32_t run(std::initializer_list<uint16_t> words, uint32_t ccr = 0) {
        m.code(codeStart, words);
        cpuState.pc = codeStart;
        cpuState.sr = uint16_t(0x2700 | (ccr & 0x1F));
        cpuRun(0);
        return cpuTakeCycles();
    }

    static uint32_t& d(uint32_t n) { return cpuState.regs[n]; }
    static uint32_t& a(uint32_t n) { return cpuState.regs[8 + n]; }
    static uint32_t ccr() { return cpuState.sr & 0x1F; }
};

// Condition-code bits.
constexpr uint32_t ccC = 1, ccV = 2, ccZ = 4, ccN = 8, ccX = 16;

} // namespace pelmit::m68k::testing
