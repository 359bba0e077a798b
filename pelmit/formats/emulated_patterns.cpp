#include "pelmit/formats/emulated_patterns.h"

#include "pelmit/formats/structure_reader.h"

#include <algorithm>

namespace pelmit {

namespace {

constexpr uint16_t leaToA0 = 0x41FA; // LEA (d16,PC),A0
constexpr uint16_t leaToA5 = 0x4BFA; // LEA (d16,PC),A5
constexpr uint16_t braWord = 0x6000; // BRA.W
constexpr uint16_t bsrWord = 0x6100; // BSR.W
constexpr uint16_t movemToStack = 0x48E7;
constexpr uint16_t movemFromStack = 0x4CDF;
constexpr uint16_t jmpPcRelative = 0x4EFA;
constexpr uint16_t jmpAbsolute = 0x4EF9;
constexpr uint16_t rts = 0x4E75;

// How far a PC-relative reference to the Hippel tag may reach.
constexpr uint32_t hippelTagReach = 0x4000;

bool hasTag(const TuneWords& tune, int64_t offset, uint16_t high, uint16_t low) {
    return tune.has(offset, high) && tune.has(offset + 2, low);
}

// Words at word indices relative to j, each as given.
struct WordAt {
    int32_t delta;
    uint16_t value;
};

template <size_t N>
bool matches(const TuneWords& tune, int64_t j, const WordAt (&pattern)[N]) {
    return std::all_of(pattern, pattern + N,
                       [&](const WordAt& w) { return tune.has(2 * (j + w.delta), w.value); });
}

// The first word index in from .. from + positions - 1 where the pattern holds.
template <size_t N>
std::optional<uint32_t> search(const TuneWords& tune, uint32_t from, uint32_t positions,
                               const WordAt (&pattern)[N]) {
    const uint64_t end = std::min<uint64_t>(uint64_t(from) + positions, tune.words.size());
    for (uint64_t j = from; j < end; ++j)
        if (matches(tune, int64_t(j), pattern)) return uint32_t(j);
    return std::nullopt;
}

} // namespace

std::optional<uint16_t> TuneWords::at(int64_t offset) const {
    if (offset < 0 || (offset & 1) || uint64_t(offset / 2) >= words.size()) return std::nullopt;
    return words[size_t(offset / 2)];
}

std::optional<uint32_t> TuneWords::forward(int64_t offset, uint32_t limit) const {
    std::optional<uint16_t> d = at(offset);
    if (!d || (*d & 0x8000) || (*d & 1) || *d >= limit) return std::nullopt;
    return *d;
}

TuneWords readTuneWords(std::FILE* stream, uint32_t maxBytes) {
    TuneWords tune;
    if (!stream) return tune;
    const long start = std::ftell(stream);
    if (std::fseek(stream, 0, SEEK_END) == 0) {
        const long size = std::ftell(stream);
        tune.fileSize = size > 0 ? uint32_t(std::min<long>(size, 0x7FFFFFFF)) : 0;
    }
    const uint32_t count = std::min(tune.fileSize, maxBytes) / 2;
    if (std::fseek(stream, 0, SEEK_SET) == 0) {
        tune.words.reserve(count);
        for (uint32_t i = 0; i < count; ++i) {
            uint16_t w = readBe16(stream);
            if (std::feof(stream) || std::ferror(stream)) break;
            tune.words.push_back(w);
        }
    }
    std::clearerr(stream);
    if (start >= 0) std::fseek(stream, start, SEEK_SET);
    return tune;
}

std::optional<HippelTag> findHippelTag(const TuneWords& tune, uint32_t from, uint32_t positions) {
    for (uint64_t k = 0; k < positions; ++k) {
        const int64_t p = int64_t(from) + 2 * int64_t(k);
        if (uint64_t(p / 2) >= tune.words.size()) break;
        if (!tune.has(p, leaToA0)) continue;
        std::optional<uint32_t> d = tune.forward(p + 2, hippelTagReach);
        if (!d) continue;
        const int64_t tag = p + 2 + *d;
        if (hasTag(tune, tag, 0x5446, 0x4D58)) return HippelTag{uint32_t(tag), false}; // "TFMX"
        if (hasTag(tune, tag, 0x434F, 0x534F)) return HippelTag{uint32_t(tag), true};  // "COSO"
    }
    return std::nullopt;
}

uint32_t hippelPlayOffset(const TuneWords& tune) {
    auto word = [&](int64_t index) { return tune.at(2 * index).value_or(0); };
    if ((word(0) >> 8) == 0x60 && (word(1) >> 8) == 0x60 &&
        (word(2) == movemToStack || word(2) == leaToA0))
        return 2;
    if (word(0) == braWord && word(2) == braWord &&
        (word(4) == movemToStack ||
         (word(4) == braWord && word(6) == braWord && word(8) == movemToStack)))
        return 4;
    return 0;
}

void patchHippel(TuneWords& tune) {
    // The branch at the start leads to the init code.
    int64_t t;
    const uint16_t first = tune.at(0).value_or(0);
    if (first == braWord) {
        std::optional<uint32_t> d = tune.forward(2);
        if (!d) return;
        t = 2 + *d;
    } else if ((first >> 8) == 0x60 && (first & 0xFF) < 0x80 && !(first & 1)) {
        t = 2 + (first & 0xFF);
    } else {
        return;
    }
    // The init code calls (or is) the set-up routine Q, which calls R, which
    // points A0 at the word S.
    int64_t q;
    if (tune.has(t + 4, bsrWord)) {
        std::optional<uint32_t> d = tune.forward(t + 6);
        if (!d) return;
        q = t + 6 + *d;
    } else if (tune.has(t + 4, leaToA0)) {
        q = t + 8;
    } else {
        return;
    }
    if (!tune.has(q + 2, bsrWord)) return;
    std::optional<uint32_t> d = tune.forward(q + 4);
    if (!d) return;
    const int64_t r = q + 4 + *d;
    if (!tune.has(r, leaToA0)) return;
    d = tune.forward(r + 2);
    if (!d) return;
    const int64_t s = r + 2 + *d;
    if (tune.at(s)) tune.words[size_t(s / 2)] = 0;
}

bool hasMonJumpTable(const TuneWords& tune) {
    return tune.has(0, jmpPcRelative) && tune.has(4, jmpPcRelative) && tune.has(8, jmpPcRelative) &&
           !tune.has(12, jmpPcRelative);
}

std::optional<uint32_t> findMonSubsongCheck(const TuneWords& tune, uint32_t lastWord) {
    // LEA (d16,PC),A5; ANDI.L #0xFF,D0; five words; SUBQ.B #1,D0; CMP.B (d16,A5),D0
    static const WordAt check[] = {{0, leaToA5}, {2, 0x0280},  {3, 0x0000},
                                   {4, 0x00FF},  {10, 0x5300}, {11, 0xB02D}};
    for (uint64_t i = 0; i <= lastWord && i < tune.words.size(); ++i) {
        // The CMP.B's displacement must be in the file too.
        if (matches(tune, int64_t(i), check) && tune.at(2 * (int64_t(i) + 12))) return uint32_t(i);
    }
    return std::nullopt;
}

uint32_t monSubsongCountOffset(const TuneWords& tune, uint32_t i) {
    const uint32_t lea = tune.at(2 * (int64_t(i) + 1)).value_or(0) & 0xFFFE;
    const uint32_t cmp = tune.at(2 * (int64_t(i) + 12)).value_or(0) & 0xFFFE;
    return 2 * i + 2 + lea + cmp;
}

bool hasDeltaMusic2Tag(const TuneWords& tune) {
    return hasTag(tune, 3014, 0x2E46, 0x4E4C); // ".FNL"
}

std::optional<SidMonRoutines> findSidMonRoutines(const TuneWords& tune) {
    // Init: two LEA (d16,PC),A0 each followed by ADDA.L (d16,A0),A0.
    static const WordAt init[] = {{0, leaToA0}, {2, 0xD1E8}, {7, leaToA0}, {9, 0xD1E8}};
    // Play: MOVEM.L to the stack, LEA, MOVE.W #1,(A0), then the address 0xDFF0A0.
    static const WordAt play[] = {{0, movemToStack}, {2, leaToA0}, {4, 0x30BC},
                                  {5, 0x0001},       {9, 0x00DF},  {10, 0xF0A0}};
    // The end of play: BSR.W, MOVEM.L from the stack, then RTS or JMP abs.L.
    static const WordAt exitRts[] = {{-2, bsrWord}, {0, movemFromStack}, {2, rts}};
    static const WordAt exitJmp[] = {{-2, bsrWord}, {0, movemFromStack}, {2, jmpAbsolute}};

    std::optional<uint32_t> a = search(tune, 0, 128, init);
    if (!a) return std::nullopt;
    std::optional<uint32_t> b = search(tune, *a + 1, 256, play);
    if (!b) return std::nullopt;
    std::optional<uint32_t> c = search(tune, *b + 1, 256, exitRts);
    std::optional<uint32_t> j = search(tune, *b + 1, 256, exitJmp);
    if (!c || (j && *j < *c)) c = j;
    if (!c) return std::nullopt;
    return SidMonRoutines{*a, *b, *c + 2};
}

} // namespace pelmit
