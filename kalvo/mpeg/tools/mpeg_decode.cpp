// mpeg_decode [-2|-4] [-8] [-m] [--eq=B0,...,B9,PRE] [-v] IN OUT
// Decodes an MPEG audio Layer III file to raw PCM (16-bit signed host order,
// or 8-bit unsigned with -8), interleaved, as the plug-in would play it.
// OUT "-" writes to standard output. -v prints the stream's facts and a
// count of every status to standard error.
#include "kalvo/mpeg/mpeg_decoder.h"
#include "kalvo/mpeg/tools/file_input.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

using namespace kalvo;

namespace {

int usage() {
    std::fprintf(stderr, "usage: mpeg_decode [-2|-4] [-8] [-m] [--eq=B0,...,B9,PRE] [-v] IN OUT\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    int downsample = 0;
    bool eightBit = false, downmix = false, verbose = false;
    EqualizerSettings eq;
    const char* files[2] = {};
    int nfiles = 0;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (!std::strcmp(a, "-2"))
            downsample = 1;
        else if (!std::strcmp(a, "-4"))
            downsample = 2;
        else if (!std::strcmp(a, "-8"))
            eightBit = true;
        else if (!std::strcmp(a, "-m"))
            downmix = true;
        else if (!std::strcmp(a, "-v"))
            verbose = true;
        else if (!std::strncmp(a, "--eq=", 5)) {
            const char* p = a + 5;
            for (int k = 0; k < 11; ++k) {
                char* end;
                long v = std::strtol(p, &end, 10);
                if (end == p) return usage();
                (k < 10 ? eq.bands[k] : eq.preamp).store(int32_t(v));
                p = *end == ',' ? end + 1 : end;
            }
            eq.on = true;
        } else if (nfiles < 2)
            files[nfiles++] = a;
        else
            return usage();
    }
    if (nfiles != 2) return usage();

    FileInput input;
    if (!input.open(files[0])) {
        std::fprintf(stderr, "mpeg_decode: cannot open %s\n", files[0]);
        return 1;
    }
    input.seek(input.id3v2Size());
    FILE* out = std::strcmp(files[1], "-") ? std::fopen(files[1], "wb") : stdout;
    if (!out) {
        std::fprintf(stderr, "mpeg_decode: cannot write %s\n", files[1]);
        return 1;
    }

    std::unique_ptr<MpegDecoder> decoder;
    if (MpegDecoder::Create(downsample, eightBit, downmix, &decoder) != sscOk) return 1;
    decoder->Attach(&input);
    decoder->SetEqualizer(&eq);
    std::map<uint32_t, long> statuses;
    static uint8_t buffer[MpegDecoder::maxFrameBytes];
    long frames = 0;
    for (;;) {
        uint32_t n = 0;
        Mp3Ssc s = decoder->DecodeFrame(buffer, sizeof buffer, &n);
        ++statuses[s];
        if (sscUsable(s)) {
            ++frames;
            std::fwrite(buffer, 1, n, out);
        } else if (decoder->AtEnd()) {
            break;
        } else if (s == sscWrongLayer) {
            decoder->SkipBit();
        }
    }
    if (out != stdout) std::fclose(out);
    if (verbose) {
        const StreamInfo& info = decoder->StreamInfo();
        std::fprintf(stderr,
                     "frames %ld, layer %d, version %d, %u Hz, %d ch -> %u Hz %d ch %d bit\n",
                     frames, info.layer, info.versionIndex, info.samplingRate, info.channels,
                     info.outputRate, info.outputChannels, info.outputBits);
        for (auto& [code, count] : statuses)
            std::fprintf(stderr, "  %08X %6ld %s\n", code, count, mp3SscText(code));
    }
    return frames > 0 ? 0 : 1;
}
