#include "umbrek/vastrel/shade_tables.h"

#include "umbrek/vastrel/engine.h"
#include "umbrek/vastrel/file_bytes.h"
#include "common/byte_order.h"

#include <new>

namespace umbrek::vastrel {

namespace {

std::vector<ShadeTable>& slots() {
    static std::vector<ShadeTable> list;
    return list;
}

} // namespace

int KX_AllocShadeTables(int count) {
    KX_FreeShadeTables();
    try {
        slots().resize(count > 0 ? std::size_t(count) : 0);
    } catch (const std::bad_alloc&) {
        return resultOutOfMemory;
    }
    return resultSuccess;
}

void KX_FreeShadeTables() {
    std::vector<ShadeTable>().swap(slots());
}

int KX_FindShadeTable(const char* name) {
    if (!name || !*name) return resultShadeTableNotFound;
    const std::vector<ShadeTable>& list = slots();
    for (std::size_t i = 0; i < list.size(); ++i)
        if (!list[i].name.empty() && sameName(list[i].name.c_str(), name)) return int(i);
    return resultShadeTableNotFound;
}

int KX_LoadShadeTable(const char* name) {
    const int loaded = KX_FindShadeTable(name);
    if (loaded >= 0) return loaded;
    // An unnamed table could never be found again, and its slot would count as free.
    if (!name || !*name) return resultShadeTableLoadError;
    ShadeTable table;
    std::vector<std::uint8_t> bytes;
    if (!readEngineFile(name, bytes) || bytes.size() < 8) return resultShadeTableLoadError;
    table.value = jk::loadLe32(bytes.data());
    table.levels = jk::loadLe32(bytes.data() + 4);
    // A level count that the file cannot hold is a damaged file, not a
    // request for that much memory.
    if (std::uint64_t(table.levels) * 256 > bytes.size() - 8) return resultShadeTableLoadError;
    table.data.assign(bytes.begin() + 8, bytes.begin() + 8 + std::ptrdiff_t(table.levels) * 256);
    table.name = name;
    for (std::size_t i = 0; i < slots().size(); ++i)
        if (slots()[i].name.empty()) {
            slots()[i] = std::move(table);
            return int(i);
        }
    return resultShadeTableFull;
}

const ShadeTable* KX_ShadeTable(int slot) {
    const std::vector<ShadeTable>& list = slots();
    if (slot < 0 || std::size_t(slot) >= list.size() || list[std::size_t(slot)].name.empty())
        return nullptr;
    return &list[std::size_t(slot)];
}

} // namespace umbrek::vastrel
