// m68k_vectors: runs the single-step vectors, one instruction per test, and
// compares registers, status register, memory and program counter.
//
//   m68k_vectors [--dir DIR] [--lists DIR] [--verbose] [FILE...]
//
// --lists names a folder of lineN.list files: a test then runs only when its
// file is listed for the opcode line of its instruction, so that each
// instruction family joins the run when it is built. Tests in which the real
// CPU took an address error are skipped (this interpreter has none), as are
// the few whose trace exception would take one. A test that starts with T set
// is checked against its final state followed by the trace exception, which
// the interpreter takes in the same run. Cycle counts are compared and
// reported, not failed. Differences that this interpreter makes by design
// (departures*.cpp) are counted apart.
#include "pelmit/m68k/tests/machine.h"
#include "pelmit/m68k/tests/vectors/departures.h"
#include "pelmit/m68k/tests/vectors/vector_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace pelmit::m68k;
using namespace pelmit::m68k::testing;
namespace fs = std::filesystem;

namespace {

constexpr uint32_t memoryBytes = 0x1000000;
constexpr const char* suffix = ".json.bin";

// Data accesses go through handler rows over the whole address space, so that
// every write is seen; instruction fetch reads the same memory in place.
std::vector<uint16_t>* memory;
std::vector<uint32_t> written;

uint32_t readByte(uint32_t a, const DataRegion*) {
    uint16_t w = (*memory)[a >> 1];
    return a & 1 ? w & 0xFF : w >> 8;
}
uint32_t readWord(uint32_t a, const DataRegion*) {
    return (*memory)[a >> 1];
}
void writeByte(uint32_t a, uint32_t v, const DataRegion*) {
    uint16_t& w = (*memory)[a >> 1];
    w = a & 1 ? uint16_t((w & 0xFF00) | v) : uint16_t((w & 0xFF) | v << 8);
    written.push_back(a & ~1u);
}
void writeWord(uint32_t a, uint32_t v, const DataRegion*) {
    (*memory)[a >> 1] = uint16_t(v);
    written.push_back(a & ~1u);
}
void resetDevices() {}

struct Options {
    std::string dir, lists;
    bool verbose = false;
    std::vector<std::string> files;
};

struct Counts {
    uint32_t passed = 0, failed = 0, skipped = 0, cyclesEqual = 0, whitelisted = 0;
};

// Files enabled per opcode line; empty when every test runs.
using Enabled = std::map<uint32_t, std::set<std::string>>;

bool readLists(const std::string& folder, Enabled& enabled) {
    for (uint32_t line = 0; line < 16; ++line) {
        char name[16];
        std::snprintf(name, sizeof name, "line%X.list", line);
        std::ifstream in(fs::path(folder) / name);
        if (!in) {
            std::fprintf(stderr, "m68k_vectors: cannot read %s in %s: %s\n", name, folder.c_str(),
                         std::strerror(errno));
            return false;
        }
        std::string entry;
        while (in >> entry) {
            if (entry[0] == '#') {
                std::getline(in, entry);
                continue;
            }
            enabled[line].insert(entry);
        }
    }
    return true;
}

const Departure* departureFor(const std::string& file, const VectorTest& t) {
    uint16_t op = uint16_t(t.initial.prefetch[0]);
    for (auto* table : {&chargeDepartures(), &decimalAndDivisionDepartures()})
        for (const Departure& d : *table)
            if (file == d.file && (op & d.opMask) == d.opValue && (!d.applies || d.applies(t)))
                return &d;
    return nullptr;
}

// A word of memory as a test expects it, with the bits that are compared.
struct ExpectedWord {
    uint16_t value, mask;
};

// The state the interpreter must reach after a test's one instruction.
struct Expected {
    uint32_t regs[15], usp, ssp, sr, pc;
    bool stopped;
    std::map<uint32_t, ExpectedWord> ram; // by even 24-bit address
    uint32_t traceCycles;                 // the trace exception's charge, when taken
};

constexpr uint16_t opStop = 0x4E72;
constexpr uint32_t traceVector = 9;
constexpr uint32_t traceCharge = 34;

// The vector's final state, and for an instruction that ran with T set the
// trace exception that follows it, which the vectors stop short of (they
// record one instruction). An instruction that entered an exception of its
// own is followed by no trace here. False when the test cannot be checked:
// the chip's trace exception would take an address error on an odd stack.
bool expectedState(const VectorTest& t, uint16_t srIgnored, Expected& e) {
    const VectorState& out = t.final;
    std::copy(out.d, out.d + 8, e.regs);
    std::copy(out.a, out.a + 7, e.regs + 8);
    e.usp = out.usp;
    e.ssp = out.ssp;
    e.sr = out.sr;
    // A stopped CPU has not refilled its prefetch: the vector's PC is the next
    // instruction's own address.
    bool ranOn = t.exceptionVector < 0;
    e.stopped = ranOn && t.initial.prefetch[0] == opStop;
    uint32_t next = e.stopped ? out.pc : out.pc - 4;
    e.pc = next;
    e.traceCycles = 0;
    for (auto [address, word] : out.ram) e.ram[address & 0xFFFFFE] = {word, 0xFFFF};
    if (!(t.initial.sr & 0x8000) || !ranOn) return true;
    if (out.ssp & 1) return false;
    uint32_t frame = out.ssp - 6;
    auto put = [&](uint32_t address, uint32_t word, uint16_t mask) {
        e.ram[address & 0xFFFFFE] = {uint16_t(word), mask};
    };
    put(frame, out.sr, uint16_t(~srIgnored));
    put(frame + 2, next >> 16, 0xFFFF);
    put(frame + 4, next, 0xFFFF);
    e.ssp = frame;
    e.sr = (out.sr & 0x27FF) | 0x2000;
    auto vectorWord = [&](uint32_t address) {
        for (auto* ram : {&out.ram, &t.initial.ram})
            for (auto [at, word] : *ram)
                if ((at & 0xFFFFFE) == address) return uint32_t(word);
        return 0u; // the runner's memory is zero outside a test's words
    };
    e.pc = vectorWord(traceVector * 4) << 16 | vectorWord(traceVector * 4 + 2);
    e.stopped = false;
    e.traceCycles = traceCharge;
    return true;
}

class Runner {
public:
    Runner() : machine_(memoryBytes) {
        memory = &words_;
        words_.assign(memoryBytes / 2, 0);
        for (MapSet* maps : {&machine_.supervisor, &machine_.user}) {
            maps->program = {ProgramRegion{0, memoryBytes - 1, hostOffsetFor(words_.data(), 0)}};
            maps->readByte = {{0, memoryBytes - 1, &readByte, nullptr}};
            maps->readWord = {{0, memoryBytes - 1, &readWord, nullptr}};
            maps->writeByte = {{0, memoryBytes - 1, &writeByte, nullptr}};
            maps->writeWord = {{0, memoryBytes - 1, &writeWord, nullptr}};
        }
        words_[1] = 0x1000; // SSP and PC of the one reset
        words_[3] = 0x1000;
        machine_.install();
        cpuInitialize();
        cpuReset();
        cpuState.resetHandler = &resetDevices;
        words_.assign(memoryBytes / 2, 0);
    }

