#include "kalvo/mpeg/tests/test_support.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <filesystem>
#include <random>

#ifdef _WIN32
#define popen _popen
#define pclose _pclose
#endif

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
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

void writeFile(const std::string& path, const std::vector<uint8_t>& data) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

std::vector<uint8_t> runCommand(const std::string& command) {
    std::vector<uint8_t> out;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return out;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.insert(out.end(), buf, buf + n);
    pclose(p);
    return out;
}

std::string scratchDir() {
    static std::string dir;
    if (dir.empty()) {
        namespace fs = std::filesystem;
        std::random_device rd;
        fs::path p = fs::temp_directory_path() / ("kalvo_mpeg_" + std::to_string(rd()));
        fs::create_directories(p);
        dir = p.string();
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(dir, ec);
        });
    }
    return dir;
}

std::string quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

} // namespace kalvo::test
