// One second of emulated playback: a typical replay routine called once a
// tick through the resident stub (50 ticks), each tick mixed into one block,
// as the decode thread pulls it. The "realtime" counter is seconds of music
// per second of host time; the 68000 work per tick is given beside it.
#include "pelmit/amiga/amiga_machine.h"
#include "pelmit/mixer/audio_engine.h"
#include "pelmit/mixer/mixer.h"
#include "pelmit/settings.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <iterator>
#include <vector>

using namespace pelmit;

namespace {

const uint16_t replay[] = {
#include "replay.inc"
};

constexpr uint32_t ticksPerSecond = 50;
constexpr uint32_t framesPerTick = 882;

struct Playback {
    VoiceSet* voices = nullptr;
    AmigaMachine machine;
    std::vector<int16_t> block = std::vector<int16_t>(2 * framesPerTick);

    Playback() {
        settings.SampleRate = 44100;
        if (!mixer.connect()) return;
        voices = mixer.allocateVoices(4);
        if (!voices || !machine.bootMachine()) return;
        machine.setVoiceSet(voices);
        machine.pokeWords(tuneAddress, replay, uint32_t(std::size(replay)));
        audioEngine.setBpm(125);
    }
    ~Playback() {
        mixer.releaseVoices(voices);
        mixer.disconnect();
    }
    // The routine returns to the stub every tick, and a row starts the voices.
    bool ready() {
        if (!voices || !machine.booted()) return false;
        const uint32_t none[amigaRegisterCount] = {};
        machine.runAmigaRoutine(tuneAddress, none);
        return m68k::cpuState.pc == 0x1082 && mixer.voiceState(voices->voices[0]).position;
    }
};

void runSecond(benchmark::State& state, bool mix) {
    Playback p;
    if (!p.ready()) {
        state.SkipWithError("no machine");
        return;
    }
    const uint32_t none[amigaRegisterCount] = {};
    uint64_t cycles = 0;
    m68k::cpuTakeCycles();
    for (auto _ : state) {
        for (uint32_t t = 0; t < ticksPerSecond; ++t) {
            p.machine.runAmigaRoutine(tuneAddress, none);
            if (mix) {
                mixer.renderVoices(p.voices);
                mixer.readBlock(p.block.data(), framesPerTick);
            }
        }
        benchmark::DoNotOptimize(p.block.data());
        cycles += m68k::cpuTakeCycles();
    }
    state.counters["realtime"] =
        benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
    // The routine's 68000 cycles a tick, the stub's call and return included.
    state.counters["cycles_per_tick"] =
        double(cycles) / double(std::max<uint64_t>(1, state.iterations() * ticksPerSecond));
}

void BM_EmulatedSecondMixed(benchmark::State& state) {
    runSecond(state, true);
}
void BM_EmulatedSecondCpuOnly(benchmark::State& state) {
    runSecond(state, false);
}

// A tune whose routine never returns costs a whole budget on every tick.
void BM_RunawayTick(benchmark::State& state) {
    Playback p;
    if (!p.ready()) {
        state.SkipWithError("no machine");
        return;
    }
    const uint16_t loopForever = 0x60FE; // bra.s *
    p.machine.pokeWords(0x3000, &loopForever, 1);
    const uint32_t none[amigaRegisterCount] = {};
    for (auto _ : state) p.machine.runAmigaRoutine(0x3000, none);
}

} // namespace

BENCHMARK(BM_RunawayTick)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EmulatedSecondMixed)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EmulatedSecondCpuOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
