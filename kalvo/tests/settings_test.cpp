#include "kalvo/equalizer_hook.h"
#include "kalvo/mul_div.h"
#include "kalvo/settings.h"

#include <gtest/gtest.h>

namespace kalvo {
namespace {

TEST(Settings, IniPathOfTheProgram) {
    struct Case {
        const char* program;
        const char* ini;
    } cases[] = {
        {"C:\\Program Files\\Jukora\\jukora.exe", "C:\\Program Files\\Jukora\\jukora.ini"},
        {"C:\\a.b\\player", "C:\\a.b\\player.ini"}, // no dot in the name itself
        {"C:\\x\\player.v2.exe", "C:\\x\\player.v2.ini"},
        {"jukora.", "jukora.ini"},
        {"", ".ini"},
    };
    for (const Case& c : cases) EXPECT_EQ(iniPathForProgram(c.program), c.ini) << c.program;
    Settings s;
    EXPECT_EQ(s.downmix, 0);
    EXPECT_EQ(s.eightBit, 0);
    EXPECT_EQ(s.downsample, 0);
    EXPECT_STREQ(s.id3FormatString, "%1 - %2");
    EXPECT_EQ(s.priority, 1);
}

TEST(Settings, RegistryPaths) {
    struct Case {
        const char* path;
        RegistryRoot root;
        const char* subkey;
    } cases[] = {
        {"HKEY_CURRENT_USER\\Software\\Veltmark", RegistryRoot::currentUser, "Software\\Veltmark"},
        {"HKEY_LOCAL_MACHINE\\Software", RegistryRoot::localMachine, "Software"},
        {"HKEY_CLASSES_ROOT\\.tqz", RegistryRoot::classesRoot, ".tqz"},
        {"HKEY_USERS\\.DEFAULT", RegistryRoot::users, ".DEFAULT"},
        {"HKEY_USERS", RegistryRoot::users, ""},
        {"HKEY_CURRENT_USERX\\a", RegistryRoot::none, ""},
        {"HKCU\\Software", RegistryRoot::none, ""},
        {"", RegistryRoot::none, ""},
    };
    for (const Case& c : cases) {
        RegistryPath p = parseRegistryPath(c.path);
        EXPECT_EQ(p.root, c.root) << c.path;
        EXPECT_EQ(p.subkey, c.subkey) << c.path;
    }
    EXPECT_EQ(profileKeyPath("Me"), "HKEY_CURRENT_USER\\Software\\Veltmark\\Orvane\\Profiles\\Me");
}

TEST(Settings, MulDivRoundsAndFails) {
    struct Case {
        int32_t a, b, c, result;
    } cases[] = {
        {160000, 8, 128, 10000},
        {1001, 112, 8, 14014},
        {5, 1, 2, 3},
        {-5, 1, 2, -3},
        {7, 1, -2, -4},
        {100, 8, 0, -1},
        {INT32_MAX, 2, 1, -1},
        {INT32_MAX, 2, 2, INT32_MAX},
        {INT32_MIN, 1, 1, INT32_MIN},
        {0, 0, 5, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(mulDiv(c.a, c.b, c.c), c.result) << c.a << " " << c.c;
}

TEST(Equalizer, FlatSwitchesOffAndValuesStayInTheTable) {
    EqualizerSettings eq;
    char flat[10];
    for (char& b : flat) b = 31;
    storeEqualizer(eq, 1, flat, 31);
    EXPECT_FALSE(eq.on.load());
    storeEqualizer(eq, 1, flat, 30);
    EXPECT_TRUE(eq.on.load());
    flat[9] = 32;
    storeEqualizer(eq, 1, flat, 31);
    EXPECT_TRUE(eq.on.load());
    storeEqualizer(eq, 0, flat, 0);
    EXPECT_FALSE(eq.on.load());
    EXPECT_EQ(eq.bands[9].load(), 32);
    char wild[10] = {-1, 64, 127, -128, 0, 63, 5, 31, 31, 31};
    storeEqualizer(eq, 1, wild, 1000);
    int expect[10] = {0, 63, 63, 0, 0, 63, 5, 31, 31, 31};
    for (int k = 0; k < 10; ++k) EXPECT_EQ(eq.bands[k].load(), expect[k]) << k;
    EXPECT_EQ(eq.preamp.load(), 63);
    storeEqualizer(eq, 1, wild, -7);
    EXPECT_EQ(eq.preamp.load(), 0);
}

} // namespace
} // namespace kalvo
