// The 256 x 256 texture that every effect maps onto the picture, and its
// loader for 24-bit BMP files. Texel row 0 is the first row stored in the
// file (the bitmap's bottom row).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace yarnot {

enum { textureSize = 256, texelCount = textureSize * textureSize };

struct Texture {
    uint32_t texel[texelCount]; // 0x00RRGGBB, already masked and shifted for the blur
    uint32_t at(unsigned row, unsigned column) const {
        return texel[(row & 255) * textureSize + (column & 255)];
    }
};

// Random access to the bytes of a texture file.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Copies up to size bytes from offset; returns how many there were.
    virtual size_t ReadAt(uint32_t offset, void* out, size_t size) = 0;
};

class MemorySource : public ByteSource {
public:
    MemorySource(const void* data, size_t size)
        : data_(static_cast<const uint8_t*>(data)), size_(size) {}
    size_t ReadAt(uint32_t offset, void* out, size_t size) override;

private:
    const uint8_t* data_;
    size_t size_;
};

// Reads `source` (a file called `name`, for the messages) into `texture`
// with the mask and shift of `blur` (0 to 3). On failure `message` holds the
// text for the user's box and the texture is unspecified.
bool LoadTexture(ByteSource& source, const std::string& name, int blur, Texture& texture,
                 std::string& message);

// The same from a file; an empty name or a file that cannot be opened get
// their own messages.
bool LoadTextureFile(const std::string& name, int blur, Texture& texture, std::string& message);

} // namespace yarnot
