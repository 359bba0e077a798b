#include "pelmit/formats/tests/mod_trace.h"

#include "pelmit/formats/mod_player.h"
#include "pelmit/mixer/audio_engine.h"
#include "pelmit/mixer/mixer.h"
#include "pelmit/settings.h"

#include <xmp.h>

#include <cmath>
#include <cstdio>
#include <memory>

namespace pelmit::test {

namespace {

constexpr int traceRate = 44100;

// Song time of one tick at a tempo, in seconds.
double tickSeconds(int tempo) {
    return 2.5 / (tempo > 0 ? tempo : 125);
}

} // namespace

std::vector<TickTrace> traceModPlayer(const std::string& path, double seconds) {
    settings.SampleRate = traceRate;
    if (!mixer.connect()) return {};
    std::vector<TickTrace> out;
    auto player = std::make_unique<ModPlayer>();
    if (player->loadSong(path.c_str())) {
        ModPlayer::seedRandomDelay(1);
        player->startSong();
        double time = 0;
        while (!player->songFinished() && time < seconds) {
            TickTrace t;
            const ModSong& song = player->songData();
            const int pattern = song.order[player->songPosition()];
            t.position = player->songPosition();
            t.row = player->patternRow();
            t.tick = player->currentRowTick();
            audioEngine.runTick();
            mixer.resetOutput(); // nobody reads the ring here
            t.periodMin = song.periodMin;
            t.periodMax = song.periodMax;
            t.speed = player->currentSpeed();
            t.tempo = player->currentTempo();
            for (int c = 0; c < player->channelCount(); ++c) {
                const ModChannel& ch = player->channel(c);
                const bool playing =
                    mixer.voiceState(player->songData().voices->voices[c]).position != nullptr;
                const ModCell& cell = song.track(pattern, c)[t.row];
                t.channels.push_back({double(ch.period), int(std::lround(ch.volume * 64.0 / 255)),
                                      playing, cell.note, cell.effect, cell.parameter});
            }
            time += tickSeconds(t.tempo);
            out.push_back(std::move(t));
        }
        player->stopSong();
        player->releaseSong();
    }
    mixer.disconnect();
    return out;
}

int modLengthMs(const std::string& path) {
    settings.SampleRate = traceRate;
    if (!mixer.connect()) return -1;
    ModPlayer player;
    const int length = player.loadSong(path.c_str()) ? player.songLengthMs() : -1;
    player.releaseSong();
    mixer.disconnect();
    return length;
}

std::vector<TickTrace> traceLibxmp(const std::string& path, double seconds) {
    std::vector<TickTrace> out;
    xmp_context ctx = xmp_create_context();
    if (xmp_load_module(ctx, const_cast<char*>(path.c_str())) == 0) {
        xmp_start_player(ctx, traceRate, 0);
        xmp_module_info info;
        xmp_get_module_info(ctx, &info);
        const int channels = info.mod->chn;
        xmp_frame_info fi;
        double time = 0;
        int lastRow = -1, lastPos = -1, tickInRow = 0;
        while (time < seconds && xmp_play_frame(ctx) == 0) {
            xmp_get_frame_info(ctx, &fi);
            if (fi.loop_count > 0) break;
            tickInRow = (fi.row == lastRow && fi.pos == lastPos) ? tickInRow + 1 : 0;
            lastRow = fi.row;
            lastPos = fi.pos;
            TickTrace t{fi.pos, fi.row, tickInRow, fi.speed, fi.bpm, 0, 0, {}};
            for (int c = 0; c < channels; ++c) {
                const xmp_channel_info& ci = fi.channel_info[c];
                t.channels.push_back({ci.period / 4096.0, ci.volume, true});
            }
            time += tickSeconds(fi.bpm);
            out.push_back(std::move(t));
        }
        xmp_end_player(ctx);
        xmp_release_module(ctx);
    }
    xmp_free_context(ctx);
    return out;
}

const char* const quirkVibratoRounding =
    "vibrato shifts its signed offset arithmetically: the lower half rounds down, one period "
    "below players that shift the magnitude";
const char* const quirkPeriodRange =
    "periods are limited to 107..907 (28..3628 for FastTracker modules) and slides stop there";
const char* const quirkPortamentoTarget =
    "every note sets the tone-portamento target, so 3xx/5xy without a note of their own slide to "
    "the last note played";
const char* const quirkTremoloDepth = "tremolo is half as deep as other players make it";
const char* const quirkVibratoFirstTick =
    "the first tick of a row after a vibrato or arpeggio row plays the note's own period, also "
    "when the vibrato goes on";
const char* const quirkVibratoPhase =
    "a note under 3xx/5xy restarts the vibrato position as any note does, so a vibrato after a "
    "tone portamento starts its wave afresh";
const char* const quirkArpeggio =
    "arpeggio steps from the channel's last note, not from a period slid since, and keeps its "
    "notes within the tracker's octaves";

namespace {

// The quirk of the replayer that explains a difference on one channel, or
// null. `carried` is the quirk that made this channel's period differ on an
// earlier tick: it lasts until the channel's next note.
const char* explain(const TickTrace& a, const ChannelTrace& x, const ChannelTrace& y,
                    bool periodDiffers, bool volumeDiffers, double tolerance, const char* carried,
                    bool slidNote) {
    const bool vibrato = x.effect == 4 || x.effect == 6;
    if (periodDiffers) {
        if (vibrato && a.tick == 0 && x.note >= 84) return quirkVibratoFirstTick;
        if (x.effect == 0 && x.parameter != 0) return quirkArpeggio;
        if (x.period >= a.periodMax && y.period > x.period) return quirkPeriodRange;
        if (x.period <= a.periodMin && y.period < x.period) return quirkPeriodRange;
        if (vibrato && y.period > x.period && y.period - x.period <= tolerance + 1)
            return quirkVibratoRounding;
        if (vibrato && slidNote) return quirkVibratoPhase;
        if ((x.effect == 3 || x.effect == 5) && x.note >= 84) return quirkPortamentoTarget;
        if (carried) return carried;
    }
    if (volumeDiffers && x.effect == 7) return quirkTremoloDepth;
    if (volumeDiffers && !periodDiffers) return nullptr;
    return periodDiffers ? nullptr : "";
}

} // namespace

std::vector<TraceDifference> compareTraces(const std::vector<TickTrace>& ours,
                                           const std::vector<TickTrace>& theirs) {
    std::vector<TraceDifference> out;
    const size_t n = std::min(ours.size(), theirs.size());
    std::vector<const char*> carried(64, nullptr);
    std::vector<bool> slidNote(64, false); // a note under 3xx/5xy since the last plain one
    char text[200];
    for (size_t i = 0; i < n; ++i) {
        const TickTrace& a = ours[i];
        const TickTrace& b = theirs[i];
        if (a.position != b.position || a.row != b.row || a.tick != b.tick) {
            std::snprintf(text, sizeof text, "at %d/%d.%d, libxmp at %d/%d.%d", a.position, a.row,
                          a.tick, b.position, b.row, b.tick);
            out.push_back({i, -1, text, ""});
            break;
        }
        if (a.speed != b.speed || a.tempo != b.tempo) {
            std::snprintf(text, sizeof text, "%d/%d.%d speed %d tempo %d, libxmp %d %d", a.position,
                          a.row, a.tick, a.speed, a.tempo, b.speed, b.tempo);
            out.push_back({i, -1, text, ""});
        }
        for (size_t c = 0; c < a.channels.size() && c < b.channels.size() && c < 64; ++c) {
            const ChannelTrace& x = a.channels[c];
            const ChannelTrace& y = b.channels[c];
            if (x.note < 84 && a.tick == 0) {
                const bool slid = x.effect == 3 || x.effect == 5;
                if (!slid) carried[c] = nullptr;
                slidNote[c] = slid;
            }
            if (y.period == 0 || !x.playing) continue; // nothing sounds there
            // libxmp computes periods as floats from the note; table periods
            // lie within about half a percent of them.
            const double tolerance = std::max(1.5, y.period * 0.006);
            const bool periodDiffers = std::fabs(x.period - y.period) > tolerance;
            const bool volumeDiffers = std::abs(x.volume - y.volume) > 1;
            if (!periodDiffers && !volumeDiffers) continue;
            const char* quirk =
                explain(a, x, y, periodDiffers, volumeDiffers, tolerance, carried[c], slidNote[c]);
            if (quirk == quirkPeriodRange || quirk == quirkPortamentoTarget) carried[c] = quirk;
            std::snprintf(text, sizeof text,
                          "%d/%d.%d [%d %X%02X] period %.0f volume %d, libxmp %.2f %d", a.position,
                          a.row, a.tick, x.note, x.effect, x.parameter, x.period, x.volume,
                          y.period, y.volume);
            out.push_back({i, int(c), text, quirk ? quirk : ""});
        }
    }
    if (ours.size() != theirs.size() && (out.empty() || out.back().channel != -1)) {
        std::snprintf(text, sizeof text, "%zu ticks, libxmp %zu", ours.size(), theirs.size());
        out.push_back({n, -1, text, ""});
    }
    return out;
}

} // namespace pelmit::test
