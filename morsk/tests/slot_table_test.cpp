// Reading and writing the child list: counts, defaults and bad values, and
// the two orders in which the multiplexer and its form write the keys.
#include "morsk/slot_table.h"
#include "morsk/tests/fake_children.h"

#include <gtest/gtest.h>

namespace morsk {
namespace {

TEST(SlotTable, CountIsClampedAsEachReaderWants) {
    struct Case {
        const char* stored; // null: no key
        int mux, form;
    } cases[] = {{nullptr, 4, 4}, {"50", 30, 30}, {"30", 30, 30}, {"0", 0, 1},
                 {"-3", -3, 1},   {"x", 4, 4},    {"7", 7, 7}};
    for (const Case& c : cases) {
        fake::Store store;
        if (c.stored) store.values["REDO_ZODODEZ"] = c.stored;
        SlotTable table;
        ReadSlots(store, table, false);
        EXPECT_EQ(table.SlotCount, c.mux) << (c.stored ? c.stored : "none");
        EXPECT_EQ(table.Used(), c.mux < 0 ? 0 : c.mux);
        ReadSlots(store, table, true);
        EXPECT_EQ(table.SlotCount, c.form) << (c.stored ? c.stored : "none");
    }
}

TEST(SlotTable, SlotsAndCompatibility) {
    fake::Store store;
    store.values = {{"REDO_ZODODEZ", "3"}, {"Vis1", "C:\\a.dll"}, {"Mod1", "-1"},
                    {"Vis2", "C:\\b.dll"}, {"Mod2", "12abc"},     {"Vis4", "C:\\beyond.dll"},
                    {"Compatibility", "1"}};
    SlotTable table;
    table[4].Name = "left over";
    ReadSlots(store, table, false);
    EXPECT_EQ(table[1].Name, "C:\\a.dll");
    EXPECT_EQ(table[1].Module, -1);
    EXPECT_EQ(table[2].Module, 0); // not a number
    EXPECT_EQ(table[3].Name, "");
    EXPECT_EQ(table[4].Name, ""); // beyond the count: not read, and reset
    EXPECT_TRUE(table.CompatibilityMode);
}

// The system carries no text over 32,766 characters: a longer path names no
// file, and handing it back to the profile functions faults there.
TEST(SlotTable, OverLongValuesAreDroppedAndNoneOfThemIsWrittenBack) {
    struct Case {
        size_t length;
        bool kept;
    } cases[] = {{maxSystemText, true}, {maxSystemText + 1, false}, {33000, false}};
    for (const Case& c : cases) {
        std::string path = "C:\\" + std::string(c.length - 7, 'p') + ".dll";
        fake::Store store;
        store.values = {{"REDO_ZODODEZ", "2"},
                        {"Vis1", path},
                        {"Mod1", std::string(c.length - 1, '0') + "3"},
                        {"Vis2", "C:\\b.dll"},
                        {"Mod2", "2"}};
        SlotTable table;
        ReadSlots(store, table, false);
        EXPECT_EQ(table[1].Name, c.kept ? path : "") << c.length;
        EXPECT_EQ(table[1].Module, c.kept ? 3 : 0) << c.length;
        EXPECT_EQ(table[2].Name, "C:\\b.dll");
        EXPECT_EQ(table[2].Module, 2);
        WriteSlots(store, table, true);
        EXPECT_EQ(store.values["Vis1"], table[1].Name);
        for (const auto& [key, value] : store.writes) EXPECT_LE(value.size(), maxSystemText) << key;
    }
}

TEST(SlotTable, WriteOrders) {
    SlotTable table;
    table.SlotCount = 2;
    table[1].Name = "C:\\a.dll";
    table[1].Module = 3;
    using Writes = std::vector<std::pair<std::string, std::string>>;
    fake::Store mux;
    WriteSlots(mux, table, true);
    EXPECT_EQ(mux.writes, (Writes{{"REDO_ZODODEZ", "2"},
                                  {"Vis1", "C:\\a.dll"},
                                  {"Mod1", "3"},
                                  {"Vis2", ""},
                                  {"Mod2", "0"},
                                  {"Compatibility", "0"}}));
    fake::Store form;
    table.CompatibilityMode = true;
    WriteSlots(form, table, false);
    EXPECT_EQ(form.writes.front().first, "Vis1");
    EXPECT_EQ(form.writes[4], (std::pair<std::string, std::string>{"REDO_ZODODEZ", "2"}));
    EXPECT_EQ(form.writes.back(), (std::pair<std::string, std::string>{"Compatibility", "1"}));
}

} // namespace
} // namespace morsk
