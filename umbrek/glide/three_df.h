// 3DF texture files: a few ASCII header lines ("3df v1.1", the format name,
// "lod range: <smallest> <largest>", "aspect ratio: <w> <h>"), then, big-endian,
// the format's table (the NCC table of the yiq formats, the 256-entry palette
// of the paletted ones) and the levels, largest first.
#pragma once

#include "umbrek/glide/glide.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace umbrek::glide {

// Texora's name of a texture format ("rgb565", ...), or null for a code
// outside the table.
const char* formatName(int32_t format);
// The format of a name, or -1.
int32_t formatOfName(std::string_view name);
// Bytes of the table that follows the header: 80 (NCC), 1024 (palette) or 0.
size_t tableBytes(int32_t format);

// Parses the header of a file held in memory; fills info's header and
// mem_required and where the table starts. False for anything malformed.
bool read3dfInfo(const uint8_t* bytes, size_t size, Gu3dfInfo& info, size_t& headerSize);
// Reads table and texels into info.table and info.data; false when the file is
// malformed or cut, when info.data is null, or when its data would not fit the
// info.mem_required bytes the caller allocated (never writes beyond them).
bool load3df(const uint8_t* bytes, size_t size, Gu3dfInfo& info);

} // namespace umbrek::glide
