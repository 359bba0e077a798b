// Finds MPEG audio frames in the byte stream: a bit-wise search that wants
// two agreeing headers in a row, then frame-to-frame checks against the
// locked header bits, with the first ten frames double-checked ahead.
#pragma once

#include "kalvo/mpeg/bit_reader.h"
#include "kalvo/mpeg/frame_header.h"
#include "kalvo/mpeg/mp3_ssc.h"

namespace kalvo {

class SyncReader {
public:
    static constexpr uint32_t ringBytes = 8192;

    bool init() { return reader_.init(ringBytes); }
    void attach(DecoderInput* input) { reader_.attach(input); }
    // Empties the ring and starts searching again.
    void reset();

    // Leaves the reader at the start of the next frame and returns
    // sscOk, or returns the sync state: sscSyncSearched (no frame yet),
    // sscSyncLost (the next header did not match), sscSyncNeedData (the
    // frame is not whole yet) or sscSyncEof (final until reset).
    Mp3Ssc findFrame();

    // The header of the frame that findFrame found last.
    const FrameHeader& header() const { return header_; }
    BitReader& reader() { return reader_; }
    // How many bit positions the search has passed over since the reset.
    uint32_t skippedBits() const { return skipped_; }

private:
    Mp3Ssc search();
    Mp3Ssc checkNext();
    bool agrees(uint32_t word) const;

    BitReader reader_;
    FrameHeader header_;
    Mp3Ssc status_ = sscSyncSearched;
    uint32_t lockedPattern_ = 0;
    int doubleChecks_ = 0;
    uint32_t skipped_ = 0;
};

} // namespace kalvo
