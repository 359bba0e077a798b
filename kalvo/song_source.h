// The playing song's MPEG audio stream: the bytes of a TQZ file from the end
// of its ID3v2 tag up to a trailing ID3v1 tag, read by the decoder and
// positioned by time at the running average bit rate, or by the stream's own
// VBR header when its first frame is one (that frame is then left out), or by
// its frames when they have no one bit rate and no header speaks for them.
#pragma once

#include "kalvo/frame_index.h"
#include "kalvo/mpeg/decoder_input.h"
#include "kalvo/vbr_header.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace kalvo {

class SongSource : public DecoderInput {
public:
    SongSource() = default;
    SongSource(const SongSource&) = delete;
    SongSource& operator=(const SongSource&) = delete;
    ~SongSource() override { close(); }

    // Opens path and finds its stream; false when the file cannot be opened.
    bool open(const std::string& path);
    void close();
    bool isOpen() const { return file_ != nullptr; }

    // The decoder's input: fills up to length bytes, stores how many.
    void read(uint8_t* buffer, uint32_t length, uint32_t* gotOut) override;
    bool atEnd() override;

    // Positions the stream at ms x kbps / 8 bytes (rounded, lowered to a
    // multiple of 8) after its start, never past its end; with a believable
    // VBR header, where the header puts ms instead, and in a variable-rate
    // stream without one, where its frames put it.
    void seek(int32_t ms, int32_t kbps);
    // The length the stream's VBR header gives, else the time of a
    // variable-rate stream's frames; -1 when the stream gives none (a
    // constant rate then gives it from the bytes).
    int32_t streamLengthMs() const;

    int32_t byteSize() const;
    int canSeek() const { return 1; }
    int64_t audioStart() const { return start_; }
    int64_t position() const { return pos_; }

private:
    std::FILE* file_ = nullptr;
    int64_t start_ = 0, end_ = 0, pos_ = 0;
    // Where the stream begins, header frame included.
    int64_t streamStart_ = 0;
    VbrIndex vbr_;
    // Walked only when no header gives the length.
    FrameIndex frames_;
    bool failed_ = false;
};

// Where the audio of a file begins, from its first ten bytes: after an ID3v2
// tag (and its footer), or at 0 when the file has none.
int64_t audioStartOf(const uint8_t* head, size_t length);

} // namespace kalvo