    // Runs one test; compare() then tells what differed, clear() forgets it.
    uint32_t run(const VectorTest& t) {
        const VectorState& in = t.initial;
        for (auto [address, word] : in.ram) words_[(address & 0xFFFFFF) >> 1] = word;
        uint32_t start = in.pc - 4;
        words_[(start & 0xFFFFFF) >> 1] = uint16_t(in.prefetch[0]);
        words_[((start + 2) & 0xFFFFFF) >> 1] = uint16_t(in.prefetch[1]);
        written.clear();

        CpuState& s = cpuState;
        std::memcpy(s.regs, in.d, sizeof in.d);
        std::memcpy(s.regs + 8, in.a, sizeof in.a);
        bool supervisor = in.sr & 0x2000;
        s.regs[15] = supervisor ? in.ssp : in.usp;
        s.otherStackPointer = supervisor ? in.usp : in.ssp;
        s.sr = uint16_t(in.sr);
        s.pc = start;
        std::memset(s.interruptLatch, 0, sizeof s.interruptLatch);
        cpuTakeCycles();
        cpuRun(0);
        return cpuTakeCycles();
    }

    // "" when the state after the test is the expected one, leaving aside what
    // departure accepts.
    std::string compare(const Expected& e, const Departure* departure) const {
        const CpuState& s = cpuState;
        std::ostringstream diff;
        diff << std::hex;
        auto check = [&](const std::string& what, uint32_t got, uint32_t want) {
            if (got != want) diff << " " << what << " " << got << "/" << want;
        };
        bool nowSupervisor = s.sr & 0x2000;
        if (!departure || !departure->anyState) {
            for (int i = 0; i < 15; ++i)
                check(std::string(i < 8 ? "d" : "a") + std::to_string(i & 7), s.regs[i], e.regs[i]);
            check("usp", nowSupervisor ? s.otherStackPointer : s.regs[15], e.usp);
            check("ssp", nowSupervisor ? s.regs[15] : s.otherStackPointer, e.ssp);
            check("pc", s.pc, e.pc);
            check("stopped", s.interruptLatch[0] & 1, e.stopped);
            for (auto [address, word] : e.ram) {
                std::ostringstream at;
                at << "@" << std::hex << address;
                check(at.str(), words_[address >> 1] & word.mask, word.value & word.mask);
            }
            for (uint32_t address : written)
                if (!e.ram.count(address)) diff << " stray write at " << address;
        }
        uint16_t srMask = uint16_t(0xA71F & ~(departure ? departure->srIgnored : 0));
        check("sr", s.sr & srMask, e.sr & srMask);
        return diff.str();
    }

