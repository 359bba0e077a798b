// The settings store on the real registry and profile functions: the same
// suite as natively, values of the wrong type or length, the portable
// profile reader held to the system's, and the dialogs' remembered folder.
#include "sabrith/file_dialog.h"
#include "sabrith/profile_file.h"
#include "sabrith/tests/settings_suite.h"
#include "sabrith/win/win_settings.h"
#include "tests/test_files.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace sabrith {

namespace test {

// Every test of this program holds the registry lock (ctest RESOURCE_LOCK),
// so deleting the plug-in's whole tree first is safe.
SettingsBackends freshSettingsBackends() {
    static WinRegistry registry;
    static WinProfile profile;
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Lumbrin");
    return {&registry, &profile};
}

} // namespace test

namespace {

void setRaw(const char* section, const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, registryPath(section).c_str(), 0, nullptr, 0,
                              KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST(WinRegistrySettings, WrongTypesAndLengthsReadAsDefaults) {
    test::SettingsBackends backends = test::freshSettingsBackends();
    SettingsStore store("Lumbrin", *backends.registry, *backends.profile);
    const uint8_t two[2] = {1, 2}, five[5] = {1, 2, 3, 4, 5};
    setRaw("Lumbrin", "Short", REG_BINARY, two, 2);
    setRaw("Lumbrin", "Long", REG_DWORD, five, 5);
    setRaw("Lumbrin", "Text", REG_SZ, "-12", 4); // four bytes: a number
    setRaw("Lumbrin", "Name", REG_SZ, "Kick drum", 10);
    int out = 0;
    store.readInt(nullptr, nullptr, "Short", out, 42, 0, 0);
    EXPECT_EQ(out, 42);
    store.readInt(nullptr, nullptr, "Long", out, 42, 0, 0);
    EXPECT_EQ(out, 42);
    store.readInt(nullptr, nullptr, "Text", out, 42, 0, 0);
    EXPECT_EQ(out, 0x0032312D);
    EXPECT_EQ(store.readString(nullptr, nullptr, "Name", 9, "none"), "none") << "too long to cut";
    EXPECT_EQ(store.readString(nullptr, nullptr, "Name", 10, "none"), "Kick drum");
    store.readInt(nullptr, "Fresh", "Value", out, 1, 0, 0);
    HKEY key;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Lumbrin\\Fresh", 0, KEY_READ, &key),
              ERROR_SUCCESS)
        << "reads create the missing key";
    RegCloseKey(key);
}

TEST(WinProfileSettings, PortableReaderMatchesTheProfileFunctions) {
    const std::string text = " [Effect] \r\n"
                             "  Spaced  =  12 ; note\r\n"
                             "QUOTED=\"a b\"\r\n"
                             "single='x\r\n"
                             "Hex=0x1F\r\nNeg=-0x10\r\nUpper=0X10\r\nOctal=0o17\r\nBinary=0b101\r\n"
                             "Trail=42abc\r\nWord=abc\r\nEmpty=\r\nBig=4294967297\r\n"
                             "Long=00000000000000000000000000000123\r\n"
                             "spaced=99\r\n"
                             "[effect]\r\nHidden=1\r\n";
    const std::string path = jk::test::tempFolder() + "compare.ini";
    jk::test::writeFile(path, text.data(), text.size());
    const ProfileDocument portable(text);
    WinProfile system;
    for (const char* key : {"spaced", "QUOTED", "single", "Hex", "Neg", "Upper", "Octal", "Binary",
                            "Trail", "Word", "Empty", "Big", "Long", "Hidden", "Missing"}) {
        EXPECT_EQ(system.getInt(path, "EFFECT", key, -7), portable.integer("EFFECT", key, -7))
            << key;
        EXPECT_EQ(system.getString(path, "Effect", key, "", 256),
                  portable.value("Effect", key).value_or(""))
            << key;
    }
    EXPECT_EQ(system.sectionEntries(path, "effect") > 0, portable.entryCount("effect") > 0);
    EXPECT_EQ(system.sectionEntries(path, "Other"), 0u);
}

class NoChooser final : public FileChooser {
public:
    bool choose(bool, FileRequest&) override { return false; }
};

TEST(WinFileDialogFolder, WrittenOnTheFirstRunReadLater) {
    test::freshSettingsBackends();
    WinRegistry registry;
    NoChooser chooser;
    FileDialog first(presetFiles, registry, "C:\\Jukora\\Plugins\\sabrith.dll", chooser);
    EXPECT_EQ(first.startFolder(), "C:\\Jukora\\Plugins\\LBNPresets");
    const auto stored = registry.query("LBNPresets", "DefaultDirectory");
    ASSERT_TRUE(stored);
    EXPECT_EQ(std::string(stored->begin(), stored->end()),
              std::string("C:\\Jukora\\Plugins\\LBNPresets") + '\0')
        << "a string value counts its terminating zero";
    registry.setString("LBNPresets", "DefaultDirectory", "D:\\Elsewhere");
    FileDialog later(presetFiles, registry, "C:\\Other\\sabrith.dll", chooser);
    EXPECT_EQ(later.startFolder(), "D:\\Elsewhere");
}

} // namespace
} // namespace sabrith
