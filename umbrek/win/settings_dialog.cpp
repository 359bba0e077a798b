#include "settings_dialog.h"

#include "resource.h"

#include <commctrl.h>

#include <cstdlib>

namespace umbrek {

namespace {

// The edits and the settings they show.
struct NumberEdit {
    int id;
    std::int32_t Settings::*field;
};
constexpr NumberEdit numberEdits[] = {{IDC_EFFECT_TIME, &Settings::effectTime},
                                      {IDC_EFFECT_FADE, &Settings::effectFade},
                                      {IDC_MOTION_BLUR, &Settings::motionBlur}};

void showNumbers(HWND dialog, const Settings& s) {
    for (const NumberEdit& edit : numberEdits)
        SetDlgItemInt(dialog, edit.id, static_cast<UINT>(s.*edit.field), TRUE);
    SendDlgItemMessageA(dialog, IDC_NUM_EFFECTS_SPIN, UDM_SETPOS32, 0, s.numEffects);
    CheckDlgButton(dialog, IDC_RUN_IN_WINDOW, s.runInWindow ? BST_CHECKED : BST_UNCHECKED);
}

void readControls(HWND dialog, Settings& s) {
    for (const NumberEdit& edit : numberEdits) {
        // Up to nine characters, read as a decimal number.
        char text[10] = "";
        GetDlgItemTextA(dialog, edit.id, text, sizeof text);
        s.*edit.field = static_cast<std::int32_t>(std::strtol(text, nullptr, 10));
    }
    s.numEffects = static_cast<std::int32_t>(
        SendDlgItemMessageA(dialog, IDC_NUM_EFFECTS_SPIN, UDM_GETPOS32, 0, 0));
    const LRESULT device = SendDlgItemMessageA(dialog, IDC_DEVICES, LB_GETCURSEL, 0, 0);
    s.renderDevice = device == LB_ERR ? 0 : static_cast<std::int32_t>(device);
    s.runInWindow = IsDlgButtonChecked(dialog, IDC_RUN_IN_WINDOW) == BST_CHECKED ? 1 : 0;
    clampSettings(s);
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    Settings* settings = reinterpret_cast<Settings*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        settings = reinterpret_cast<Settings*>(lParam);
        SendDlgItemMessageA(dialog, IDC_DEVICES, LB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>("3DFX Glide"));
        SendDlgItemMessageA(dialog, IDC_DEVICES, LB_SETCURSEL, 0, 0);
        SendDlgItemMessageA(dialog, IDC_NUM_EFFECTS_SPIN, UDM_SETRANGE32, minEffects, maxEffects);
        showNumbers(dialog, *settings);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        // The close box and Escape (both come as IDCANCEL) close it as OK
        // does: the dialog has no cancel. The settings are written after it
        // however it ends and Defaults changes them in memory at once, so a
        // close that dropped the controls' values would still be no cancel.
        case IDCANCEL:
            readControls(dialog, *settings);
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDC_DEFAULTS: {
            // The four numbers and the check go back to their defaults at
            // once; the device and the other keys stay.
            const Settings defaults;
            settings->effectTime = defaults.effectTime;
            settings->effectFade = defaults.effectFade;
            settings->numEffects = defaults.numEffects;
            settings->motionBlur = defaults.motionBlur;
            settings->runInWindow = defaults.runInWindow;
            showNumbers(dialog, *settings);
            return TRUE;
        }
        }
        break;
    }
    return FALSE;
}

} // namespace

void runSettingsDialog(HINSTANCE plugin, HWND owner, Settings& settings) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    DialogBoxParamA(plugin, MAKEINTRESOURCEA(IDD_SETTINGS), owner, dialogProc,
                    reinterpret_cast<LPARAM>(&settings));
}

} // namespace umbrek