    // Leaves the memory as zero for the next test.
    void clear(const VectorTest& t) {
        const VectorState& in = t.initial;
        uint32_t start = in.pc - 4;
        for (auto& list : {in.ram, t.final.ram})
            for (auto [address, word] : list) words_[(address & 0xFFFFFF) >> 1] = 0;
        for (uint32_t address : written) words_[address >> 1] = 0;
        words_[(start & 0xFFFFFF) >> 1] = 0;
        words_[((start + 2) & 0xFFFFFF) >> 1] = 0;
    }

private:
    Machine machine_;
    std::vector<uint16_t> words_;
};

bool parse(int argc, char** argv, Options& o) {
    const char* env = std::getenv("JK_M68K_VECTORS_DIR");
    o.dir = env && *env ? env : "../shared/m68000-vectors";
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--dir" && i + 1 < argc)
            o.dir = argv[++i];
        else if (a == "--lists" && i + 1 < argc)
            o.lists = argv[++i];
        else if (a == "--verbose")
            o.verbose = true;
        else if (!a.empty() && a[0] != '-')
            o.files.push_back(a);
        else
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, o)) {
        std::fprintf(stderr,
                     "usage: m68k_vectors [--dir DIR] [--lists DIR] [--verbose] [FILE...]\n");
        return 2;
    }
    if (!fs::is_directory(o.dir)) {
        std::printf("m68k_vectors: no vectors in %s, skipped\n", o.dir.c_str());
        return 77;
    }
    Enabled enabled;
    if (!o.lists.empty() && !readLists(o.lists, enabled)) return 2;
    if (o.files.empty())
        for (const auto& entry : fs::directory_iterator(o.dir)) {
            std::string name = entry.path().filename().string();
            if (name.size() > std::strlen(suffix) && name.ends_with(suffix))
                o.files.push_back(name);
        }
    std::sort(o.files.begin(), o.files.end());

    Runner runner;
    Counts total;
    for (std::string file : o.files) {
        if (!file.ends_with(suffix)) file += suffix;
        std::string stem = file.substr(0, file.size() - std::strlen(suffix));
        std::vector<VectorTest> tests;
        std::string error;
        if (!readVectorFile((fs::path(o.dir) / file).string(), tests, error)) {
            std::printf("%s\n", error.c_str());
            ++total.failed;
            continue;
        }
        Counts c;
        uint32_t shown = 0;
        for (const VectorTest& t : tests) {
            uint16_t op = uint16_t(t.initial.prefetch[0]);
            if (!o.lists.empty() && !enabled[op >> 12].count(stem)) continue;
            const Departure* departure = departureFor(stem, t);
            Expected expected, exact;
            if (t.addressError ||
                !expectedState(t, departure ? departure->srIgnored : 0, expected)) {
                ++c.skipped;
                continue;
            }
            expectedState(t, 0, exact);
            uint32_t cycles = runner.run(t) - expected.traceCycles;
            std::string diff = runner.compare(expected, departure);
            bool departed = departure && departure->cycles == int32_t(cycles) && cycles != t.cycles;
            if (diff.empty() && departure && !runner.compare(exact, nullptr).empty())
                departed = true;
            runner.clear(t);
            if (cycles == t.cycles)
                ++c.cyclesEqual;
            else if (o.verbose && !departed)
                std::printf("  %s: cycles %u, vector %u\n", t.name.c_str(), cycles, t.cycles);
            if (diff.empty()) {
                ++(departed ? c.whitelisted : c.passed);
                continue;
            }
            if (o.verbose || shown < 3) {
                std::printf("  %s:%s\n", t.name.c_str(), diff.c_str());
                ++shown;
            }
            ++c.failed;
        }
        if (c.passed + c.failed + c.skipped + c.whitelisted == 0) continue;
        std::printf("%s passed %u failed %u skipped %u cycles-equal %u whitelisted %u\n",
                    stem.c_str(), c.passed, c.failed, c.skipped, c.cyclesEqual, c.whitelisted);
        total.passed += c.passed + c.whitelisted;
        total.failed += c.failed;
        total.skipped += c.skipped;
    }
    std::printf("%u passed, %u failed, %u skipped\n", total.passed, total.failed, total.skipped);
    return total.failed ? 1 : 0;
}
