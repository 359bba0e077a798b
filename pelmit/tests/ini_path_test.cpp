#include "pelmit/ini_path.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace pelmit;

TEST(IniPath, BelowTheHostProgramsFolder) {
    struct Case {
        const char* exe;
        const char* ini;
    } cases[] = {
        {"C:\\Program Files\\Jukora\\jukora.exe",
         "C:\\Program Files\\Jukora\\Plugins\\quistor.ini"},
        {"C:\\jukora.exe", "C:\\Plugins\\quistor.ini"},
        {"jukora.exe", "Plugins\\quistor.ini"},
        {"", "Plugins\\quistor.ini"},
        {"C:\\dir\\", "C:\\dir\\Plugins\\quistor.ini"},
    };
    for (const Case& c : cases) {
        char path[iniPathSize];
        std::strcpy(path, c.exe);
        makeIniPath(path, sizeof path);
        EXPECT_STREQ(path, c.ini) << c.exe;
    }
}

TEST(IniPath, CutToTheBuffer) {
    char path[16] = "C:\\a\\b.exe";
    makeIniPath(path, sizeof path);
    EXPECT_STREQ(path, "C:\\a\\Plugins\\qu");
}
