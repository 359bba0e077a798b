#include "kalvo/vbr_header.h"

#include "common/byte_order.h"

#include "kalvo/mpeg/frame_header.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace kalvo {

namespace {

constexpr uint32_t xingFrames = 1, xingBytes = 2, xingToc = 4;
// VBRI sits at a fixed place: after the header and 32 bytes.
constexpr size_t vbriOffset = 36;
// How far into the stream its first frame is looked for.
constexpr size_t searchBytes = 65536;

// The Xing tag follows the side information, whose size depends on the
// version and the channels.
size_t xingOffset(const FrameHeader& h) {
    size_t side = h.versionIndex == 0 ? (h.channels == 1 ? 17 : 32) : (h.channels == 1 ? 9 : 17);
    return 4 + (h.protection ? 2 : 0) + side;
}

bool readXing(const uint8_t* p, size_t room, VbrHeader& out) {
    if (room < 8 || (std::memcmp(p, "Xing", 4) != 0 && std::memcmp(p, "Info", 4) != 0))
        return false;
    uint32_t flags = jk::loadBe32(p + 4);
    size_t at = 8;
    auto field = [&](uint32_t flag, uint32_t& value) {
        if (!(flags & flag) || at + 4 > room) return;
        value = jk::loadBe32(p + at);
        at += 4;
    };
    field(xingFrames, out.frames);
    field(xingBytes, out.bytes);
    if ((flags & xingToc) && at + 100 <= room) {
        std::memcpy(out.toc.data(), p + at, 100);
        out.hasToc = true;
    }
    return true;
}

bool readVbri(const uint8_t* p, size_t room, VbrHeader& out) {
    if (room < 18 || std::memcmp(p, "VBRI", 4) != 0) return false;
    out.bytes = jk::loadBe32(p + 10);
    out.frames = jk::loadBe32(p + 14);
    if (room < 26) return true;
    size_t entries = jk::loadBe16(p + 18);
    uint32_t scale = jk::loadBe16(p + 20);
    size_t entrySize = jk::loadBe16(p + 22);
    uint32_t framesPerEntry = jk::loadBe16(p + 24);
    // A table that does not fit the frame is not read: what follows is audio.
    if (entries == 0 || scale == 0 || entrySize < 1 || entrySize > 4 || framesPerEntry == 0 ||
        26 + entries * entrySize > room)
        return true;
    out.entryBytes.resize(entries);
    const uint8_t* at = p + 26;
    for (uint32_t& bytes : out.entryBytes) {
        uint64_t value = 0;
        for (size_t i = 0; i < entrySize; ++i) value = value << 8 | *at++;
        value *= scale;
        bytes = value > UINT32_MAX ? UINT32_MAX : uint32_t(value);
    }
    out.framesPerEntry = framesPerEntry;
    out.hasToc = true;
    return true;
}

// The lowest and highest Layer III frame bit rates of the version, in kbit/s.
void bitRateRange(const FrameHeader& h, int64_t& low, int64_t& high) {
    low = h.versionIndex == 0 ? 32 : 8;
    high = h.versionIndex == 0 ? 320 : 160;
}

} // namespace

bool readVbrHeader(const uint8_t* frame, size_t length, VbrHeader& out) {
    out = VbrHeader{};
    if (length < 4) return false;
    FrameHeader h = parseFrameHeader(jk::loadBe32(frame));
    if (!h.valid || h.layer != 3) return false;
    size_t x = xingOffset(h);
    if (x < length && readXing(frame + x, length - x, out)) return true;
    out = VbrHeader{};
    return vbriOffset < length && readVbri(frame + vbriOffset, length - vbriOffset, out);
}

