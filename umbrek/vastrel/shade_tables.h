// The engine's shade-table list: a fixed number of slots, each holding one
// shade-table file read by name (a leading value kept as it stands, a level
// count and level count x 256 bytes of table data). A table is read once;
// asking for the same name again gives its slot.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace umbrek::vastrel {

struct ShadeTable {
    std::string name; // empty: the slot is free
    std::uint32_t value = 0;
    std::uint32_t levels = 0;
    std::vector<std::uint8_t> data; // levels x 256 bytes
};

// Frees any list, then makes COUNT free slots (none for COUNT <= 0).
int KX_AllocShadeTables(int count);
void KX_FreeShadeTables();
// The slot of a loaded table whose name matches in any letter case, else
// resultShadeTableNotFound (-9).
int KX_FindShadeTable(const char* name);
// The slot of the table NAME, read through LKXO_File_Open when it is not
// loaded yet; resultShadeTableLoadError (-12) when the file cannot be opened
// or holds fewer levels than it says, resultShadeTableFull (-10) when no slot
// is free.
int KX_LoadShadeTable(const char* name);
// The slot's table, or none for a number outside the list or a free slot.
const ShadeTable* KX_ShadeTable(int slot);

} // namespace umbrek::vastrel
