// Windows bitmap files as texture sources: readBmp takes the headers and the
// pixel block from any byte source, toRgb turns uncompressed 24-bit pixels
// into RGB rows with 4-byte aligned strides (anything else gives black).
// Files come from the user's folder, so every size is checked before use: a
// malformed file gives nothing, and texturing stays off.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

namespace fennick {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Up to count bytes; fewer only at the end of the data.
    virtual std::size_t read(void* into, std::size_t count) = 0;
};

class MemorySource : public ByteSource {
public:
    MemorySource(const void* data, std::size_t size)
        : data_(static_cast<const std::uint8_t*>(data)), size_(size) {}
    std::size_t read(void* into, std::size_t count) override;

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

class FileSource : public ByteSource {
public:
    explicit FileSource(const char* path) : file_(std::fopen(path, "rb")) {}
    ~FileSource() override {
        if (file_) std::fclose(file_);
    }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    bool isOpen() const { return file_ != nullptr; }
    std::size_t read(void* into, std::size_t count) override;

private:
    std::FILE* file_;
};

// Larger images than any texture the plug-in draws are refused.
constexpr int bmpMaxSide = 4096;
// The info header and palette ahead of the pixels.
constexpr std::uint32_t bmpMaxInfoBlock = 65536;

struct BmpImage {
    int width = 0;
    int height = 0; // rows; a top-down file's negative height is taken as its size
    int bitsPerPixel = 0;
    std::uint32_t compression = 0;
    std::vector<std::uint8_t> infoBlock; // info header and palette
    std::vector<std::uint8_t> pixels;    // rows in file order
};

struct RgbImage {
    int width = 0;
    int height = 0;
    int stride = 0; // (3 x width + 3) rounded down to a multiple of 4
    std::vector<std::uint8_t> rgb;
};

std::optional<BmpImage> readBmp(ByteSource& source);
std::optional<BmpImage> readBmpFile(const char* path);
// Nothing when the pixel block is shorter than the rows it must fill.
std::optional<RgbImage> toRgb(const BmpImage& image);

} // namespace fennick
