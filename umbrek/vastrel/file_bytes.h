// Reads a whole engine file into memory for the readers that parse it from
// bytes. A member of the selected data library ends where its directory
// entry says (never in the bytes of the next member), a file on disk at its
// end; either way no more is read than is there.
#pragma once

#include <cstdint>
#include <vector>

namespace umbrek::vastrel {

// False when NAME cannot be opened through LKXO_File_Open or cannot be read.
bool readEngineFile(const char* name, std::vector<std::uint8_t>& bytes);

} // namespace umbrek::vastrel
