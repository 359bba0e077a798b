// Helpers shared by the decoder's tests: inputs from memory, whole-stream
// decoding, the reference decoders and PCM comparisons.
#pragma once

#include "kalvo/mpeg/mpeg_decoder.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace kalvo::test {

// Serves a byte block, in pieces of at most chunk bytes per read.
class MemoryInput : public DecoderInput {
public:
    explicit MemoryInput(std::vector<uint8_t> data, uint32_t chunk = 0xFFFFFFFF)
        : data_(std::move(data)), chunk_(chunk) {}
    void read(uint8_t* buffer, uint32_t length, uint32_t* gotOut) override;
    bool atEnd() override { return pos_ >= data_.size(); }
    void seek(size_t pos) { pos_ = std::min(pos, data_.size()); }

private:
    std::vector<uint8_t> data_;
    size_t pos_ = 0;
    uint32_t chunk_;
};

struct DecodeOptions {
    int downsample = 0;
    bool eightBit = false;
    bool downmix = false;
    const EqualizerSettings* eq = nullptr;
};

struct Decoded {
    std::vector<uint8_t> pcm;
    std::vector<Mp3Ssc> statuses;     // every DecodeFrame result, in order
    std::vector<uint32_t> frameBytes; // bytes of each usable frame
    StreamInfo info;
    int frames = 0;
    int calls = 0;
};

// Decodes until the decoder reports the end, as the plug-in's thread does
// (skipping a bit after a wrong layer); gives up after maxCalls calls.
Decoded decodeAll(const std::vector<uint8_t>& stream, const DecodeOptions& o = {},
                  uint32_t chunk = 0xFFFFFFFF, int maxCalls = 1000000);

std::vector<int16_t> asSamples(const std::vector<uint8_t>& pcm);

struct Comparison {
    size_t samples = 0;
    int maxDiff = 0;
    double identical = 0; // fraction
    double snrDb = 0;
};
Comparison compare(const std::vector<int16_t>& ours, const std::vector<int16_t>& reference);

// Tools and files.
bool haveTool(const char* name);
std::vector<uint8_t> readFile(const std::string& path);
void writeFile(const std::string& path, const std::vector<uint8_t>& data);
// Runs a shell command and returns its standard output.
std::vector<uint8_t> runCommand(const std::string& command);
// A fresh scratch folder for one test program.
std::string scratchDir();
std::string quote(const std::string& s);

} // namespace kalvo::test
