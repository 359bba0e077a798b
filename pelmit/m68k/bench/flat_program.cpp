// m68k_bench [--runs N] [--benchmark_filter=REGEX] [FLAT.bin]: the interpreter's speed on a
// flat 68000 program.
//
// The program runs from reset in 1 MB of plain RAM: loaded at 0x1000, the
// supervisor stack at 0x100000, every exception vector at 0x1004, until it
// writes a byte to DONE (0x0F0010). A first run counts the instructions;
// five timed runs follow (N with --runs: an emulated CPU takes long over
// each), and the line printed gives their median:
//
//   instructions N seconds S mips M
//
// For the shared workload (mix.bin, known by its bytes) the DONE byte, the
// result, the hash of the whole RAM and the instruction count are checked
// against its README; for another program the end state is only shown.
// Without an argument the program is mix.bin from JK_M68K_BENCH_DIR, the
// folder known when the tree was configured, or ../shared/m68k-bench.
//
// "./run bench" hands every benchmark program the same options: this one is
// the benchmark "m68k_bench", run only when a --benchmark_filter selects it
// (an expression found in the name; a leading "-" excludes what it matches),
// and other --benchmark options are left to the other programs.
#include "pelmit/m68k/core.h"
#include "pelmit/m68k/tests/machine.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace pelmit::m68k;
using namespace pelmit::m68k::testing;

namespace {

constexpr uint32_t ramBytes = 0x100000;
constexpr uint32_t loadAddress = 0x1000;
constexpr uint32_t exceptionRoutine = 0x1004;
constexpr uint32_t doneLow = 0xF0000, doneHigh = 0xF00FF, doneAddress = 0xF0010;
constexpr uint32_t resultAddress = 0xF0000;
constexpr int32_t slice = 10000000; // the budget of one call into replay code
constexpr int defaultTimedRuns = 5;

// What the shared workload must leave behind.
constexpr uint64_t mixFileHash = 0x379dd82c08472fffull; // FNV-1a 64 of its 1,676 bytes
constexpr uint32_t mixResult = 0x1F451818;
constexpr uint64_t mixRamHash = 0x835f99abc4e8717full;
constexpr uint64_t mixInstructions = 664015101;

uint64_t fnv1a(const uint8_t* data, size_t size) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 0x100000001b3ull;
    return hash;
}

Machine* machine;
bool done;

// DONE sits in a handler row of its own after the RAM row, so that every
// other access keeps the fast path.
void doneWrite(uint32_t address, uint32_t value, const DataRegion*) {
    machine->write8(address, uint8_t(value));
    if (address == doneAddress) {
        done = true;
        cpuEndSlice();
    }
}

// Instruction counting: every entry of the dispatch table goes through here.
Handler realHandlers[65536];
uint64_t executed;
void countInstruction(uint32_t op) {
    ++executed;
    realHandlers[op](op);
}

// Fresh RAM with the program and its vectors, and a reset CPU.
bool load(const std::vector<uint8_t>& program) {
    Machine& m = *machine;
    std::fill(m.ram(), m.ram() + m.size(), 0);
    for (size_t i = 0; i < program.size(); ++i) m.write8(loadAddress + uint32_t(i), program[i]);
    m.write32(0, ramBytes);
    m.write32(4, loadAddress);
    for (uint32_t v = 2; v < 256; ++v) m.write32(v * 4, exceptionRoutine);
    cpuTakeCycles();
    done = false;
    return cpuReset() == 0;
}

// Runs to the DONE write, in slices as the replay code's callers run it.
bool runToDone() {
    uint64_t cycles = 0;
    while (!done && cycles < 20000000000ull) {
        uint32_t result = cpuRun(slice);
        cycles += cpuTakeCycles();
        if (result != runEnded) return false; // a fatal program counter or a halt
    }
    return done;
}

struct EndState {
    uint32_t doneByte, result;
    uint64_t ramHash;
    bool operator==(const EndState&) const = default;
};

EndState endState() {
    Machine& m = *machine;
    std::vector<uint8_t> bytes(m.size());
    for (uint32_t a = 0; a < m.size(); ++a) bytes[a] = m.read8(a);
    return {m.read8(doneAddress), m.read32(resultAddress), fnv1a(bytes.data(), bytes.size())};
}

constexpr const char* benchmarkName = "m68k_bench";

// The expressions a filter is made of, as far as one name needs them: "."
// any character, "*" the one before repeated, "^" and "$" the ends of the
// name; every other character stands for itself.
bool matchesHere(const char* re, const char* text);

bool matchesRepeated(char c, const char* re, const char* text) {
    do {
        if (matchesHere(re, text)) return true;
    } while (*text && (*text++ == c || c == '.'));
    return false;
}

bool matchesHere(const char* re, const char* text) {
    if (!*re) return true;
    if (re[1] == '*') return matchesRepeated(re[0], re + 2, text);
    if (re[0] == '$' && !re[1]) return !*text;
    if (*text && (re[0] == '.' || re[0] == *text)) return matchesHere(re + 1, text + 1);
    return false;
}

bool foundIn(const std::string& re, const char* text) {
    if (!re.empty() && re[0] == '^') return matchesHere(re.c_str() + 1, text);
    do {
        if (matchesHere(re.c_str(), text)) return true;
    } while (*text++);
    return false;
}

