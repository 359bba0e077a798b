// The presets dialogs under Wine: cancelled (result 0, the caller's path
// untouched), and once a name typed and confirmed (full path and title).
#include "sabrith/win/file_chooser.h"
#include "sabrith/win/win_settings.h"
#include "tests/test_files.h"

#include <windows.h>

#include <commdlg.h>

#include <gtest/gtest.h>

#include <string>

namespace sabrith {
namespace {

HHOOK hook = nullptr;
std::string typedName; // empty: cancel
int activations = 0;

// Acts on the dialog once it is activated: types the name and confirms, or
// cancels. Any later activation (a complaint box, or the dialog coming back
// after it) is cancelled, so that a refused name ends the dialog with 0.
LRESULT CALLBACK driveDialog(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_ACTIVATE) {
        HWND dialog = HWND(wp);
        char name[16] = {};
        GetClassNameA(dialog, name, sizeof name);
        if (std::string(name) == "#32770") {
            if (typedName.empty() || activations++ > 0) {
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            } else {
                // The explorer dialog's name box is a combo box (cmb13) or an
                // edit (edt1), depending on the system.
                SetDlgItemTextA(dialog, 0x47C, typedName.c_str());
                SetDlgItemTextA(dialog, 0x480, typedName.c_str());
                PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            }
        }
    }
    return CallNextHookEx(hook, code, wp, lp);
}

int run(FileDialog& dialog, bool save, std::string& path, const std::string& name) {
    typedName = name;
    activations = 0;
    hook = SetWindowsHookExA(WH_CBT, driveDialog, nullptr, GetCurrentThreadId());
    const int result = save ? dialog.saveFile(nullptr, path) : dialog.openFile(nullptr, path);
    UnhookWindowsHookEx(hook);
    return result;
}

TEST(WinFileChooser, CancelLeavesThePathAndConfirmGivesPathAndTitle) {
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Lumbrin");
    WinRegistry registry;
    WinFileChooser chooser;
    const std::string folder = jk::test::tempFolder();
    std::string plugin = folder + "sabrith.dll";
    for (char& c : plugin)
        if (c == '/') c = '\\';
    FileDialog dialog(presetFiles, registry, plugin, chooser);
    std::string path = "untouched";
    EXPECT_EQ(run(dialog, false, path, ""), 0);
    EXPECT_EQ(run(dialog, true, path, ""), 0);
    EXPECT_EQ(path, "untouched");

    const std::string preset = folder + "chosen.lbp";
    jk::test::writeFile(preset, "[ZirarovoZ]\r\n", 13);
    std::string windowsPath = preset;
    for (char& c : windowsPath)
        if (c == '/') c = '\\';
    ASSERT_EQ(run(dialog, false, path, windowsPath), 1);
    EXPECT_NE(path.find("chosen.lbp"), std::string::npos) << path;
    EXPECT_EQ(dialog.lastPath(), path);

    // Saving a preset under a name that does not exist yet is the point of
    // the save dialog. Wine lets it through whatever the flags say, so the
    // flags are checked as well.
    EXPECT_EQ(fileDialogFlags(true) & OFN_FILEMUSTEXIST, 0u);
    EXPECT_NE(fileDialogFlags(false) & OFN_FILEMUSTEXIST, 0u);
    EXPECT_NE(fileDialogFlags(true) & OFN_PATHMUSTEXIST, 0u);
    const std::string fresh = windowsPath.substr(0, windowsPath.size() - 10) + "fresh.lbp";
    ASSERT_EQ(run(dialog, true, path, fresh), 1);
    EXPECT_NE(path.find("fresh.lbp"), std::string::npos) << path;
}

} // namespace
} // namespace sabrith
