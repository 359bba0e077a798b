// The about box (template 104): a fixed text, one list-box line per entry.
#include "pelmit/win/dialog_support.h"
#include "pelmit/win/dialog_resources.h"
#include "pelmit/win/dialogs.h"
#include "pelmit/win/plugin.h"
#include "pelmit/settings.h"

namespace pelmit {

namespace {

const char* const aboutText[] = {
    "Kestrov's Quistor MOD player v0.86",
    "",
    "This player is specially designed to play all variations",
    "of quistor Amiga MODs (1988-now) properly, unlike",
    "the current Jukora plugin.",
    "",
    "Nothing beats a good chiptune for that quistor",
    "Amiga crack-intro feeling. This plugin is also 100%",
    "compatible with your favourite Future Composer,",
    "SoundMon and various other tunes",
    "",
    "Formats supported are:",
    "",
    "Halbrecht's SoundMon 1.0-2.2",
    "DeliTracker CUSTOM",
    "Delta Music 2.0",
    "Future Composer 1.0-1.4",
    "Jochen Hippel",
    "Maniacs of Noise",
    "SidMon 1",
    "SoundFX 1.3",
    "",
    "and ofcourse",
    "",
    "SoundTracker",
    "NoiseTracker",
    "StarTrekker (limited features)",
    "ProTracker",
    "and FastTracker for those 4+ channel MODs",
    "",
    "Quistor player uses Tirasco 680x0 emulation",
};

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        placeDialog(dialog, settings.RememberWindowPositions, settings.AboutX, settings.AboutY);
        for (const char* line : aboutText)
            SendDlgItemMessageA(dialog, IDC_ABOUT_TEXT, LB_ADDSTRING, 0, LPARAM(line));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            storeDialogPosition(dialog, settings.RememberWindowPositions, settings.AboutX,
                                settings.AboutY);
            EndDialog(dialog, 0);
        }
        return TRUE;
    }
    return FALSE;
}

} // namespace

void JK_CDECL showAboutBox(JkWindow owner) {
    initDialogControls();
    DialogBoxParamA(inputModule.pluginInstance, MAKEINTRESOURCEA(IDD_ABOUT), owner, aboutDialogProc,
                    0);
}

} // namespace pelmit
