#include "yarnot/win/config_dialog.h"

#include "host/plugin_ini.h"
#include "yarnot/settings.h"
#include "yarnot/win/ini_profile.h"
#include "yarnot/win/message_box.h"
#include "yarnot/win/resource.h"

#include <commctrl.h>
#include <commdlg.h>

namespace yarnot {

namespace {

struct DialogState {
    Settings settings;
    HINSTANCE resources;
};

struct FlagBox {
    int id, flag;
};
const FlagBox flagBoxes[] = {{IDC_FULLSCREEN, flagFullScreen},
                             {IDC_TITLES, flagTitles},
                             {IDC_SYSTEM_MEMORY, flagSystemMemory},
                             {IDC_SCROLL_TITLES, flagScrollTitles},
                             {IDC_FOUR_BY_THREE, flagFourByThree}};

void updateEnabled(HWND dialog) {
    bool full = IsDlgButtonChecked(dialog, IDC_FULLSCREEN) == BST_CHECKED;
    bool titles = IsDlgButtonChecked(dialog, IDC_TITLES) == BST_CHECKED;
    EnableWindow(GetDlgItem(dialog, IDC_SYSTEM_MEMORY), full);
    EnableWindow(GetDlgItem(dialog, IDC_FOUR_BY_THREE), full);
    EnableWindow(GetDlgItem(dialog, IDC_SCROLL_TITLES), titles);
}

void setTrackbar(HWND dialog, int id, int low, int high, int position) {
    SendDlgItemMessageA(dialog, id, TBM_SETRANGE, TRUE, MAKELPARAM(low, high));
    SendDlgItemMessageA(dialog, id, TBM_SETTICFREQ, 10, 0);
    SendDlgItemMessageA(dialog, id, TBM_SETPOS, TRUE, position);
}

void fill(HWND dialog, const Settings& s) {
    SetDlgItemTextA(dialog, IDC_FILENAME, s.filename.c_str());
    SendDlgItemMessageA(dialog, IDC_FILENAME, EM_LIMITTEXT, filenameCapacity - 1, 0);
    SetDlgItemInt(dialog, IDC_WIDTH, UINT(s.width), TRUE);
    SetDlgItemInt(dialog, IDC_HEIGHT, UINT(s.height), TRUE);
    for (const FlagBox& b : flagBoxes)
        CheckDlgButton(dialog, b.id, (s.flags & b.flag) ? BST_CHECKED : BST_UNCHECKED);
    setTrackbar(dialog, IDC_REFRESH, 10, 60, s.refresh);
    setTrackbar(dialog, IDC_BLUR, 0, 3, s.blur);
    updateEnabled(dialog);
}

void collect(HWND dialog, Settings& s) {
    char name[filenameCapacity] = "";
    GetDlgItemTextA(dialog, IDC_FILENAME, name, sizeof name);
    s.filename = name;
    s.width = int(GetDlgItemInt(dialog, IDC_WIDTH, nullptr, TRUE));
    s.height = int(GetDlgItemInt(dialog, IDC_HEIGHT, nullptr, TRUE));
    int flags = 0;
    for (const FlagBox& b : flagBoxes)
        if (IsDlgButtonChecked(dialog, b.id) == BST_CHECKED) flags |= b.flag;
    s.flags = MergeDialogFlags(s.flags, flags);
    s.refresh = uint16_t(SendDlgItemMessageA(dialog, IDC_REFRESH, TBM_GETPOS, 0, 0));
    s.blur = uint16_t(SendDlgItemMessageA(dialog, IDC_BLUR, TBM_GETPOS, 0, 0));
}

void browse(HWND dialog) {
    char name[filenameCapacity] = "";
    GetDlgItemTextA(dialog, IDC_FILENAME, name, sizeof name);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = dialog;
    ofn.lpstrFilter = "Bitmap Files (*.BMP)\0*.BMP\0";
    ofn.lpstrFile = name;
    ofn.nMaxFile = sizeof name;
    ofn.lpstrTitle = "Select an image file...";
    ofn.lpstrDefExt = "BMP";
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (GetOpenFileNameA(&ofn)) SetDlgItemTextA(dialog, IDC_FILENAME, name);
}

void paintLogo(HWND dialog, HINSTANCE resources) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dialog, &ps);
    if (HBITMAP logo = LoadBitmapA(resources, MAKEINTRESOURCEA(IDB_LOGO))) {
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ previous = SelectObject(source, logo);
        BitBlt(dc, 229, 230, 111, 50, source, 0, 0, SRCCOPY);
        SelectObject(source, previous);
        DeleteDC(source);
        DeleteObject(logo);
    }
    EndPaint(dialog, &ps);
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wp, LPARAM lp) {
    auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lp);
        fill(dialog, reinterpret_cast<DialogState*>(lp)->settings);
        return TRUE;
    case WM_PAINT:
        if (!state) return FALSE;
        paintLogo(dialog, state->resources);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDC_FULLSCREEN:
        case IDC_TITLES: updateEnabled(dialog); return TRUE;
        case IDC_BROWSE: browse(dialog); return TRUE;
        case IDC_OK:
            collect(dialog, state->settings);
            EndDialog(dialog, 1);
            return TRUE;
        case IDCANCEL: EndDialog(dialog, 0); return TRUE;
        }
        break;
    case WM_CLOSE: EndDialog(dialog, 0); return TRUE;
    }
    return FALSE;
}

} // namespace

void RunConfigDialog(VisModule* module, HINSTANCE resources) {
    // A player that never loaded the common controls would have no trackbar
    // class, and the dialog would not open.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    IniProfile profile(jkPluginIniPath(module->pluginInstance), module->displayName);
    DialogState state{ReadSettings(profile), resources};
    INT_PTR result = DialogBoxParamA(resources, MAKEINTRESOURCEA(IDD_CONFIG), module->hostWindow,
                                     dialogProc, LPARAM(&state));
    if (result == 1)
        WriteDialogSettings(profile, state.settings);
    else if (result == -1)
        ShowMessage(module->hostWindow, "Error opening Configuration Dialog!");
}

} // namespace yarnot
