#include "yarnot/texture.h"

#include "yarnot/blur.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace yarnot {

namespace {

enum : size_t { fileHeaderSize = 14, infoBytesRead = 20, pixelBytes = texelCount * 3 };

std::string withName(const char* format, const std::string& name) {
    int n = std::snprintf(nullptr, 0, format, name.c_str());
    std::string text(size_t(n > 0 ? n : 0), '\0');
    std::snprintf(text.data(), text.size() + 1, format, name.c_str());
    return text;
}

uint16_t u16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}
uint32_t u32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// True for a 256 x 256, 1-plane, 24-bit, uncompressed header; info points
// at the header's size field.
bool isWantedFormat(const uint8_t* info, uint32_t headerSize) {
    if (headerSize == 12)
        return u16(info + 4) == 256 && u16(info + 6) == 256 && u16(info + 8) == 1 &&
               u16(info + 10) == 24;
    // A top-down bitmap stores its height as -256, and is refused too.
    return u32(info + 4) == 256 && u32(info + 8) == 256 && u16(info + 12) == 1 &&
           u16(info + 14) == 24 && u32(info + 16) == 0;
}

class FileSource : public ByteSource {
public:
    explicit FileSource(std::FILE* f) : f_(f) {}
    ~FileSource() override { std::fclose(f_); }
    size_t ReadAt(uint32_t offset, void* out, size_t size) override {
        if (std::fseek(f_, long(offset), SEEK_SET) != 0) return 0;
        return std::fread(out, 1, size, f_);
    }

private:
    std::FILE* f_;
};

} // namespace

size_t MemorySource::ReadAt(uint32_t offset, void* out, size_t size) {
    if (offset >= size_) return 0;
    size_t n = std::min(size, size_ - offset);
    std::memcpy(out, data_ + offset, n);
    return n;
}

bool LoadTexture(ByteSource& source, const std::string& name, int blur, Texture& texture,
                 std::string& message) {
    uint8_t head[fileHeaderSize + infoBytesRead];
    if (source.ReadAt(0, head, sizeof head) != sizeof head) {
        message = withName("Error reading image file:\n\"%s\"", name);
        return false;
    }
    if (head[0] != 'B' || head[1] != 'M') {
        message = withName("Not a BMP image file:\n\"%s\"", name);
        return false;
    }
    const uint8_t* info = head + fileHeaderSize;
    uint32_t headerSize = u32(info);
    if (headerSize != 12 && headerSize != 40) {
        message = withName("Don't know how to handle image file:\n\"%s\"", name);
        return false;
    }
    if (!isWantedFormat(info, headerSize)) {
        message = withName("Not a 256 x 256 x 24-bit image:\n\"%s\"", name);
        return false;
    }
    std::vector<uint8_t> pixels(pixelBytes);
    if (source.ReadAt(u32(head + 10), pixels.data(), pixelBytes) != pixelBytes) {
        message = withName("Error reading image file:\n\"%s\"", name);
        return false;
    }
    const int level = ClampBlur(blur);
    for (size_t i = 0; i < texelCount; ++i) {
        const uint8_t* p = &pixels[i * 3];
        uint32_t rgb = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
        texture.texel[i] = (rgb & textureMask[level]) >> level;
    }
    message.clear();
    return true;
}

bool LoadTextureFile(const std::string& name, int blur, Texture& texture, std::string& message) {
    if (name.empty()) {
        message = "Please select an image file\nin the Configuration Dialog!";
        return false;
    }
    std::FILE* f = std::fopen(name.c_str(), "rb");
    if (!f) {
        message = withName("Error opening image file:\n\"%s\"", name);
        return false;
    }
    FileSource source(f);
    return LoadTexture(source, name, blur, texture, message);
}

} // namespace yarnot
