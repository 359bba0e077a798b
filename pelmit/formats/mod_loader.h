// MOD detection and loading: the tag at offset 1080 says how many channels a
// module has and which tracker wrote it; files without a known tag are the
// older 15-sample modules, taken only when their name says MOD.
#pragma once

#include "pelmit/formats/mod_song.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace pelmit {

class ModPlayer;

// What a tag says about a module.
struct ModTagInfo {
    bool known;   // false: no tag, a 15-sample module
    int channels; // 0 for a known tag that names none (such as "0CHN")
    TrackerType tracker;
};

// The tag as the big-endian number of its four bytes.
ModTagInfo modTagInfo(uint32_t tag);
inline int channelsFromTag(uint32_t tag) {
    return modTagInfo(tag).channels;
}
inline TrackerType trackerFromTag(uint32_t tag) {
    return modTagInfo(tag).tracker;
}

// The file name (after the last path separator) begins with "mod." or ends
// with ".mod", in any case.
bool hasModFileName(const char* path);

// The title of a file that is not playing: its 20 title bytes as they stand,
// or "File not found"; cut to size.
void readModTitle(const char* path, char* title, size_t size);

// The MOD recogniser and loader.
class ModFileType {
public:
    virtual ~ModFileType() = default;
    // The channel count, or 0 when the file is not a MOD. Positions the stream
    // itself.
    virtual int identifyMod(std::FILE* stream, const char* path);
    // Loads a file that identifyMod accepted into a player whose voice set is
    // already allocated. 1 loaded, 0 failed (what was taken stays for the
    // player to release).
    virtual int loadMod(ModPlayer& player, std::FILE* stream, const char* path);

    // Settings switch: end songs at trailing rows of pattern delays.
    static inline std::atomic<int32_t> stripTrailingPause{0};
};

extern ModFileType modFileType;

// identifyMod of the one ModFileType, for the format table.
int identifyModFile(std::FILE* stream, const char* path);

} // namespace pelmit
