// Any bytes as a shade-table file, a member of an in-memory library between
// two others: loaded into a two-slot list, asked for again, and checked
// against what the file can hold.
#include "umbrek/vastrel/data_library.h"
#include "umbrek/vastrel/shade_tables.h"
#include "umbrek/vastrel/tests/kxo_writer.h"
#include "umbrek/vastrel/tests/library_writer.h"

#include <cstdlib>
#include <vector>

using namespace umbrek::vastrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> library =
        umbrek::test::writeLibrary({{"FIRST.TAB", umbrek::test::writeShadeTable(7, 1, 1)},
                                    {"FUZZ.TAB", std::vector<std::uint8_t>(data, data + size)},
                                    {"AFTER", std::vector<std::uint8_t>(4096, 0xEE)}});
    KX_SetDataLibraryBytes(library.data(), library.size());
    KX_AllocShadeTables(2);
    KX_LoadShadeTable("first.tab");
    const int slot = KX_LoadShadeTable("fuzz.tab");
    if (slot >= 0) {
        const ShadeTable* table = KX_ShadeTable(slot);
        // The table holds exactly its levels, all from the member itself.
        if (!table || table->data.size() != std::size_t(table->levels) * 256 ||
            table->data.size() + 8 > size || KX_LoadShadeTable("FUZZ.TAB") != slot)
            std::abort();
    }
    KX_LoadShadeTable("another");
    KX_FreeShadeTables();
    KX_SetDataLibrary(nullptr);
    return 0;
}
