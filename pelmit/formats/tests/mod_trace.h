// Per-tick traces of a module: position, row, speed, tempo and each channel's
// period and volume after every tick, from the MOD replayer and from libxmp,
// and their comparison with the differences the replayer is known to keep.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pelmit::test {

struct ChannelTrace {
    double period; // Amiga period
    int volume;    // 0..64
    bool playing;  // the voice is sounding (libxmp: always)
    // The replayer's cell of the row (libxmp: not filled).
    int note = -1, effect = 0, parameter = 0;
};

struct TickTrace {
    int position, row, tick; // tick within the row, counting pattern-delay repeats
    int speed, tempo;
    int periodMin = 0, periodMax = 0; // the replayer's range (libxmp: not filled)
    std::vector<ChannelTrace> channels;
};

// The replayer's ticks for the first `seconds` of song time (or to the end),
// played at 44,100 Hz. Empty when the file does not load.
std::vector<TickTrace> traceModPlayer(const std::string& path, double seconds);
// The replayer's measured length in ms, -1 when the file does not load.
int modLengthMs(const std::string& path);
// libxmp's ticks for the same stretch, as xmp_get_frame_info reports them.
std::vector<TickTrace> traceLibxmp(const std::string& path, double seconds);

// A difference between the two traces, and the replayer's documented quirk
// that explains it (empty when none does).
struct TraceDifference {
    size_t tick;
    int channel; // -1 for the song position, speed and tempo
    std::string what;
    std::string quirk;
};

// The replayer's documented differences from other players that show in
// these traces.
extern const char* const quirkVibratoRounding;
extern const char* const quirkPeriodRange;
extern const char* const quirkPortamentoTarget;
extern const char* const quirkTremoloDepth;
extern const char* const quirkVibratoFirstTick;
extern const char* const quirkVibratoPhase;
extern const char* const quirkArpeggio;

// Compares tick by tick up to the first place where the song positions part.
std::vector<TraceDifference> compareTraces(const std::vector<TickTrace>& ours,
                                           const std::vector<TickTrace>& theirs);

} // namespace pelmit::test
