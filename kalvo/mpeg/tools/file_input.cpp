#include "kalvo/mpeg/tools/file_input.h"

namespace kalvo {

FileInput::~FileInput() {
    if (file_) std::fclose(file_);
}

bool FileInput::open(const char* path) {
    file_ = std::fopen(path, "rb");
    return file_ != nullptr;
}

long FileInput::id3v2Size() {
    uint8_t h[10];
    std::fseek(file_, 0, SEEK_SET);
    if (std::fread(h, 1, 10, file_) != 10 || h[0] != 'I' || h[1] != 'D' || h[2] != '3') return 0;
    long size = long(h[6] & 0x7F) << 21 | long(h[7] & 0x7F) << 14 | long(h[8] & 0x7F) << 7 |
                long(h[9] & 0x7F);
    return 10 + size + ((h[5] & 0x10) ? 10 : 0);
}

void FileInput::seek(long offset) {
    std::fseek(file_, offset, SEEK_SET);
    ended_ = false;
}

void FileInput::read(uint8_t* buffer, uint32_t length, uint32_t* gotOut) {
    size_t got = std::fread(buffer, 1, length, file_);
    if (got < length) ended_ = true;
    *gotOut = uint32_t(got);
}

bool FileInput::atEnd() {
    return ended_;
}

} // namespace kalvo
