#include "umbrek/vastrel/data_library.h"

#include "umbrek/vastrel/library_scrambler.h"
#include "umbrek/vastrel/read_hook.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

// The selected library: where to reopen it from, and its directory in file order.
struct LibraryState {
    bool selected = false;
    std::string path;               // a library file on disk...
    const uint8_t* bytes = nullptr; // ...or one in memory
    size_t byteCount = 0;
    std::vector<LibraryMember> directory;
};

LibraryState& library() {
    static LibraryState state;
    return state;
}

std::unique_ptr<DataStream> reopen(const LibraryState& state) {
    if (state.bytes) return openMemoryStream(state.bytes, state.byteCount);
    return openFileStream(state.path.c_str());
}

int32_t readInt32(const uint8_t* p) {
    return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                   uint32_t(p[3]) << 24);
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

// The directory: entries from offset 21 until one cannot be read whole, or
// its length is negative (the walk would go backward), or the next entry
// would start beyond the end of the file.
void readDirectory(LibraryState& state) {
    std::unique_ptr<DataStream> file = reopen(state);
    if (!file) return;
    uint8_t header[kLibraryHeaderSize];
    if (file->read(header, sizeof header) != sizeof header) return;
    const int32_t seed = readInt32(header + 2);
    const int64_t fileSize = file->size();
    int64_t at = kLibraryHeaderSize;
    for (;;) {
        KX_ReadHook();
        uint8_t entry[kLibraryEntrySize];
        if (!file->seek(at) || file->read(entry, sizeof entry) != sizeof entry) break;
        LibraryMember member{};
        const int n = entry[0] > kLibraryNameLength ? kLibraryNameLength : entry[0];
        LibraryScrambler stream(seed);
        for (int i = 0; i < n; ++i) {
            const char c = upper(char(uint8_t(entry[1 + i] - stream.next())));
            if (c == 0) break;
            member.name[i] = c;
        }
        member.offset = at + kLibraryEntrySize;
        member.length = readInt32(entry + 15);
        if (member.length < 0) break;
        state.directory.push_back(member);
        at = member.offset + member.length;
        if (at > fileSize) break;
    }
}

void select(const char* path, const uint8_t* bytes, size_t size) {
    LibraryState& state = library();
    state = LibraryState{};
    if (!path && !bytes) return;
    state.selected = true;
    if (path) state.path = path;
    state.bytes = bytes;
    state.byteCount = size;
    readDirectory(state);
}

// The name as the directory holds it: upper case, cut to the name field.
std::string directoryName(const char* name) {
    std::string s;
    for (; *name && s.size() < size_t(kLibraryNameLength); ++name) s += upper(*name);
    return s;
}

} // namespace

void KX_SetDataLibrary(const char* path) {
    select(path, nullptr, 0);
}

void KX_SetDataLibraryBytes(const uint8_t* bytes, size_t size) {
    // An empty selection still selects a library: one that holds nothing.
    static const uint8_t none = 0;
    select(nullptr, bytes ? bytes : &none, bytes ? size : 0);
}

size_t KX_LibraryMemberCount() {
    return library().directory.size();
}

const LibraryMember* KX_LibraryMember(size_t index) {
    const LibraryState& state = library();
    return index < state.directory.size() ? &state.directory[index] : nullptr;
}

bool KX_LibraryPasswordMatches(int32_t seed, const uint8_t* storedField, const char* given) {
    // The stored field up to its first zero, then zeros: 16 bytes in all.
    uint8_t field[16] = {};
    for (int i = 0; i < 15 && storedField[i] != 0; ++i) field[i] = storedField[i];
    char plain[16];
    LibraryScrambler stream(seed);
    for (int i = 0; i < 16; ++i) plain[i] = char(uint8_t(field[i] - stream.next()));
    if (plain[0] == ' ') return true;
    // An empty password matches nothing but the blank field above.
    if (!given || !*given || *given == ' ') return false;
    for (int i = 0; i < 15 && given[i] && given[i] != ' '; ++i)
        if (plain[i] != upper(given[i])) return false;
    return true;
}

std::unique_ptr<DataStream> LKXO_File_Open(const char* name) {
    if (!name) return nullptr;
    const LibraryState& state = library();
    if (!state.selected) return openFileStream(name);
    std::unique_ptr<DataStream> file = reopen(state);
    if (!file) return nullptr;
    uint8_t header[kLibraryHeaderSize];
    if (file->read(header, sizeof header) != sizeof header) return nullptr;
    const LibraryMember* member = KX_FindLibraryMember(name);
    if (!member || !file->seek(member->offset)) return nullptr;
    if (!KX_LibraryPasswordMatches(readInt32(header + 2), header + 6, "")) return nullptr;
    return file;
}

const LibraryMember* KX_FindLibraryMember(const char* name) {
    const LibraryState& state = library();
    if (!name || !state.selected) return nullptr;
    const std::string wanted = directoryName(name);
    for (const LibraryMember& member : state.directory)
        if (wanted == member.name) return &member;
    return nullptr;
}
