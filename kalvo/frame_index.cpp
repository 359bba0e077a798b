#include "kalvo/frame_index.h"

#include "common/byte_order.h"

#include "kalvo/mpeg/frame_header.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kalvo {

namespace {

// Holds a window of the stream; the frames are walked through it in order.
class Window {
public:
    Window(const FrameIndex::ReadFn& read, int64_t streamBytes)
        : read_(read), streamBytes_(streamBytes), bytes_(windowBytes) {}

    // Makes bytes [at, at + n) of the stream available; false when the stream
    // ends before them. Offsets only go forward.
    bool hold(int64_t at, size_t n) {
        if (at + int64_t(n) > streamBytes_) return false;
        int64_t end = start_ + int64_t(held_);
        if (at >= start_ && at + int64_t(n) <= end) return true;
        if (at < end) {
            size_t from = size_t(at - start_);
            std::copy(bytes_.begin() + int64_t(from), bytes_.begin() + int64_t(held_),
                      bytes_.begin());
            held_ -= from;
        } else {
            held_ = 0;
            for (int64_t gap = at - end; gap > 0;) {
                size_t got = read_(bytes_.data(), size_t(std::min<int64_t>(gap, windowBytes)));
                if (got == 0) return ended();
                gap -= int64_t(got);
            }
        }
        start_ = at;
        while (held_ < n) {
            size_t got = read_(bytes_.data() + held_, bytes_.size() - held_);
            if (got == 0) return ended();
            held_ += got;
        }
        return true;
    }
    const uint8_t* at(int64_t offset) const { return bytes_.data() + (offset - start_); }

private:
    // Large reads keep the walk at the speed of the file; a frame is at most
    // a few kilobytes, far less than this.
    static constexpr size_t windowBytes = 1 << 18;

    // The stream gave out before the bytes it said it has.
    bool ended() {
        streamBytes_ = -1;
        return false;
    }

    const FrameIndex::ReadFn& read_;
    int64_t streamBytes_;
    std::vector<uint8_t> bytes_;
    int64_t start_ = 0;
    size_t held_ = 0;
};

bool layer3(const FrameHeader& h) {
    return h.valid && h.layer == 3;
}

} // namespace

void FrameIndex::count(int64_t offset, int64_t bytes, uint32_t bitRate) {
    if (frames_ % framesPerMark == 0) marks_.push_back(offset);
    if (frames_ == 0) firstBitRate_ = bitRate;
    variable_ = variable_ || bitRate != firstBitRate_;
    ++frames_;
    end_ = offset + bytes;
}

void FrameIndex::build(const ReadFn& read, int64_t streamBytes) {
    *this = FrameIndex{};
    Window w(read, streamBytes);
    uint32_t locked = 0;
    bool synced = false;
    for (int64_t pos = 0; w.hold(pos, 4);) {
        const uint8_t* p = w.at(pos);
        if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) {
            synced = false;
            ++pos;
            continue;
        }
        uint32_t word = jk::loadBe32(p);
        FrameHeader h = parseFrameHeader(word);
        int64_t bytes = h.frameLengthBits / 8;
        if (!layer3(h) || bytes < 4) {
            synced = false;
            ++pos;
            continue;
        }
        bool follows = synced && (word & headerLockMask) == locked;
        if (!follows) {
            // A frame found by searching counts only when the next header agrees.
            synced = false;
            if (!w.hold(pos, size_t(bytes) + 4)) break;
            uint32_t next = jk::loadBe32(w.at(pos + bytes));
            if ((next & headerLockMask) != (word & headerLockMask) ||
                !layer3(parseFrameHeader(next))) {
                ++pos;
                continue;
            }
            locked = word & headerLockMask;
            synced = true;
        } else if (!w.hold(pos, size_t(bytes))) {
            break; // a cut-off last frame is not played
        }
        if (frames_ == 0) frameMs_ = double(h.samplesPerFrame) * 1000 / h.samplingRate;
        count(pos, bytes, h.bitRate);
        pos += bytes;
    }
}

int32_t FrameIndex::lengthMs() const {
    double ms = double(frames_) * frameMs_;
    return frames_ == 0 || ms > INT32_MAX ? -1 : int32_t(ms);
}

int64_t FrameIndex::offsetOf(int32_t ms) const {
    if (frames_ == 0) return 0;
    double frame = std::max(0.0, double(ms) / frameMs_);
    if (frame >= double(frames_)) return end_;
    size_t mark = size_t(frame / framesPerMark);
    int64_t from = marks_[mark];
    int64_t to = mark + 1 < marks_.size() ? marks_[mark + 1] : end_;
    int64_t first = int64_t(mark) * framesPerMark;
    double within = (frame - double(first)) / double(std::min(framesPerMark, frames_ - first));
    return from + int64_t(within * double(to - from));
}

} // namespace kalvo
