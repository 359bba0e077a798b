#include "umbrek/vastrel/file_bytes.h"

#include "umbrek/vastrel/data_library.h"

#include <algorithm>
#include <new>

namespace umbrek::vastrel {

bool readEngineFile(const char* name, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    if (!name) return false;
    std::unique_ptr<DataStream> file = LKXO_File_Open(name);
    if (!file) return false;
    // A member's bytes end where its directory entry says, a file's at its end.
    std::int64_t left = std::max<std::int64_t>(file->size() - file->tell(), 0);
    if (const LibraryMember* member = KX_FindLibraryMember(name))
        left = std::min<std::int64_t>(left, member->length);
    try {
        bytes.resize(std::size_t(left));
    } catch (const std::bad_alloc&) {
        return false;
    }
    bytes.resize(file->read(bytes.data(), bytes.size()));
    return true;
}

} // namespace umbrek::vastrel
