#include "kalvo/song_source.h"

#include "kalvo/mul_div.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace kalvo {

namespace {

int seekFile(std::FILE* f, int64_t offset, int whence) {
#ifdef _WIN32
    return _fseeki64(f, offset, whence);
#else
    return fseeko(f, off_t(offset), whence);
#endif
}

int64_t tellFile(std::FILE* f) {
#ifdef _WIN32
    return _ftelli64(f);
#else
    return int64_t(ftello(f));
#endif
}

} // namespace

int64_t audioStartOf(const uint8_t* h, size_t length) {
    if (length < 10 || std::memcmp(h, "ID3", 3) != 0 || h[3] == 0xFF || h[4] == 0xFF) return 0;
    if ((h[6] | h[7] | h[8] | h[9]) & 0x80) return 0;
    int64_t size = int64_t(h[6]) << 21 | int64_t(h[7]) << 14 | int64_t(h[8]) << 7 | h[9];
    bool footer = h[3] >= 4 && (h[5] & 0x10);
    return 10 + size + (footer ? 10 : 0);
}

bool SongSource::open(const std::string& path) {
    close();
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) return false;
    uint8_t head[10] = {};
    size_t got = std::fread(head, 1, sizeof head, file_);
    int64_t size = seekFile(file_, 0, SEEK_END) == 0 ? tellFile(file_) : -1;
    if (size < 0) {
        close();
        return false;
    }
    start_ = std::min(audioStartOf(head, got), size);
    end_ = size;
    uint8_t tail[3];
    if (end_ - start_ >= 128 && seekFile(file_, end_ - 128, SEEK_SET) == 0 &&
        std::fread(tail, 1, 3, file_) == 3 && std::memcmp(tail, "TAG", 3) == 0)
        end_ -= 128;
    streamStart_ = start_;
    std::vector<uint8_t> first(size_t(std::min<int64_t>(end_ - start_, 65536)));
    if (seekFile(file_, start_, SEEK_SET) == 0)
        first.resize(std::fread(first.data(), 1, first.size(), file_));
    else
        first.clear();
    vbr_.scan(first.data(), first.size(), end_ - start_);
    start_ += vbr_.audioOffset();
    if (vbr_.lengthMs() < 0 && seekFile(file_, start_, SEEK_SET) == 0) {
        int64_t left = end_ - start_;
        frames_.build(
            [&](uint8_t* buffer, size_t length) {
                size_t want = size_t(std::min<int64_t>(int64_t(length), left));
                size_t got = want ? std::fread(buffer, 1, want, file_) : 0;
                left -= int64_t(got);
                return got;
            },
            end_ - start_);
    }
    pos_ = start_;
    failed_ = seekFile(file_, pos_, SEEK_SET) != 0;
    return true;
}

void SongSource::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    start_ = end_ = pos_ = streamStart_ = 0;
    vbr_ = VbrIndex{};
    frames_ = FrameIndex{};
    failed_ = false;
}

void SongSource::read(uint8_t* buffer, uint32_t length, uint32_t* gotOut) {
    uint32_t got = 0;
    if (file_ && !failed_ && pos_ < end_) {
        uint32_t want = uint32_t(std::min<int64_t>(length, end_ - pos_));
        got = uint32_t(std::fread(buffer, 1, want, file_));
        pos_ += got;
        if (got < want) failed_ = true; // a read error or a file that shrank: no more bytes
    }
    if (gotOut) *gotOut = got;
}

bool SongSource::atEnd() {
    return !file_ || failed_ || pos_ >= end_;
}

void SongSource::seek(int32_t ms, int32_t kbps) {
    if (!file_) return;
    if (vbr_.lengthMs() >= 0) {
        pos_ = std::min(streamStart_ + vbr_.offsetOf(ms), end_);
    } else if (frames_.variable()) {
        pos_ = std::min(start_ + frames_.offsetOf(ms), end_);
    } else {
        int64_t offset = mulDiv(ms, kbps, 8);
        if (offset < 0) offset = 0;
        offset &= ~int64_t(7);
        pos_ = std::min(start_ + offset, end_);
    }
    failed_ = seekFile(file_, pos_, SEEK_SET) != 0;
}

int32_t SongSource::streamLengthMs() const {
    if (vbr_.lengthMs() >= 0) return vbr_.lengthMs();
    return frames_.variable() ? frames_.lengthMs() : -1;
}

int32_t SongSource::byteSize() const {
    int64_t n = end_ - start_;
    return n > INT32_MAX ? INT32_MAX : int32_t(n);
}

} // namespace kalvo
