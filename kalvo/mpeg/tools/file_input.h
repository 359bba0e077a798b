// A DecoderInput over a file, from a byte offset on.
#pragma once

#include "kalvo/mpeg/decoder_input.h"

#include <cstdio>

namespace kalvo {

class FileInput : public DecoderInput {
public:
    ~FileInput() override;
    bool open(const char* path);
    // The size of an ID3v2 tag at the file's start (0 when there is none).
    long id3v2Size();
    void seek(long offset);
    void read(uint8_t* buffer, uint32_t length, uint32_t* gotOut) override;
    bool atEnd() override;

private:
    FILE* file_ = nullptr;
    bool ended_ = false;
};

} // namespace kalvo
