#include "umbrek/vastrel/file_bytes.h"

#include "umbrek/vastrel/data_library.h"

#include <algorithm>
#include <new>

namespace umbrek::vastrel {

namespace {

// A library member's stream starts at the member's first byte, which no
// file on disk does (its streams start at 0, before any member's offset).
std::int64_t bytesInFile(const DataStream& stream) {
    const std::int64_t at = stream.tell();
    std::int64_t left = std::max<std::int64_t>(stream.size() - at, 0);
    for (std::size_t i = 0; i < KX_LibraryMemberCount(); ++i) {
        const LibraryMember* member = KX_LibraryMember(i);
        if (member->offset == at) return std::min<std::int64_t>(left, member->length);
    }
    return left;
}

} // namespace

bool readEngineFile(const char* name, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    if (!name) return false;
    std::unique_ptr<DataStream> file = LKXO_File_Open(name);
    if (!file) return false;
    try {
        bytes.resize(std::size_t(bytesInFile(*file)));
    } catch (const std::bad_alloc&) {
        return false;
    }
    bytes.resize(file->read(bytes.data(), bytes.size()));
    return true;
}

} // namespace umbrek::vastrel
