// What the plug-in adds around the decoder: a playlist entry's tag read, and a
// whole song through the song source and the decode passes to a host that
// takes everything, against the bare decoder on the same bytes and against
// libmpg123 (test tooling only). "realtime" is seconds of song per second.
#include "host/testing/player_side.h"
#include "kalvo/decoder_factory.h"
#include "kalvo/mpeg/mpeg_decoder.h"
#include "kalvo/player.h"
#include "kalvo/tests/file_bytes.h"
#include "kalvo/song_tags.h"

#include <benchmark/benchmark.h>
#include <mpg123.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace kalvo;

namespace {

const char* const demoSong = KALVO_DEMO_SONG;
constexpr double demoSeconds = 8.0;

// A host that plays everything at once.
struct TakesEverything : jk::testing::PlayerSide {
    int openStream(int, int, int, int, int) override { return 1; }
    int writableBytes() override { return 1 << 20; }
};

TakesEverything player;
InputModule module = [] {
    InputModule m{};
    jk::testing::connectHostSlots(m, player);
    return m;
}();

std::unique_ptr<FrameDecoder> makeDecoder(SongSource* source) {
    Settings settings;
    return createDecoder(settings, source, nullptr);
}

void BM_PlaySong(benchmark::State& state) {
    for (auto _ : state) {
        SongSource source;
        if (!source.open(demoSong)) {
            state.SkipWithError("no demo song");
            return;
        }
        auto decoder = makeDecoder(&source);
        Player player;
        player.prepare();
        if (player.start(&module, decoder.get(), &source, nullptr, nullptr) != 0) {
            state.SkipWithError("the demo song does not play");
            return;
        }
        while (player.pass() != Player::Pass::ended) {
        }
        player.finish();
    }
    state.counters["realtime"] =
        benchmark::Counter(demoSeconds * double(state.iterations()), benchmark::Counter::kIsRate);
}

class MemoryInput : public DecoderInput {
public:
    explicit MemoryInput(const std::vector<uint8_t>& data) : data_(data) {}
    void read(uint8_t* buffer, uint32_t length, uint32_t* got) override {
        size_t n = std::min<size_t>(length, data_.size() - pos_);
        std::memcpy(buffer, data_.data() + pos_, n);
        pos_ += n;
        *got = uint32_t(n);
    }
    bool atEnd() override { return pos_ >= data_.size(); }

private:
    const std::vector<uint8_t>& data_;
    size_t pos_ = 0;
};

void BM_DecoderAlone(benchmark::State& state) {
    std::vector<uint8_t> song = test::readFileBytes(demoSong);
    std::vector<uint8_t> pcm(MpegDecoder::maxFrameBytes);
    for (auto _ : state) {
        std::unique_ptr<MpegDecoder> d;
        MpegDecoder::Create(0, false, false, &d);
        MemoryInput input(song);
        d->Attach(&input);
        for (;;) {
            uint32_t n;
            if (!sscUsable(d->DecodeFrame(pcm.data(), uint32_t(pcm.size()), &n)) && d->AtEnd())
                break;
        }
        benchmark::DoNotOptimize(pcm.data());
    }
    state.counters["realtime"] =
        benchmark::Counter(demoSeconds * double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_Mpg123(benchmark::State& state) {
    mpg123_init();
    std::vector<unsigned char> pcm(1 << 16);
    for (auto _ : state) {
        mpg123_handle* h = mpg123_new(nullptr, nullptr);
        mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
        if (mpg123_open(h, demoSong) != MPG123_OK) {
            state.SkipWithError("mpg123 cannot open the demo song");
            mpg123_delete(h);
            return;
        }
        size_t done = 0;
        int r;
        while ((r = mpg123_read(h, pcm.data(), pcm.size(), &done)) == MPG123_OK ||
               r == MPG123_NEW_FORMAT) {
        }
        mpg123_close(h);
        mpg123_delete(h);
        benchmark::DoNotOptimize(pcm.data());
    }
    state.counters["realtime"] =
        benchmark::Counter(demoSeconds * double(state.iterations()), benchmark::Counter::kIsRate);
}

// A playlist entry: the demo song's tags (thirteen frames and its cover).
void BM_ReadTags(benchmark::State& state) {
    SongTags tags;
    for (auto _ : state) {
        readTags(demoSong, tags, nullptr, wideToLatin1, nullptr);
        benchmark::DoNotOptimize(tags.title.data());
    }
}

// Opening a song whose stream carries no VBR header walks all its frames
// once: the cost of that walk over a 60 MB stream, the file in the page cache.
void BM_OpenLongSong(benchmark::State& state) {
    std::vector<uint8_t> song = test::readFileBytes(demoSong);
    size_t start = size_t(audioStartOf(song.data(), song.size()));
    std::string path =
        (std::filesystem::temp_directory_path() /
         ("kalvo-long-" +
          std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + ".tqz"))
            .string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        state.SkipWithError("cannot write the long song");
        return;
    }
    bool written = std::fwrite(song.data(), 1, start, f) == start;
    for (size_t total = 0; written && total < (60u << 20); total += song.size() - start)
        written =
            std::fwrite(song.data() + start, 1, song.size() - start, f) == song.size() - start;
    written = std::fclose(f) == 0 && written;
    for (auto _ : state) {
        if (!written) break;
        SongSource source;
        if (!source.open(path)) {
            state.SkipWithError("cannot open the long song");
            break;
        }
        benchmark::DoNotOptimize(source.streamLengthMs());
    }
    if (!written) state.SkipWithError("cannot write the long song");
    std::remove(path.c_str());
}

} // namespace

BENCHMARK(BM_OpenLongSong)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlaySong)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecoderAlone)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Mpg123)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadTags)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
