#include "testhost/wav_writer.h"

#include <cstring>

namespace testhost {

namespace {

void put16(unsigned char* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void put32(unsigned char* p, uint32_t v) {
    put16(p, v & 0xffff);
    put16(p + 2, v >> 16);
}

} // namespace

bool WavWriter::open(const std::string& path, int rate, int channels, int bits) {
    close();
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) return false;
    unsigned char h[44] = {};
    std::memcpy(h, "RIFF", 4);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    put32(h + 16, 16);
    put16(h + 20, 1);
    put16(h + 22, uint32_t(channels));
    put32(h + 24, uint32_t(rate));
    put32(h + 28, uint32_t(rate * channels * bits / 8));
    put16(h + 32, uint32_t(channels * bits / 8));
    put16(h + 34, uint32_t(bits));
    std::memcpy(h + 36, "data", 4);
    std::fwrite(h, 1, sizeof h, file_);
    dataBytes_ = 0;
    return true;
}

void WavWriter::write(const void* data, size_t bytes) {
    if (!file_ || bytes == 0) return;
    std::fwrite(data, 1, bytes, file_);
    dataBytes_ += uint32_t(bytes);
}

void WavWriter::close() {
    if (!file_) return;
    unsigned char n[4];
    put32(n, 36 + dataBytes_);
    std::fseek(file_, 4, SEEK_SET);
    std::fwrite(n, 1, 4, file_);
    put32(n, dataBytes_);
    std::fseek(file_, 40, SEEK_SET);
    std::fwrite(n, 1, 4, file_);
    std::fclose(file_);
    file_ = nullptr;
}

} // namespace testhost
