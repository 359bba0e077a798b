#include "pelmit/formats/structure_reader.h"

#include <cstring>

namespace pelmit {

namespace {

size_t fieldWidth(int32_t code) {
    switch (code) {
    case FieldLe16:
    case FieldBe16: return 2;
    case FieldLe32:
    case FieldBe32: return 4;
    case FieldByte: return 1;
    default: return 0;
    }
}

} // namespace

int readRecord(void* destination, size_t destinationSize, RecordDescriptor d, std::FILE* s) {
    unsigned char* out = static_cast<unsigned char*>(destination);
    size_t used = 0;
    while (*d != 0) {
        int32_t code = *d++;
        size_t width = fieldWidth(code);
        if (width == 0) return 0; // not a field code: a programming error, never fatal
        int32_t count = 1;
        if (*d > 0 && *d < 0xFFF0) count = *d++;
        for (int32_t i = 0; i < count; ++i) {
            if (used + width > destinationSize) return 0;
            uint32_t v = 0;
            switch (code) {
            case FieldLe16: v = readLe16(s); break;
            case FieldLe32: v = readLe32(s); break;
            case FieldBe16: v = readBe16(s); break;
            case FieldBe32: v = readBe32(s); break;
            default: v = uint32_t(std::fgetc(s)); break;
            }
            // Packed, each element in host order.
            if (width == 1) {
                const uint8_t b = uint8_t(v);
                std::memcpy(out + used, &b, 1);
            } else if (width == 2) {
                const uint16_t h = uint16_t(v);
                std::memcpy(out + used, &h, 2);
            } else {
                std::memcpy(out + used, &v, 4);
            }
            used += width;
            if (std::feof(s) || std::ferror(s)) return 0;
        }
    }
    return 1;
}

} // namespace pelmit
