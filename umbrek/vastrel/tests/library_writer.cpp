#include "umbrek/vastrel/tests/library_writer.h"

#include "umbrek/vastrel/data_library.h"
#include "umbrek/vastrel/library_scrambler.h"

namespace umbrek::test {

namespace {

void putInt32(std::vector<uint8_t>& out, int32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(uint32_t(value) >> (8 * i)));
}

} // namespace

std::vector<int32_t> scramblerValues(int32_t seed, int count) {
    LibraryScrambler stream(seed);
    std::vector<int32_t> values;
    for (int i = 0; i < count; ++i) values.push_back(stream.next());
    return values;
}

std::vector<uint8_t> scrambleName(const std::string& name, int32_t seed) {
    LibraryScrambler stream(seed);
    std::vector<uint8_t> out;
    for (size_t i = 0; i < name.size() && i < size_t(kLibraryNameLength); ++i)
        out.push_back(uint8_t(uint8_t(name[i]) + stream.next()));
    return out;
}

std::vector<uint8_t> writeLibrary(const std::vector<LibraryEntry>& entries,
                                  const LibraryOptions& options) {
    std::vector<uint8_t> out = {'K', 'X'};
    putInt32(out, options.seed);
    // Blanks open the library; any other first character closes it to an
    // empty password. The stored field must not hold a zero (it ends the field).
    LibraryScrambler stream(options.seed);
    for (int i = 0; i < 15; ++i) {
        const uint8_t plain = i == 0 && options.badPassword ? 'X' : ' ';
        out.push_back(uint8_t(plain + stream.next()));
    }
    for (const LibraryEntry& entry : entries) {
        std::vector<uint8_t> name = scrambleName(entry.name, options.seed);
        out.push_back(uint8_t(entry.nameLengthByte.value_or(int(name.size()))));
        name.resize(size_t(kLibraryNameLength), 0);
        out.insert(out.end(), name.begin(), name.end());
        putInt32(out, entry.storedLength.value_or(int32_t(entry.data.size())));
        out.insert(out.end(), entry.data.begin(), entry.data.end());
    }
    out.resize(out.size() - (options.cutBytes < out.size() ? options.cutBytes : out.size()));
    return out;
}

} // namespace umbrek::test
