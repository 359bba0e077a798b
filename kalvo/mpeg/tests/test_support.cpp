#include "kalvo/mpeg/tests/test_support.h"
#include "tests/test_files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kalvo::test {

void MemoryInput::read(uint8_t* buffer, uint32_t length, uint32_t* gotOut) {
    size_t n = std::min<size_t>({length, chunk_, data_.size() - pos_});
    std::memcpy(buffer, data_.data() + pos_, n);
    pos_ += n;
    *gotOut = uint32_t(n);
}

Decoded decodeAll(const std::vector<uint8_t>& stream, const DecodeOptions& o, uint32_t chunk,
                  int maxCalls) {
    Decoded d;
    std::unique_ptr<MpegDecoder> decoder;
    if (MpegDecoder::Create(o.downsample, o.eightBit, o.downmix, &decoder) != sscOk) return d;
    MemoryInput input(stream, chunk);
    decoder->Attach(&input);
    decoder->SetEqualizer(o.eq);
    std::vector<uint8_t> buffer(MpegDecoder::maxFrameBytes);
    while (d.calls < maxCalls) {
        ++d.calls;
        uint32_t n = 0;
        Mp3Ssc s = decoder->DecodeFrame(buffer.data(), uint32_t(buffer.size()), &n);
        d.statuses.push_back(s);
        if (sscUsable(s)) {
            ++d.frames;
            d.frameBytes.push_back(n);
            d.pcm.insert(d.pcm.end(), buffer.begin(), buffer.begin() + n);
        } else if (decoder->AtEnd()) {
            break;
        } else if (s == sscWrongLayer) {
            decoder->SkipBit();
        }
    }
    d.info = decoder->StreamInfo();
    return d;
}

std::vector<int16_t> asSamples(const std::vector<uint8_t>& pcm) {
    std::vector<int16_t> s(pcm.size() / 2);
    std::memcpy(s.data(), pcm.data(), s.size() * 2);
    return s;
}

Comparison compare(const std::vector<int16_t>& ours, const std::vector<int16_t>& reference) {
    Comparison c;
    c.samples = std::min(ours.size(), reference.size());
    size_t same = 0;
    double signal = 0, noise = 0;
    for (size_t i = 0; i < c.samples; ++i) {
        int d = ours[i] - reference[i];
        c.maxDiff = std::max(c.maxDiff, std::abs(d));
        same += d == 0;
        signal += double(reference[i]) * reference[i];
        noise += double(d) * d;
    }
    c.identical = c.samples ? double(same) / double(c.samples) : 0;
    c.snrDb = noise > 0 ? 10 * std::log10(signal / noise) : 200;
    return c;
}

bool haveTool(const char* name) {
#ifdef _WIN32
    (void)name; // the reference decoders are Linux programs
    return false;
#else
    std::string cmd = std::string("command -v ") + name + " >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
#endif
}

std::vector<uint8_t> readFile(const std::string& path) {
    return jk::test::readFile(path);
}

void writeFile(const std::string& path, const std::vector<uint8_t>& data) {
    jk::test::writeFile(path, data);
}

std::vector<uint8_t> runCommand(const std::string& command) {
    // A reference decoder may end in failure on a damaged stream after writing
    // what it could decode; the comparison judges that output.
    int status = 0;
    const std::string out = jk::test::commandOutput(command, &status);
    return std::vector<uint8_t>(out.begin(), out.end());
}

std::string scratchDir() {
    return jk::test::tempFolder();
}

std::string quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

} // namespace kalvo::test