// Google Benchmark's reading of a filter: "", "." and "all" take every
// benchmark; otherwise the expression (alternatives joined by "|") is
// searched for in the name, and a leading "-" turns the choice round.
bool selectedBy(std::string filter) {
    if (filter.empty() || filter == "." || filter == "all") return true;
    const bool negative = filter[0] == '-';
    if (negative) filter.erase(0, 1);
    bool found = false;
    for (size_t start = 0; start <= filter.size() && !found;) {
        size_t end = filter.find('|', start);
        if (end == std::string::npos) end = filter.size();
        found = foundIn(filter.substr(start, end - start), benchmarkName);
        start = end + 1;
    }
    return found != negative;
}

struct Options {
    std::string path;
    int timedRuns = defaultTimedRuns;
    bool shared = false;
    bool selected = true;
};

bool parse(int argc, char** argv, Options& o) {
    const std::string filterOption = "--benchmark_filter=";
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a.rfind(filterOption, 0) == 0) {
            o.selected = selectedBy(a.substr(filterOption.size()));
            continue;
        }
        if (a.rfind("--benchmark", 0) == 0) continue;
        if (a == "--runs" && i + 1 < argc) {
            o.timedRuns = std::atoi(argv[++i]);
            if (o.timedRuns < 1 || o.timedRuns > 100) return false;
            continue;
        }
        if (!o.path.empty() || a.empty() || a[0] == '-') return false;
        o.path = a;
    }
    o.shared = o.path.empty();
    if (o.shared) {
        const char* env = std::getenv("JK_M68K_BENCH_DIR");
        std::string dir = env && *env ? env : JK_CONFIGURED_BENCH_DIR;
        o.path = (dir.empty() ? std::string("../shared/m68k-bench") : dir) + "/mix.bin";
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: m68k_bench [--runs 1-100] [--benchmark_filter=REGEX] [FLAT.bin]\n");
        return 2;
    }
    // Not chosen: nothing to run, as a Google Benchmark program whose
    // benchmarks the filter leaves out ends quietly.
    if (!options.selected) return 0;
    const std::string& path = options.path;
    const int timedRuns = options.timedRuns;
    const bool shared = options.shared;
    std::ifstream in(path, std::ios::binary);
    // The shared workload lies beside the checkout, where there may be none:
    // then there is nothing to measure (77, the tests' "skipped").
    if (shared && !in) {
        std::printf("m68k_bench: no workload at %s, skipped\n", path.c_str());
        return 77;
    }
    std::vector<uint8_t> program((std::istreambuf_iterator<char>(in)), {});
    if (program.empty() || program.size() > ramBytes - loadAddress) {
        std::fprintf(stderr, "m68k_bench: cannot load %s\n", path.c_str());
        return 2;
    }
    bool isMix = fnv1a(program.data(), program.size()) == mixFileHash;

    Machine m(ramBytes);
    machine = &m;
    m.supervisor.writeByte = {m.plainRow(0, doneLow - 1),
                              {doneLow, doneHigh, &doneWrite, nullptr},
                              m.plainRow(doneHigh + 1, ramBytes - 1)};
    m.user.writeByte = m.supervisor.writeByte;
    m.install();
    cpuInitialize();

    // The counting run.
    std::copy(std::begin(dispatchTable), std::end(dispatchTable), realHandlers);
    std::fill(std::begin(dispatchTable), std::end(dispatchTable), &countInstruction);
    executed = 0;
    bool finished = load(program) && runToDone();
    std::copy(std::begin(realHandlers), std::end(realHandlers), dispatchTable);
    EndState counted = endState();
    std::printf("end: done %u result %08X ram %016llX instructions %llu\n", counted.doneByte,
                counted.result, static_cast<unsigned long long>(counted.ramHash),
                static_cast<unsigned long long>(executed));
    if (!finished) {
        std::fprintf(stderr, "m68k_bench: the program did not write to DONE\n");
        return 1;
    }
    if (isMix && (counted.doneByte != 1 || counted.result != mixResult ||
                  counted.ramHash != mixRamHash || executed != mixInstructions)) {
        std::fprintf(stderr,
                     "m68k_bench: mix.bin did not end as its README says (RAM hash "
                     "%016llX, instructions %llu)\n",
                     static_cast<unsigned long long>(mixRamHash),
                     static_cast<unsigned long long>(mixInstructions));
        return 1;
    }

    std::vector<double> seconds;
    for (int run = 0; run < timedRuns; ++run) {
        if (!load(program)) return 1;
        auto start = std::chrono::steady_clock::now();
        bool timedFinished = runToDone();
        auto end = std::chrono::steady_clock::now();
        if (!timedFinished || !(endState() == counted)) {
            std::fprintf(stderr, "m68k_bench: a timed run ended differently\n");
            return 1;
        }
        seconds.push_back(std::chrono::duration<double>(end - start).count());
    }
    std::sort(seconds.begin(), seconds.end());
    double median = seconds[timedRuns / 2];
    std::printf("instructions %llu seconds %.3f mips %.1f\n",
                static_cast<unsigned long long>(executed), median, double(executed) / median / 1e6);
    return 0;
}
