#include "sabrith/win/skin_files.h"

#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace sabrith {
namespace {

TEST(SkinFiles, FolderScanFindsSkinFilesOnly) {
    namespace fs = std::filesystem;
    const std::string folder = jk::test::tempFolder() + "skins";
    fs::create_directories(folder + "/inner.lbs");
    for (const char* name : {"a.lbs", "B.LBS", "c.lbsold", "d.txt", "e.lbs.bak"})
        jk::test::writeFile(folder + "/" + name, std::string("[Lumbrin Skin]\n"));
    WinSkinFiles files;
    std::vector<std::string> found = files.findFiles(folder, ".lbs");
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{"B.LBS", "a.lbs"}));
    EXPECT_TRUE(files.findFiles(folder + "\\missing", ".lbs").empty());
    const auto bytes = files.readFile(folder + "\\a.lbs");
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(bytes->size(), 15u);
}

} // namespace
} // namespace sabrith
