#include "sabrith/byte_source.h"

#include <cstring>

namespace sabrith {

bool MemorySource::read(void* out, std::size_t count) {
    if (count > size_ - position_) return false;
    if (count) std::memcpy(out, data_ + position_, count);
    position_ += count;
    return true;
}

bool MemorySource::seek(uint64_t position) {
    if (position > size_) return false;
    position_ = std::size_t(position);
    return true;
}

FileSource::FileSource(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {
    if (!file_) return;
    if (std::fseek(file_, 0, SEEK_END) == 0) {
        const long end = std::ftell(file_);
        if (end > 0) size_ = uint64_t(end);
    }
    std::rewind(file_);
}

FileSource::~FileSource() {
    if (file_) std::fclose(file_);
}

bool FileSource::read(void* out, std::size_t count) {
    return file_ && std::fread(out, 1, count, file_) == count;
}

bool FileSource::seek(uint64_t position) {
    if (!file_ || position > size_) return false;
    return std::fseek(file_, long(position), SEEK_SET) == 0;
}

} // namespace sabrith
