// Where the readers take their bytes from: a file on disk or bytes in memory
// (tests, fuzzing). Both report short reads and failed seeks, which every
// reader treats as a broken file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace sabrith {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // All `count` bytes or false.
    virtual bool read(void* out, std::size_t count) = 0;
    // Absolute position from the start; false past the end.
    virtual bool seek(uint64_t position) = 0;
    // Bytes from the start to the end, so that readers can refuse a layout
    // whose pixels cannot be in the file before allocating for them.
    virtual uint64_t size() const = 0;
};

class MemorySource final : public ByteSource {
public:
    MemorySource(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool read(void* out, std::size_t count) override;
    bool seek(uint64_t position) override;
    uint64_t size() const override { return size_; }

private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

class FileSource final : public ByteSource {
public:
    explicit FileSource(const std::string& path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    bool isOpen() const { return file_ != nullptr; }
    bool read(void* out, std::size_t count) override;
    bool seek(uint64_t position) override;
    uint64_t size() const override { return size_; }

private:
    std::FILE* file_ = nullptr;
    uint64_t size_ = 0;
};

} // namespace sabrith
