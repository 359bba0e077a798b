// The data library: one file that holds the engine's models, shade tables and
// images as named members, behind a 21-byte header (seed and scrambled
// password field) and a chain of 19-byte directory entries, each followed by
// its member's bytes. While a library is selected, LKXO_File_Open finds files
// in it; otherwise it opens them from disk.
#pragma once

#include "umbrek/vastrel/data_stream.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// Names are compared cut to this many characters on both sides, so that a
// member "ZEPHRINSPIN.KX" answers for "zephrinspin.kxo": the entry's name
// field holds no more.
constexpr int kLibraryNameLength = 14;
constexpr int kLibraryHeaderSize = 21;
constexpr int kLibraryEntrySize = 19;

// Selects the library at PATH (none: files come from disk again). Reads its
// directory and closes it. A library that cannot be opened leaves an empty
// directory, so that every later open fails; nothing is reported here, the
// reader that misses its file says which one.
void KX_SetDataLibrary(const char* path);
// Selects a library held in memory (the bytes must outlive the selection):
// the same as a library file, for tests and fuzzing.
void KX_SetDataLibraryBytes(const uint8_t* bytes, size_t size);

// Opens NAME: from the selected library (positioned at the member's first
// byte; reads are not limited to the member) or, with none, from disk.
// None when the name is not in the library or the library's password check
// fails. Closing is destroying the stream.
std::unique_ptr<DataStream> LKXO_File_Open(const char* name);

// What the directory holds, for tests and tools: the number of members and
// the I-th member's name (upper case), data offset and length.
struct LibraryMember {
    char name[kLibraryNameLength + 1];
    int64_t offset;
    int32_t length;
};
size_t KX_LibraryMemberCount();
const LibraryMember* KX_LibraryMember(size_t index);
// The selected library's member that NAME opens; none with no library
// selected or when the name is not in its directory.
const LibraryMember* KX_FindLibraryMember(const char* name);

// The password check on the stored 15-byte password field: it passes when the
// field unscrambles to a leading blank, or when it matches GIVEN (upper-cased,
// up to 15 characters, up to its first blank). Umbrek gives an empty password.
bool KX_LibraryPasswordMatches(int32_t seed, const uint8_t* storedField, const char* given);
