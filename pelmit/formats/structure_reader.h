// How every loader and detector reads Amiga files, whose numbers are stored
// big-endian: four byte-order readers (shared with the emulated Amiga's hunk
// loader and the other deliverables, in common/byte_order.h), and readRecord,
// which fills a packed structure from a stream as a descriptor directs.
#pragma once

#include "common/byte_order.h"

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

using jk::readBe16;
using jk::readBe32;
using jk::readLe16;
using jk::readLe32;
using jk::remainingBytes;

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

} // namespace pelmit
