// mod_trace FILE [SECONDS] [--print]: runs the MOD replayer and libxmp tick by
// tick over a module and lists where they differ, and which of the replayer's
// documented quirks explains each difference.
#include "pelmit/formats/tests/mod_trace.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

using namespace pelmit::test;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: mod_trace FILE [SECONDS] [--print]\n", stderr);
        return 2;
    }
    const double seconds = argc > 2 && argv[2][0] != '-' ? std::atof(argv[2]) : 60;
    const bool print = argc > 2 && std::strcmp(argv[argc - 1], "--print") == 0;
    const auto ours = traceModPlayer(argv[1], seconds);
    const auto theirs = traceLibxmp(argv[1], seconds);
    if (print) {
        for (size_t i = 0; i < ours.size(); ++i) {
            const TickTrace& t = ours[i];
            std::printf("%5zu %3d/%2d.%-2d s%-2d t%-3d |", i, t.position, t.row, t.tick, t.speed,
                        t.tempo);
            for (const ChannelTrace& c : t.channels) std::printf(" %4.0f/%-2d", c.period, c.volume);
            if (i < theirs.size()) {
                const TickTrace& x = theirs[i];
                std::printf("  || %3d/%2d.%-2d s%-2d t%-3d |", x.position, x.row, x.tick, x.speed,
                            x.tempo);
                for (const ChannelTrace& c : x.channels)
                    std::printf(" %7.2f/%-2d", c.period, c.volume);
            }
            std::printf("\n");
        }
    }
    const auto diffs = compareTraces(ours, theirs);
    std::map<std::string, int> quirks;
    int unexplained = 0;
    for (const TraceDifference& d : diffs) {
        if (d.quirk.empty()) {
            if (++unexplained <= 40)
                std::printf("tick %zu ch %d: %s\n", d.tick, d.channel, d.what.c_str());
        } else {
            ++quirks[d.quirk];
        }
    }
    std::printf("%s: length %d ms; %zu ticks (libxmp %zu), %d unexplained differences\n", argv[1],
                modLengthMs(argv[1]), ours.size(), theirs.size(), unexplained);
    for (const auto& [q, n] : quirks) std::printf("  %5d x %s\n", n, q.c_str());
    return unexplained ? 1 : 0;
}
