// The form's list edits: listing by file name, removing with the gap closed,
// and stepping through a library's modules with wrap-around.
#include "morsk/config_slots.h"

#include <gtest/gtest.h>

namespace morsk {
namespace {

ConfigSlots slotsNamed(std::initializer_list<std::string> names, int count = 4) {
    ConfigSlots s;
    s.Table.SlotCount = count;
    int n = 1;
    for (const std::string& name : names) {
        s.Table[n].Name = name;
        s.Table[n].Module = n * 10;
        ++n;
    }
    return s;
}

TEST(ConfigSlots, FreeSlotAndListedNames) {
    ConfigSlots s = slotsNamed({"C:\\vis\\a.dll", "", "C:\\vis\\c.dll"});
    EXPECT_EQ(s.FirstFreeSlot(), 2);
    EXPECT_TRUE(s.IsListed("D:\\other\\a.dll"));  // same file name elsewhere
    EXPECT_FALSE(s.IsListed("D:\\other\\A.dll")); // letter case counts
    EXPECT_FALSE(s.IsListed("C:\\vis\\b.dll"));
    EXPECT_EQ(slotsNamed({"a", "b"}, 2).FirstFreeSlot(), -1);
}

TEST(ConfigSlots, RemoveClosesTheGap) {
    ConfigSlots s = slotsNamed({"a", "b", "c"});
    s.RemoveSlot(2);
    EXPECT_EQ(s.Table[1].Name, "a");
    EXPECT_EQ(s.Table[2].Name, "c");
    EXPECT_EQ(s.Table[2].Module, 30);
    EXPECT_EQ(s.Table[3].Name, "");
    EXPECT_EQ(s.Table[3].Module, 0);
    s.RemoveSlot(5); // beyond the count: nothing
    EXPECT_EQ(s.Table[2].Name, "c");
    s = slotsNamed({"", "b", "", "d"});
    s.RemoveSlot(4);
    EXPECT_EQ(s.Table[1].Name, "b");
    EXPECT_EQ(s.Table[2].Name, "");
}

TEST(ConfigSlots, StepWrapsAndGivesUpAfter101Steps) {
    struct Case {
        int from;
        bool forward;
        int modules; // the library offers 0 to modules - 1
        bool found;
        int to;
    } cases[] = {
        {3, true, 4, true, 0},      {0, false, 4, true, 3},  {1, true, 4, true, 2},
        {-1, true, 4, true, 0},     {-1, false, 4, true, 3}, {100, true, 101, true, 0},
        {0, false, 101, true, 100},
    };
    for (const Case& c : cases) {
        ConfigSlots s = slotsNamed({"a"});
        s.Table[1].Module = c.from;
        int asked = 0;
        bool found = s.StepModule(1, c.forward, [&](int i) {
            ++asked;
            return i >= 0 && i < c.modules;
        });
        EXPECT_EQ(found, c.found) << c.from;
        EXPECT_EQ(s.Table[1].Module, c.to) << c.from << (c.forward ? " next" : " back");
    }
    ConfigSlots s = slotsNamed({"a"});
    int asked = 0;
    EXPECT_FALSE(s.StepModule(1, true, [&](int) {
        ++asked;
        return false;
    }));
    EXPECT_EQ(asked, 101); // one question after each of the 101 steps
}

} // namespace
} // namespace morsk
