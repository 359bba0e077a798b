#include "morsk/path_names.h"

#include <gtest/gtest.h>

namespace morsk {
namespace {

TEST(PathNames, CutAfterTheLastBackslashOrColon) {
    struct Case {
        const char *path, *dir, *name;
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
        EXPECT_EQ(ExtractDir(c.path), c.dir) << c.path;
        EXPECT_EQ(ExtractName(c.path), c.name) << c.path;
    }
}

} // namespace
} // namespace morsk
