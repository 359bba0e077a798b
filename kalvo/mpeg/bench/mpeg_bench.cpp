// Decoding speed of the Layer III decoder against libmpg123 (test tooling
// only), on 4-minute streams at 128 and 320 kbit/s that lame encodes from a
// generated signal. Reports seconds of audio per CPU second.
#include "kalvo/mpeg/mpeg_decoder.h"
#include "kalvo/mpeg/tests/test_support.h"
#include "kalvo/mpeg/tests/test_signal.h"

#include <benchmark/benchmark.h>
#include <mpg123.h>

#include <map>

using namespace kalvo;
using namespace kalvo::test;

namespace {

const std::vector<uint8_t>& stream(int kbps) {
    static std::map<int, std::vector<uint8_t>> cache;
    auto it = cache.find(kbps);
    if (it != cache.end()) return it->second;
    std::string dir = scratchDir();
    std::string wav = dir + "/bench.wav", mp3 = dir + "/bench" + std::to_string(kbps) + ".mp3";
    writeFile(wav, testSignalWav(44100, 2, 240.0));
    std::string cmd = "lame --quiet -t -b " + std::to_string(kbps) + " " + quote(wav) + " " +
                      quote(mp3) + " 2>&1";
    runCommand(cmd);
    return cache[kbps] = readFile(mp3);
}

constexpr double streamSeconds = 240.0;

void BM_Kalvo(benchmark::State& state) {
    const std::vector<uint8_t>& s = stream(int(state.range(0)));
    if (s.empty()) {
        state.SkipWithError("lame is not installed");
        return;
    }
    std::unique_ptr<MpegDecoder> d;
    MpegDecoder::Create(0, false, false, &d);
    std::vector<uint8_t> buffer(MpegDecoder::maxFrameBytes);
    int64_t frames = 0;
    for (auto _ : state) {
        MemoryInput input(s);
        d->Reset();
        d->Attach(&input);
        for (;;) {
            uint32_t n;
            Mp3Ssc r = d->DecodeFrame(buffer.data(), uint32_t(buffer.size()), &n);
            if (sscUsable(r))
                ++frames;
            else if (d->AtEnd())
                break;
        }
        benchmark::DoNotOptimize(buffer.data());
    }
    state.counters["frames/s"] = benchmark::Counter(double(frames), benchmark::Counter::kIsRate);
    state.counters["realtime"] =
        benchmark::Counter(streamSeconds * double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_Mpg123(benchmark::State& state, const char* decoder) {
    const std::vector<uint8_t>& s = stream(int(state.range(0)));
    if (s.empty()) {
        state.SkipWithError("lame is not installed");
        return;
    }
#if MPG123_API_VERSION < 46
    mpg123_init();
#endif
    int err = 0;
    mpg123_handle* mh = mpg123_new(decoder, &err);
    if (!mh) {
        state.SkipWithError("libmpg123 has no such decoder");
        return;
    }
    mpg123_param(mh, MPG123_FLAGS, long(MPG123_QUIET) | long(MPG123_GAPLESS), 0);
    mpg123_param(mh, MPG123_REMOVE_FLAGS, long(MPG123_GAPLESS), 0);
    std::vector<uint8_t> out(1 << 16);
    int64_t frames = 0;
    for (auto _ : state) {
        mpg123_open_feed(mh);
        mpg123_feed(mh, s.data(), s.size());
        for (;;) {
            size_t done = 0;
            int r = mpg123_read(mh, out.data(), out.size(), &done);
            if (r == MPG123_NEW_FORMAT) continue;
            if (r != MPG123_OK) break;
        }
        frames += mpg123_tellframe(mh);
        mpg123_close(mh);
    }
    mpg123_delete(mh);
    state.counters["frames/s"] = benchmark::Counter(double(frames), benchmark::Counter::kIsRate);
    state.counters["realtime"] =
        benchmark::Counter(streamSeconds * double(state.iterations()), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(BM_Kalvo)->Arg(128)->Arg(320)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Mpg123, generic, "generic")->Arg(128)->Arg(320)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Mpg123, best, nullptr)->Arg(128)->Arg(320)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
