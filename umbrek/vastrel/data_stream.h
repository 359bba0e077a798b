// The byte stream that the engine's readers take: read, seek and tell over a
// file on disk or over bytes in memory. A member of a data library is the
// library's stream positioned at the member's first byte, so readers never
// know where their bytes come from, and tests and fuzz targets need no files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

class DataStream {
public:
    virtual ~DataStream() = default;
    // Reads up to `count` bytes and returns how many it read (short at the end).
    virtual size_t read(void* into, size_t count) = 0;
    // Moves to an absolute position; a position past the end is allowed
    // (reads there give nothing). False for a negative position or an error.
    virtual bool seek(int64_t position) = 0;
    virtual int64_t tell() const = 0;
    // The whole stream's length in bytes.
    virtual int64_t size() const = 0;
};

// Opens PATH read-only in binary mode; none when it cannot be opened.
std::unique_ptr<DataStream> openFileStream(const char* path);
// A stream over BYTES, which must outlive it (nothing is copied).
std::unique_ptr<DataStream> openMemoryStream(const uint8_t* bytes, size_t size);

// Buffered byte-at-a-time reading for the image decoders, which take their
// input one byte at a time; a virtual call per byte would dominate them.
class ByteReader {
public:
    explicit ByteReader(DataStream& stream) : stream_(stream) {}
    // The next byte, or -1 at the end of the stream.
    int next() {
        if (at_ == end_ && !refill()) return -1;
        return buffer_[at_++];
    }
    // Reads exactly COUNT bytes; false (and what was there) when the stream ends first.
    bool read(uint8_t* into, size_t count);
    // Skips COUNT bytes forward; false when that passes the end of the stream.
    bool skip(uint64_t count);

private:
    bool refill();

    DataStream& stream_;
    uint8_t buffer_[4096];
    size_t at_ = 0, end_ = 0;
};
