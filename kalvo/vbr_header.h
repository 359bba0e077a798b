// The header that a variable bit-rate stream carries in its first frame in
// place of audio (Xing or Info, or VBRI): the stream's frame count and byte
// size, and a table of contents, from which the song's length and the byte
// offset of a time are taken.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kalvo {

struct VbrHeader {
    uint32_t frames = 0; // 0 when not given
    uint32_t bytes = 0;  // 0 when not given
    bool hasToc = false;
    // Xing: entry i is the offset of i % of the song, in 1/256 of `bytes`.
    std::array<uint8_t, 100> toc{};
    // VBRI: the bytes of each run of `framesPerEntry` audio frames, scaled
    // (empty without a table).
    std::vector<uint32_t> entryBytes;
    uint32_t framesPerEntry = 0;
};

// Reads the Xing, Info or VBRI header of the Layer III frame at frame (length
// bytes held, the frame header first). False when the frame carries none.
bool readVbrHeader(const uint8_t* frame, size_t length, VbrHeader& out);

// The stream as its leading header describes it, checked against the stream
// itself. Offsets count from the start of the stream.
class VbrIndex {
public:
    // Looks for the stream's first frame in head (the stream's first bytes)
    // and for a header in it; streamBytes is the whole stream's size.
    void scan(const uint8_t* head, size_t length, int64_t streamBytes);

    // A header frame was found: it is not audio, and the audio begins after it.
    bool found() const { return found_; }
    int64_t audioOffset() const { return found_ ? frameEnd_ : 0; }
    // The length from the header's frame count, cut in proportion when the
    // stream is shorter than the header says; -1 when the header gives no
    // believable length (no count, or a count that does not fit the bytes).
    int32_t lengthMs() const { return lengthMs_; }
    // Where the audio of ms lies (only with a length): from the table of
    // contents when it has one that only goes forward (VBRI: that adds up to
    // about the stream's bytes), else at the average bit rate the header implies.
    int64_t offsetOf(int32_t ms) const;

private:
    // VBRI: where the audio of ms lies by the table, which counts its runs of
    // frames from the end of the header frame.
    int64_t entryOffsetOf(int32_t ms) const;

    bool found_ = false;
    VbrHeader header_;
    bool tocUsable_ = false;
    // VBRI: where each run of frames starts, and its end after the last; the
    // duration of one frame.
    std::vector<int64_t> entryStarts_;
    double frameMs_ = 0;
    int64_t frameStart_ = 0, frameEnd_ = 0, streamBytes_ = 0;
    // The bytes the table of contents divides; the audio bytes the stream has.
    int64_t tocBytes_ = 0, audioBytes_ = 0;
    // The length the stream has, and the one the header gives for it whole.
    int32_t lengthMs_ = -1, fullMs_ = -1;
};

} // namespace kalvo
