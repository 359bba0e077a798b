// Kalvo's three dialogs: configuration, song information and about.
#include "kalvo/win/resource.h"
#include "kalvo/win/shell.h"
#include "kalvo/song_page.h"

#include <commctrl.h>

#include <cstring>

namespace kalvo {

namespace {

HINSTANCE resources() {
    return static_cast<HINSTANCE>(inputModule.pluginInstance);
}

bool checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void fillConfig(HWND d) {
    CheckDlgButton(d, IDC_STEREO, settings.downmix ? BST_UNCHECKED : BST_CHECKED);
    CheckDlgButton(d, IDC_16BIT, settings.eightBit ? BST_UNCHECKED : BST_CHECKED);
    int radio = settings.downsample == 1   ? IDC_HALF_QUALITY
                : settings.downsample == 2 ? IDC_QUARTER_QUALITY
                                           : IDC_FULL_QUALITY;
    CheckRadioButton(d, IDC_FULL_QUALITY, IDC_QUARTER_QUALITY, radio);
    SendDlgItemMessageA(d, IDC_FORMAT_STRING, EM_LIMITTEXT, formatStringSize - 1, 0);
    SetDlgItemTextA(d, IDC_FORMAT_STRING, settings.id3FormatString);
    SendDlgItemMessageA(d, IDC_PRIORITY, TBM_SETRANGE, TRUE, MAKELPARAM(0, 2));
    SendDlgItemMessageA(d, IDC_PRIORITY, TBM_SETPOS, TRUE, settings.priority);
    CheckDlgButton(d, IDC_SHOW_DETAILS, minibrowser.hide ? BST_UNCHECKED : BST_CHECKED);
}

void storeConfig(HWND d) {
    settings.downmix = checked(d, IDC_STEREO) ? 0 : 1;
    settings.eightBit = checked(d, IDC_16BIT) ? 0 : 1;
    settings.downsample = checked(d, IDC_FULL_QUALITY) ? 0 : checked(d, IDC_HALF_QUALITY) ? 1 : 2;
    GetDlgItemTextA(d, IDC_FORMAT_STRING, settings.id3FormatString, formatStringSize);
    settings.priority = int(SendDlgItemMessageA(d, IDC_PRIORITY, TBM_GETPOS, 0, 0));
    writeSettings();
}

INT_PTR CALLBACK configProc(HWND d, UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG: fillConfig(d); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDC_SHOW_DETAILS:
            // Takes effect at once, whether or not the dialog is confirmed.
            if (HIWORD(wp) == BN_CLICKED) minibrowser.hide = checked(d, IDC_SHOW_DETAILS) ? 0 : 1;
            return TRUE;
        case IDOK:
            storeConfig(d);
            EndDialog(d, IDOK);
            return TRUE;
        case IDCANCEL: EndDialog(d, IDCANCEL); return TRUE;
        }
        break;
    }
    return FALSE;
}

void fillSongInfo(HWND d, const SongTags& t) {
    SetDlgItemTextA(d, IDC_FILE_NAME, t.fileName.c_str());
    SetDlgItemTextA(d, IDC_TITLE, t.title.c_str());
    SetDlgItemTextA(d, IDC_ARTIST, t.artist.c_str());
    SetDlgItemTextA(d, IDC_ALBUM, t.album.c_str());
    SetDlgItemTextA(d, IDC_ARTIST_ADDRESS, t.artistAddress.c_str());
    SetDlgItemTextA(d, IDC_PUBLISHER_ADDRESS, t.commercialAddress.c_str());
    SetDlgItemTextA(d, IDC_MPEG_INFO, songInfoText(t).c_str());
    SetDlgItemTextA(d, IDC_COMMENTS, t.blurb.c_str());
}

INT_PTR CALLBACK songInfoProc(HWND d, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: fillSongInfo(d, *reinterpret_cast<const SongTags*>(lp)); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
            EndDialog(d, LOWORD(wp));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

INT_PTR CALLBACK aboutProc(HWND d, UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg == WM_COMMAND && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
        EndDialog(d, LOWORD(wp));
        return TRUE;
    }
    return FALSE;
}

} // namespace

int showConfigDialog(HWND owner) {
    // The trackbar's class must be registered; the player usually has done
    // it already, and doing it again is harmless.
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    return int(DialogBoxParamA(resources(), MAKEINTRESOURCEA(IDD_CONFIG), owner, configProc, 0));
}

int showSongInfoDialog(HWND owner, const SongTags& tags) {
    return int(DialogBoxParamA(resources(), MAKEINTRESOURCEA(IDD_SONG_INFO), owner, songInfoProc,
                               reinterpret_cast<LPARAM>(&tags)));
}

void showAboutDialog(HWND owner) {
    DialogBoxParamA(resources(), MAKEINTRESOURCEA(IDD_ABOUT), owner, aboutProc, 0);
}

} // namespace kalvo
