// Speed of the interpreter: the dispatch loop on straight code, and the
// shared replay-shaped workload (mix.bin), which needs every opcode line.
#include "pelmit/m68k/bench/straight_code.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

using namespace pelmit::m68k;
using namespace pelmit::m68k::testing;

namespace {

constexpr uint32_t codeStart = 0x1000;

void BM_Nop(benchmark::State& state) {
    straightCode(state, {0x4E71}, 1);
}
BENCHMARK(BM_Nop);

// ORI #n,CCR; MOVE SR,D0; MOVE D1,CCR
void BM_ConditionCodes(benchmark::State& state) {
    straightCode(state, {0x003C, 0x0011, 0x40C0, 0x44C1}, 3);
}
BENCHMARK(BM_ConditionCodes);

// A copy loop of 10,000 passes, seven instructions each, ended by a RESET:
//   lea 0x80000,a0; lea 0x90000,a1; move.w #9999,d0
//   loop: move.l (a0)+,d1; move.w d1,(a1)+; addq.l #1,d2; tst.w d1
//         bne.s skip; subq.w #1,d3
//   skip: dbf d0,loop
void BM_CopyLoop(benchmark::State& state) {
    Machine m(0x100000);
    m.code(codeStart, {0x41F9, 0x0008, 0x0000, 0x43F9, 0x0009, 0x0000, 0x303C, 0x270F, 0x2218,
                       0x32C1, 0x5282, 0x4A41, 0x6602, 0x5343, 0x51C8, 0xFFF2, 0x4E70});
    m.boot(0x100000, codeStart);
    for (auto _ : state) {
        cpuState.pc = codeStart;
        benchmark::DoNotOptimize(cpuRun(INT_MAX));
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * (3 + 10000 * 7));
}
BENCHMARK(BM_CopyLoop);

// The shared workload: 1 MB of RAM, the program at 0x1000, every exception
// to 0x1004; it ends by writing a byte to DONE.
constexpr uint32_t doneAddress = 0x0F0010;
constexpr uint64_t mixInstructions = 664015101;
bool done;
uint8_t* mixRam;

void doneWrite(uint32_t address, uint32_t value, const DataRegion*) {
    mixRam[address ^ 1] = uint8_t(value);
    done = true;
    cpuEndSlice();
}

void BM_Mix(benchmark::State& state) {
    const char* dir = std::getenv("JK_M68K_BENCH_DIR");
    std::filesystem::path path =
        std::filesystem::path(dir ? dir : "../shared/m68k-bench") / "mix.bin";
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> program((std::istreambuf_iterator<char>(in)), {});
    if (program.empty()) return state.SkipWithError("mix.bin not found (JK_M68K_BENCH_DIR)");
    Machine m(0x100000);
    mixRam = m.ram();
    // DONE gets a handler row; the RAM row stays first for the fast path.
    m.supervisor.writeByte = {m.plainRow(0, 0xEFFFF),
                              {0xF0000, 0xF00FF, &doneWrite, nullptr},
                              m.plainRow(0xF0100, 0xFFFFF)};
    uint64_t cycles = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::fill(m.ram(), m.ram() + m.size(), 0);
        for (size_t i = 0; i < program.size(); ++i) m.write8(codeStart + uint32_t(i), program[i]);
        for (uint32_t v = 2; v < 256; ++v) m.write32(v * 4, 0x1004);
        m.boot(0x100000, codeStart);
        cpuTakeCycles();
        done = false;
        state.ResumeTiming();
        uint64_t runCycles = 0;
        while (!done) {
            cpuRun(1000000);
            runCycles += cpuTakeCycles();
            // An exception loop of unbuilt instructions eats the stack.
            if (cpuState.regs[15] < 0xE0000 || runCycles > 20000000000ull) break;
        }
        cycles += runCycles;
        state.PauseTiming();
        if (!done || m.read8(doneAddress) != 1 || m.read32(0xF0000) != 0x1F451818) {
            state.SkipWithError("mix.bin did not finish with its result (instruction families "
                                "missing?)");
            break;
        }
        // The result tells a finished run; m68k_bench checks the whole end
        // state, the README's hash of the RAM included.
        state.ResumeTiming();
    }
    state.SetItemsProcessed(int64_t(state.iterations() * mixInstructions));
    state.counters["cycles"] = double(cycles) / double(state.iterations() ? state.iterations() : 1);
}
BENCHMARK(BM_Mix)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
