// Benchmarks of instructions on straight code: a group of instruction words
// repeated through RAM, run from its start to the end in one run.
#pragma once

#include "pelmit/m68k/core.h"
#include "pelmit/m68k/tests/machine.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <climits>
#include <initializer_list>

namespace pelmit::m68k::testing {

// The words (that many instructions) repeated below 0xF0000 from 0x1000, ended
// by a RESET with no handler, which ends the run. Every run starts from the
// given D0-D7 and A0-A7 when there are any.
inline void straightCode(benchmark::State& state, std::initializer_list<uint16_t> words,
                         int64_t instructions, const uint32_t* registers = nullptr) {
    constexpr uint32_t codeStart = 0x1000;
    Machine m(0x100000);
    uint32_t a = codeStart, count = 0;
    while (a + 2 * words.size() < 0xF0000) {
        for (uint16_t w : words) {
            m.write16(a, w);
            a += 2;
        }
        ++count;
    }
    m.write16(a, 0x4E70);
    m.boot(0x100000, codeStart);
    for (auto _ : state) {
        if (registers) std::copy(registers, registers + 16, cpuState.regs);
        cpuState.pc = codeStart;
        benchmark::DoNotOptimize(cpuRun(INT_MAX));
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * count * instructions);
}

} // namespace pelmit::m68k::testing
