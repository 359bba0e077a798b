#include "umbrek/vastrel/data_stream.h"

#include <algorithm>
#include <cstring>

namespace {

class FileStream final : public DataStream {
public:
    explicit FileStream(std::FILE* file) : file_(file) {}
    ~FileStream() override { std::fclose(file_); }
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    size_t read(void* into, size_t count) override { return std::fread(into, 1, count, file_); }
    bool seek(int64_t position) override {
        // fseek takes a long, which is 32 bits on Windows; library offsets never exceed that.
        if (position < 0 || position > 0x7FFFFFFF) return false;
        return std::fseek(file_, long(position), SEEK_SET) == 0;
    }
    int64_t tell() const override { return std::ftell(file_); }
    int64_t size() const override {
        const long here = std::ftell(file_);
        if (here < 0 || std::fseek(file_, 0, SEEK_END) != 0) return 0;
        const long end = std::ftell(file_);
        std::fseek(file_, here, SEEK_SET);
        return end < 0 ? 0 : end;
    }

private:
    std::FILE* file_;
};

class MemoryStream final : public DataStream {
public:
    MemoryStream(const uint8_t* bytes, size_t size) : bytes_(bytes), size_(size) {}

    size_t read(void* into, size_t count) override {
        // A read of nothing may come with no buffer (an empty member).
        if (count == 0 || at_ >= size_) return 0;
        const size_t n = std::min(count, size_ - at_);
        std::memcpy(into, bytes_ + at_, n);
        at_ += n;
        return n;
    }
    bool seek(int64_t position) override {
        if (position < 0) return false;
        at_ = size_t(position);
        return true;
    }
    int64_t tell() const override { return int64_t(at_); }
    int64_t size() const override { return int64_t(size_); }

private:
    const uint8_t* bytes_;
    size_t size_;
    size_t at_ = 0;
};

} // namespace

std::unique_ptr<DataStream> openFileStream(const char* path) {
    if (!path) return nullptr;
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return nullptr;
    return std::make_unique<FileStream>(file);
}

std::unique_ptr<DataStream> openMemoryStream(const uint8_t* bytes, size_t size) {
    return std::make_unique<MemoryStream>(bytes, size);
}

bool ByteReader::refill() {
    at_ = 0;
    end_ = stream_.read(buffer_, sizeof buffer_);
    return end_ > 0;
}

bool ByteReader::read(uint8_t* into, size_t count) {
    while (count > 0) {
        if (at_ == end_ && !refill()) return false;
        const size_t n = std::min(count, end_ - at_);
        std::memcpy(into, buffer_ + at_, n);
        at_ += n;
        into += n;
        count -= n;
    }
    return true;
}

bool ByteReader::skip(uint64_t count) {
    const size_t buffered = end_ - at_;
    if (count <= buffered) {
        at_ += size_t(count);
        return true;
    }
    const int64_t target = stream_.tell() + int64_t(count - buffered);
    at_ = end_ = 0;
    return target <= stream_.size() && stream_.seek(target);
}
