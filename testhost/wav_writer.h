// Writes the PCM that a plug-in hands the output to a WAV file, with the
// format that openStream asked for.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace testhost {

class WavWriter {
public:
    ~WavWriter() { close(); }
    bool open(const std::string& path, int rate, int channels, int bits);
    void write(const void* data, size_t bytes);
    void close();

private:
    std::FILE* file_ = nullptr;
    uint32_t dataBytes_ = 0;
};

} // namespace testhost
