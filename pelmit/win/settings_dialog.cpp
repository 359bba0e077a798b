// The configuration dialog (template 101). It edits a copy of the settings;
// only the stereo separation is heard at once, and the stored one comes back
// when the dialog closes, so a cancelled preview is undone.
#include "pelmit/win/dialog_support.h"
#include "pelmit/win/dialog_resources.h"
#include "pelmit/win/dialogs.h"
#include "pelmit/mixer/mixer.h"
#include "pelmit/playback.h"
#include "pelmit/win/plugin.h"
#include "pelmit/settings.h"

#include <commctrl.h>

namespace pelmit {

namespace {

constexpr int separationTicks = 64;
constexpr int maxSeparation = 128;

struct ConfigDialog {
    Settings copy;
    // What the preview plays: the trackbar's separation and the reverse box.
    int32_t liveSeparation = 0;
    int32_t liveReverse = 0;
};

struct CheckBox {
    int id;
    int32_t Settings::*field;
};

// The order OK reads them in.
constexpr CheckBox checkBoxes[] = {
    {IDC_REMEMBER_POSITIONS, &Settings::RememberWindowPositions},
    {IDC_DETECT_END, &Settings::DetectEndOfSong},
    {IDC_INTERPOLATION, &Settings::Interpolation},
    {IDC_REVERSE_STEREO, &Settings::ReverseStereo},
    {IDC_IGNORE_F00, &Settings::IgnoreF00},
    {IDC_STRIP_PAUSE, &Settings::StripTrailingPause},
    {IDC_EMULATE_FILTER, &Settings::EmulateFilter},
};

struct RateButton {
    int id;
    int32_t rate;
};

constexpr RateButton rateButtons[] = {
    {IDC_RATE_31500, 31500},
    {IDC_RATE_44100, 44100},
    {IDC_RATE_48000, 48000},
    {IDC_RATE_96000, 96000},
};

int32_t signedSeparation(int32_t separation, int32_t reverse) {
    return reverse ? -separation : separation;
}

void previewSeparation(const ConfigDialog& d) {
    mixer.setSeparation(signedSeparation(d.liveSeparation, d.liveReverse));
}

int32_t isChecked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0;
}

void openDialog(HWND dialog, ConfigDialog& d) {
    const Settings& s = d.copy;
    placeDialog(dialog, s.RememberWindowPositions, s.ConfigX, s.ConfigY);
    for (const CheckBox& box : checkBoxes)
        CheckDlgButton(dialog, box.id, s.*box.field ? BST_CHECKED : BST_UNCHECKED);
    d.liveReverse = s.ReverseStereo;
    // A rate the dialog does not offer (22050 from the file) shows as 44100
    // but stays until a button is clicked.
    int rateButton = IDC_RATE_44100;
    for (const RateButton& b : rateButtons)
        if (b.rate == s.SampleRate) rateButton = b.id;
    CheckRadioButton(dialog, IDC_RATE_31500, IDC_RATE_96000, rateButton);
    HWND trackbar = GetDlgItem(dialog, IDC_SEPARATION);
    SendMessageA(trackbar, TBM_SETRANGE, TRUE, MAKELPARAM(0, maxSeparation));
    SendMessageA(trackbar, TBM_SETTICFREQ, separationTicks, 0);
    SendMessageA(trackbar, TBM_SETPOS, TRUE, s.StereoSeperation);
    d.liveSeparation = s.StereoSeperation;
}

void acceptDialog(HWND dialog, ConfigDialog& d) {
    Settings& s = d.copy;
    for (const CheckBox& box : checkBoxes) s.*box.field = isChecked(dialog, box.id);
    s.StereoSeperation = int32_t(SendDlgItemMessageA(dialog, IDC_SEPARATION, TBM_GETPOS, 0, 0));
    storeDialogPosition(dialog, s.RememberWindowPositions, s.ConfigX, s.ConfigY);
    EndDialog(dialog, 1);
}

void cancelDialog(HWND dialog) {
    // The stored flag decides here: the box may have been changed and not kept.
    storeDialogPosition(dialog, settings.RememberWindowPositions, settings.ConfigX,
                        settings.ConfigY);
    EndDialog(dialog, 0);
}

void command(HWND dialog, ConfigDialog& d, int id) {
    switch (id) {
    case IDOK: acceptDialog(dialog, d); return;
    case IDCANCEL: cancelDialog(dialog); return;
    case IDC_REVERSE_STEREO:
        d.liveReverse = isChecked(dialog, IDC_REVERSE_STEREO);
        previewSeparation(d);
        return;
    default:
        for (const RateButton& b : rateButtons)
            if (b.id == id) d.copy.SampleRate = b.rate;
    }
}

INT_PTR CALLBACK configDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* d = dialogData<ConfigDialog>(dialog, message, lParam);
    switch (message) {
    case WM_INITDIALOG: openDialog(dialog, *d); return TRUE;
    case WM_HSCROLL:
        if (d && lParam && GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDC_SEPARATION) {
            d->liveSeparation =
                int32_t(SendMessageA(reinterpret_cast<HWND>(lParam), TBM_GETPOS, 0, 0));
            previewSeparation(*d);
        }
        return TRUE;
    case WM_COMMAND:
        if (d && HIWORD(wParam) == BN_CLICKED) command(dialog, *d, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

} // namespace

void JK_CDECL showSettings(JkWindow owner) {
    ConfigDialog d;
    d.copy = settings;
    initDialogControls();
    // A dialog that cannot be created returns -1, which keeps the unchanged
    // copy: harmless.
    if (DialogBoxParamA(inputModule.pluginInstance, MAKEINTRESOURCEA(IDD_CONFIG), owner,
                        configDialogProc, LPARAM(&d)) != 0)
        storeSettings(settings, d.copy);
    applyStoredSettings();
}

} // namespace pelmit
