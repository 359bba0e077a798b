// The dispatch table and the run-length lists it is built from.
//
// Each opcode line has one source file, lineN.cpp, holding a decoder:
//
//   struct LineN {
//       static constexpr uint32_t line = N;
//       // The family of every word of the line (Family::Illegal for words that
//       // execute no instruction): the decode rules of the line, in one place.
//       static constexpr Family classify(uint32_t op);
//       // The handler of each word, chosen by its family and fields.
//       template <uint32_t Op> static constexpr Handler handler();
//   };
//   const LineTable lineNTable = lineTableOf<LineN>;
//
// At compile time lineTableOf runs the decoder over the line's 4,096 words and
// turns the result into HandlerRun words (bits 31-24 run length - 1, bits 23-0
// the handler's index) with the family of each run; cpuInitialize expands the
// sixteen lists into the 65,536 entries of dispatchTable. The list and the
// decode rules therefore cannot drift apart, and the coverage test checks the
// expanded table against classify word by word.
//
// HOWTO add an instruction family:
//   1. Write its handlers as templates in a header of its own (fixed fields as
//      template parameters, the register of bits 2-0 read at run time), using
//      the operand library of operands.h and the flag helpers of flags.h.
//      Handlers must be defined where the line file sees them (templates or
//      inline functions): the runs are formed by comparing handler addresses
//      at compile time, which needs their definitions.
//   2. In the lineN.cpp of each line it occupies, include that header and
//      return its handlers from handler<Op>() for its Family, in place of the
//      fallback. classify already names the family of every word.
//   3. Add its vector files to tests/vectors/lineN.list so that the vector
//      runner checks it (designed differences from the vectors go into
//      the departure tables of tests/vectors), and programs
//      that use it to tests/qemu for the differential harness.
// A family that classify names and no handler<Op>() serves does not compile.
#pragma once

#include "pelmit/m68k/core.h"
#include "pelmit/m68k/decode.h"
#include "pelmit/m68k/families.h"

#include <array>
#include <cstddef>
#include <utility>

namespace pelmit::m68k {

// The handler of the words that no family handler serves: those that execute
// no instruction, and lines A and F.
template <Family F>
constexpr Handler fallbackHandler() {
    static_assert(F == Family::Illegal || F == Family::LineA || F == Family::LineF,
                  "a family of the line has no handler");
    if constexpr (F == Family::Illegal)
        return &illegalInstruction;
    else if constexpr (F == Family::LineA)
        return &lineA;
    else
        return &lineF;
}

struct LineTable {
    const uint32_t* runs;    // HandlerRun words in opcode order
    const Handler* handlers; // distinct handlers of the line
    const Family* families;  // the family of each run
    uint32_t runCount;
    uint32_t handlerCount;
    Family (*classify)(uint32_t op);
};

constexpr uint32_t runLength(uint32_t run) {
    return (run >> 24) + 1;
}
constexpr uint32_t runHandler(uint32_t run) {
    return run & 0xFFFFFF;
}

namespace detail {

template <class D>
struct BuiltLine {
    static constexpr uint32_t first = D::line << 12;

    static constexpr std::array<Handler, 4096> words =
        []<std::size_t... I>(std::index_sequence<I...>) {
        return std::array<Handler, 4096>{D::template handler<first + I>()...};
    }
    (std::make_index_sequence<4096>{});

    // A run ends where the handler or the family changes, or at 256 words.
    static constexpr bool startsRun(uint32_t i, uint32_t length) {
        return i == 0 || length == 256 || words[i] != words[i - 1] ||
               D::classify(first + i) != D::classify(first + i - 1);
    }

    // The distinct handlers in order of first use and the index of each
    // word's handler, in one pass: only a word whose handler differs from the
    // previous word's is looked up, which keeps the compile-time work within
    // the compilers' limits for lines of a few hundred handlers.
    struct Indexed {
        std::array<Handler, 4096> handlers{};
        std::array<uint16_t, 4096> index{};
        uint32_t handlerCount = 0;
        uint32_t runCount = 0;
    };

    static constexpr Indexed indexed = [] {
        Indexed x;
        uint32_t length = 0;
        for (uint32_t i = 0; i < 4096; ++i) {
            if (startsRun(i, length)) {
                ++x.runCount;
                length = 0;
            }
            ++length;
            if (i > 0 && words[i] == words[i - 1]) {
                x.index[i] = x.index[i - 1];
                continue;
            }
            uint32_t k = 0;
            while (k < x.handlerCount && x.handlers[k] != words[i]) ++k;
            if (k == x.handlerCount) x.handlers[x.handlerCount++] = words[i];
            x.index[i] = uint16_t(k);
        }
        return x;
    }();

    struct Sizes {
        uint32_t runs = 0;
        uint32_t handlers = 0;
    };

    static constexpr Sizes sizes = {indexed.runCount, indexed.handlerCount};

    static constexpr std::array<Handler, sizes.handlers> handlers = [] {
        std::array<Handler, sizes.handlers> out{};
        for (uint32_t k = 0; k < sizes.handlers; ++k) out[k] = indexed.handlers[k];
        return out;
    }();

    struct RunList {
        std::array<uint32_t, sizes.runs> runs{};
        std::array<Family, sizes.runs> families{};
    };

    static constexpr RunList list = [] {
        RunList out;
        uint32_t n = 0, length = 0;
        for (uint32_t i = 0; i < 4096; ++i) {
            if (startsRun(i, length)) {
                length = 0;
                out.runs[n] = indexed.index[i];
                out.families[n] = D::classify(first + i);
                ++n;
            } else {
                out.runs[n - 1] += 1u << 24;
            }
            ++length;
        }
        return out;
    }();

    static constexpr bool coversLine() {
        uint32_t total = 0;
        for (uint32_t run : list.runs) total += runLength(run);
        return total == 4096;
    }
    static_assert(coversLine(), "the runs of a line cover its 4,096 words");
};

} // namespace detail

// A line whose every word belongs to one family (lines A and F).
template <uint32_t N, Family F>
struct WholeLine {
    static constexpr uint32_t line = N;
    static constexpr Family classify(uint32_t) { return F; }
    template <uint32_t Op>
    static constexpr Handler handler() {
        return fallbackHandler<F>();
    }
};

template <class D>
constexpr LineTable lineTableOf = {
    detail::BuiltLine<D>::list.runs.data(),         detail::BuiltLine<D>::handlers.data(),
    detail::BuiltLine<D>::list.families.data(),     uint32_t(detail::BuiltLine<D>::sizes.runs),
    uint32_t(detail::BuiltLine<D>::sizes.handlers), &D::classify,
};

extern const LineTable line0Table, line1Table, line2Table, line3Table, line4Table, line5Table,
    line6Table, line7Table, line8Table, line9Table, lineATable, lineBTable, lineCTable, lineDTable,
    lineETable, lineFTable;

// The sixteen lists in opcode order.
extern const LineTable* const lineTables[16];

// Builds dispatchTable unless cpuInitialize already did.
void ensureDispatchTable();

} // namespace pelmit::m68k
