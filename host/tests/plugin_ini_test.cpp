#include "host/plugin_ini.h"

#include <gtest/gtest.h>

namespace {

TEST(PluginIni, CutAfterTheLastBackslashOrColon) {
    struct Case {
        const char *path, *folder, *name;
    } cases[] = {
        {"C:\\Jukora\\Plugins\\morsk.dll", "C:\\Jukora\\Plugins\\", "morsk.dll"},
        {"C:morsk.dll", "C:", "morsk.dll"},
        {"morsk.dll", "", "morsk.dll"},
        {"C:\\dir\\", "C:\\dir\\", ""},
        {"Z:\\a:b\\c", "Z:\\a:b\\", "c"},
        {"/tmp/x.dll", "", "/tmp/x.dll"}, // a forward slash is no separator
        {"", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(jkLibraryFolder(c.path), c.folder) << c.path;
        EXPECT_EQ(jkLibraryFileName(c.path), c.name) << c.path;
        EXPECT_EQ(jkPluginIniBeside(c.path), std::string(c.folder) + "plugin.ini") << c.path;
    }
}

} // namespace
