// How every loader and detector reads Amiga files, whose numbers are stored
// big-endian: four byte-order readers, and readRecord, which fills a packed
// structure from a stream as a descriptor directs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace pelmit {

// Field codes of a RecordDescriptor. A code may be followed by a repeat count
// (1..65519); the descriptor ends with a word 0.
enum FieldCode : int32_t {
    FieldLe16 = 0xFFF0,
    FieldLe32 = 0xFFF2,
    FieldBe16 = 0xFFF4,
    FieldBe32 = 0xFFF5,
    FieldByte = 0xFFF7,
};

using RecordDescriptor = const int32_t*;

// The readers take their bytes with fgetc and do not test for the end of the
// file themselves: callers test the stream.
uint32_t readBe32(std::FILE* stream);
uint16_t readBe16(std::FILE* stream);
uint32_t readLe32(std::FILE* stream);
uint16_t readLe16(std::FILE* stream);

// Fills destination (a packed image, elements in host order one behind the
// other) as the descriptor directs. Returns 1 when the descriptor's end was
// reached, 0 when the stream ended or failed (the element read last is stored),
// or when the descriptor is malformed or would write past destinationSize.
int readRecord(void* destination, size_t destinationSize, RecordDescriptor descriptor,
               std::FILE* stream);

template <class Record>
int readRecord(Record& destination, RecordDescriptor descriptor, std::FILE* stream) {
    return readRecord(&destination, sizeof destination, descriptor, stream);
}

// Bytes from the stream's position to its end (0 when it cannot tell), so that
// loaders never allocate more for a block than the file still holds.
uint32_t remainingBytes(std::FILE* stream);

} // namespace pelmit
