// The shade-table list: reading a table once, full and missing results, and
// level counts the file does not hold.
#include "umbrek/vastrel/tests/kxo_writer.h"
#include "umbrek/vastrel/tests/model_fixture.h"

namespace umbrek::vastrel::test {
namespace {

using umbrek::test::writeShadeTable;

TEST_F(ModelFileTest, ShadeTableIsReadOnceAndFoundInAnyCase) {
    library({{"GLOW.TAB", writeShadeTable(0xCAFE, 2, 2)}});
    const int slot = KX_LoadShadeTable("glow.tab");
    ASSERT_EQ(slot, 0);
    const ShadeTable* table = KX_ShadeTable(slot);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->value, 0xCAFEu);
    EXPECT_EQ(table->levels, 2u);
    ASSERT_EQ(table->data.size(), 512u);
    EXPECT_EQ(table->data[256 + 3], std::uint8_t(3 * 7 + 1));
    // Another library where the name holds something else: the loaded table
    // is given again, so the file was not read a second time.
    library({{"GLOW.TAB", writeShadeTable(1, 1, 1)}});
    EXPECT_EQ(KX_LoadShadeTable("GLOW.TAB"), slot);
    EXPECT_EQ(KX_ShadeTable(slot)->value, 0xCAFEu);
    EXPECT_EQ(KX_FindShadeTable("Glow.Tab"), slot);
    EXPECT_EQ(KX_FindShadeTable("glow"), resultShadeTableNotFound);
}

TEST_F(ModelFileTest, ShadeTableResults) {
    library({{"A", writeShadeTable(0, 0, 0)},
             {"B", writeShadeTable(0, 1, 1)},
             {"C", writeShadeTable(0, 1, 1)},
             {"D", writeShadeTable(0, 1, 1)},
             {"E", writeShadeTable(0, 1, 1)},
             {"SHORT", writeShadeTable(0, 3, 2)},
             {"HUGE", writeShadeTable(0, 0xFFFFFFFF, 1)},
             {"STUB", {1, 2, 3}}});
    for (const char* bad : {"missing", "short", "huge", "stub", ""})
        EXPECT_EQ(KX_LoadShadeTable(bad), resultShadeTableLoadError) << bad;
    EXPECT_EQ(KX_LoadShadeTable(nullptr), resultShadeTableLoadError);
    for (const char* name : {"a", "b", "c", "d"}) EXPECT_GE(KX_LoadShadeTable(name), 0) << name;
    EXPECT_EQ(KX_LoadShadeTable("e"), resultShadeTableFull);
    EXPECT_EQ(KX_LoadShadeTable("missing"), resultShadeTableLoadError);
    EXPECT_EQ(KX_LoadShadeTable("c"), 2);
    EXPECT_EQ(KX_ShadeTable(0)->levels, 0u);
    EXPECT_EQ(KX_ShadeTable(4), nullptr);
    EXPECT_EQ(KX_ShadeTable(-1), nullptr);
    // A new list starts empty.
    ASSERT_EQ(KX_AllocShadeTables(2), 0);
    EXPECT_EQ(KX_FindShadeTable("a"), resultShadeTableNotFound);
    EXPECT_EQ(KX_ShadeTable(0), nullptr);
}

} // namespace
} // namespace umbrek::vastrel::test
