// The frames of a stream that carries no header giving its length, walked
// once when the song opens. A variable bit-rate stream has no one rate at
// which bytes turn into time: the average of the frames played so far can be
// far from the whole song's, so the length and the seeks come from the frames
// themselves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace kalvo {

class FrameIndex {
public:
    // Fills buffer with up to length bytes of the stream, in order; returns
    // how many (0 at the end).
    using ReadFn = std::function<size_t(uint8_t* buffer, size_t length)>;

    // Walks the Layer III frames of a stream of streamBytes bytes as the
    // decoder would find them: a first frame confirmed by the next header,
    // then frame after frame, searching again past anything else. Only whole
    // frames count.
    void build(const ReadFn& read, int64_t streamBytes);

    int64_t frames() const { return frames_; }
    // The frames do not all have the same bit rate.
    bool variable() const { return variable_; }
    // The time of the frames counted; -1 without any, or beyond 32 bits.
    int32_t lengthMs() const;
    // Where the audio of ms lies, from the start of the stream.
    int64_t offsetOf(int32_t ms) const;

private:
    static constexpr int64_t framesPerMark = 4;

    void count(int64_t offset, int64_t bytes, uint32_t bitRate);

    int64_t frames_ = 0;
    bool variable_ = false;
    uint32_t firstBitRate_ = 0;
    double frameMs_ = 0;
    // Where every framesPerMark-th frame starts; where the last frame ends.
    std::vector<int64_t> marks_;
    int64_t end_ = 0;
};

} // namespace kalvo