void VbrIndex::scan(const uint8_t* head, size_t length, int64_t streamBytes) {
    *this = VbrIndex{};
    streamBytes_ = streamBytes;
    length = std::min(length, searchBytes);
    // The first frame is the first header that the next one agrees with.
    for (size_t at = 0; at + 4 <= length; ++at) {
        FrameHeader h = parseFrameHeader(jk::loadBe32(head + at));
        if (!h.valid) continue;
        size_t frameBytes = h.frameLengthBits / 8;
        if (at + frameBytes + 4 > length) return;
        uint32_t next = jk::loadBe32(head + at + frameBytes);
        if ((next & headerLockMask) != (h.word & headerLockMask) || !parseFrameHeader(next).valid)
            continue;
        if (!readVbrHeader(head + at, frameBytes, header_)) return;
        found_ = true;
        frameStart_ = int64_t(at);
        frameEnd_ = int64_t(at + frameBytes);

        // The bytes the header speaks of, from its own frame on, as far as the stream has them.
        int64_t have = streamBytes - frameStart_;
        int64_t said = header_.bytes > frameBytes ? int64_t(header_.bytes) : have;
        int64_t frames = header_.frames;
        int64_t fullMs = frames * h.samplesPerFrame * 1000 / h.samplingRate;
        if (said > have) frames = frames * have / said; // a cut-off stream
        int64_t ms = frames * h.samplesPerFrame * 1000 / h.samplingRate;
        int64_t audioBytes = std::min(said, have) - int64_t(frameBytes);
        if (frames <= 0 || ms <= 0 || fullMs > INT32_MAX || audioBytes <= 0) return;
        // Every frame's rate lies in the version's table, so their average does too
        // (with a little room for trailing bytes that are not audio).
        int64_t low, high;
        bitRateRange(h, low, high);
        int64_t bits = audioBytes * 8;
        if (bits * 10 < low * ms * 9 || bits * 10 > high * ms * 11) return;
        lengthMs_ = int32_t(ms);
        fullMs_ = int32_t(fullMs);
        tocBytes_ = said;
        audioBytes_ = audioBytes;
        frameMs_ = double(h.samplesPerFrame) * 1000 / h.samplingRate;
        if (header_.entryBytes.empty()) {
            tocUsable_ = header_.hasToc && std::is_sorted(header_.toc.begin(), header_.toc.end());
            return;
        }
        // A VBRI table whose runs do not add up to about the audio the header
        // speaks of describes some other stream: the average rate serves better.
        int64_t runEnd = frameEnd_;
        entryStarts_.push_back(runEnd);
        for (uint32_t bytes : header_.entryBytes) entryStarts_.push_back(runEnd += bytes);
        int64_t tableBytes = runEnd - frameEnd_, saidAudio = said - int64_t(frameBytes);
        tocUsable_ = std::llabs(tableBytes - saidAudio) <= saidAudio / 10;
        if (!tocUsable_) entryStarts_.clear();
        return;
    }
}

int64_t VbrIndex::entryOffsetOf(int32_t ms) const {
    double frame = std::max(0.0, double(ms) / frameMs_);
    double run = frame / header_.framesPerEntry;
    size_t runs = entryStarts_.size() - 1;
    if (run < double(runs)) {
        size_t i = size_t(run);
        double within = run - double(i);
        return entryStarts_[i] + int64_t(within * double(entryStarts_[i + 1] - entryStarts_[i]));
    }
    // Past the frames the table covers: what is left of the stream, evenly.
    double covered = double(runs) * header_.framesPerEntry;
    double rest = double(header_.frames) - covered;
    if (rest <= 0) return entryStarts_.back();
    double part = std::min((frame - covered) / rest, 1.0);
    int64_t left = std::max<int64_t>(frameStart_ + tocBytes_ - entryStarts_.back(), 0);
    return entryStarts_.back() + int64_t(part * double(left));
}

int64_t VbrIndex::offsetOf(int32_t ms) const {
    if (lengthMs_ <= 0) return audioOffset();
    int64_t offset;
    if (!entryStarts_.empty()) {
        offset = entryOffsetOf(ms);
    } else if (tocUsable_) {
        // The table maps the whole song the header speaks of, cut off or not.
        double percent = std::clamp(double(ms) / fullMs_, 0.0, 1.0) * 100;
        int i = std::min(int(percent), 99);
        double a = header_.toc[size_t(i)];
        double b = i < 99 ? header_.toc[size_t(i) + 1] : 256;
        offset = frameStart_ + int64_t((a + (b - a) * (percent - i)) * double(tocBytes_) / 256);
    } else {
        double part = std::clamp(double(ms) / lengthMs_, 0.0, 1.0);
        offset = frameEnd_ + int64_t(part * double(audioBytes_));
    }
    return std::clamp(offset, frameEnd_, streamBytes_);
}

} // namespace kalvo
