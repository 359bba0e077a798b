#include "testhost/image_file.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>

namespace testhost {

namespace {

void put32be(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

void put32le(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(uint8_t(v >> shift));
}

uint32_t crc32(const uint8_t* data, size_t n) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void chunk(std::vector<uint8_t>& out, const char* tag, const std::vector<uint8_t>& body) {
    put32be(out, uint32_t(body.size()));
    size_t start = out.size();
    out.insert(out.end(), tag, tag + 4);
    out.insert(out.end(), body.begin(), body.end());
    put32be(out, crc32(&out[start], out.size() - start));
}

// PNG with the picture in stored (uncompressed) deflate blocks: larger files,
// but no compressor to carry around for a test tool.
std::vector<uint8_t> encodePng(int width, int height, const std::vector<uint8_t>& rgb) {
    std::vector<uint8_t> raw;
    size_t stride = size_t(width) * 3;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0); // no filter
        raw.insert(raw.end(), rgb.begin() + long(y * stride), rgb.begin() + long((y + 1) * stride));
    }
    std::vector<uint8_t> z = {0x78, 0x01};
    for (size_t pos = 0;;) {
        size_t n = std::min<size_t>(65535, raw.size() - pos);
        bool last = pos + n == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(uint8_t(n));
        z.push_back(uint8_t(n >> 8));
        z.push_back(uint8_t(~n));
        z.push_back(uint8_t(~n >> 8));
        z.insert(z.end(), raw.begin() + long(pos), raw.begin() + long(pos + n));
        pos += n;
        if (last) break;
    }
    uint32_t a = 1, b = 0;
    for (uint8_t v : raw) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    put32be(z, b << 16 | a);

    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    put32be(header, uint32_t(width));
    put32be(header, uint32_t(height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8-bit RGB
    chunk(out, "IHDR", header);
    chunk(out, "IDAT", z);
    chunk(out, "IEND", {});
    return out;
}

std::vector<uint8_t> encodeBmp(int width, int height, const std::vector<uint8_t>& rgb) {
    uint32_t stride = (uint32_t(width) * 3 + 3) & ~3u;
    uint32_t dataBytes = stride * uint32_t(height);
    std::vector<uint8_t> out = {'B', 'M'};
    put32le(out, 54 + dataBytes);
    put32le(out, 0);
    put32le(out, 54);
    put32le(out, 40);
    put32le(out, uint32_t(width));
    put32le(out, uint32_t(height)); // bottom row first
    put32le(out, 1 | 24 << 16);     // planes, bits per pixel
    for (int i = 0; i < 6; ++i) put32le(out, 0);
    for (int y = height - 1; y >= 0; --y) {
        const uint8_t* row = &rgb[size_t(y) * size_t(width) * 3];
        for (int x = 0; x < width; ++x)
            out.insert(out.end(), {row[3 * x + 2], row[3 * x + 1], row[3 * x]});
        out.resize(out.size() + (stride - uint32_t(width) * 3));
    }
    return out;
}

bool endsWith(const std::string& s, const char* tail) {
    std::string t = tail;
    if (s.size() < t.size()) return false;
    for (size_t i = 0; i < t.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[s.size() - t.size() + i])) != t[i])
            return false;
    return true;
}

} // namespace

bool writeImage(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
    if (width <= 0 || height <= 0 || rgb.size() < size_t(width) * size_t(height) * 3) return false;
    std::vector<uint8_t> bytes =
        endsWith(path, ".png") ? encodePng(width, height, rgb) : encodeBmp(width, height, rgb);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace testhost
