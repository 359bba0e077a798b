#include "pelmit/file_type_list.h"

#include <cstring>

namespace pelmit {

namespace {

// The bytes appendFileType writes for one pair, both NULs included.
size_t pairLength(const char* extList, const char* description) {
    size_t n = std::strlen(extList) + 1 + std::strlen(description) + 2; // "%s ("
    for (const char* p = extList; *p;) {
        n += 2; // "*."
        while (*p && *p != ';') ++p, ++n;
        if (*p == ';') ++p, ++n;
    }
    return n + 2; // ")" and NUL
}

} // namespace

char* appendFileType(char* dest, const char* end, const char* extList, const char* description) {
    if (dest >= end || pairLength(extList, description) > size_t(end - dest)) return nullptr;
    size_t n = std::strlen(extList) + 1;
    std::memcpy(dest, extList, n);
    dest += n;
    n = std::strlen(description);
    std::memcpy(dest, description, n);
    dest += n;
    *dest++ = ' ';
    *dest++ = '(';
    for (const char* p = extList; *p;) {
        *dest++ = '*';
        *dest++ = '.';
        while (*p && *p != ';') *dest++ = *p++;
        if (*p == ';') *dest++ = *p++;
    }
    *dest++ = ')';
    *dest++ = '\0';
    return dest;
}

size_t buildFileTypeList(char* buffer, size_t size, const FileTypeEntry* entries, size_t count) {
    if (size == 0) return 0;
    char* pos = buffer;
    const char* end = buffer + size - 1; // keep room for the list's final NUL
    for (size_t i = 0; i < count; ++i) {
        char* next = appendFileType(pos, end, entries[i].extList, entries[i].description);
        if (!next) break;
        pos = next;
    }
    *pos++ = '\0';
    return size_t(pos - buffer);
}

} // namespace pelmit
