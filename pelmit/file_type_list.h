// The file-type list that Pelmit hands the player: pairs of NUL-ended texts
// (extension list, description with the extensions as filter patterns), the
// whole ended by one more NUL.
#pragma once

#include <cstddef>

namespace pelmit {

constexpr size_t fileTypeBufferSize = 1024;

// Writes one pair at dest, never past end. Returns the position after the
// pair, or nullptr (writing nothing) when the pair does not fit.
char* appendFileType(char* dest, const char* end, const char* extList, const char* description);

struct FileTypeEntry {
    const char* extList;
    const char* description;
};

// Builds the whole list into buffer. Entries that do not fit are left out,
// together with every entry after them, and the list always ends with its
// final NUL, so that an oversized user setting never overruns the buffer.
// Returns the number of bytes used, final NUL included.
size_t buildFileTypeList(char* buffer, size_t size, const FileTypeEntry* entries, size_t count);

} // namespace pelmit
