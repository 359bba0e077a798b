#include "tolvern/win/app_dialog.h"

#include "tolvern/win/message_sinks.h"
#include "tolvern/win/resource.h"
#include "tolvern/xm_channel.h"
#include "tolvern/xm_module.h"
#include "tolvern/ym.h"

#include <commdlg.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace tolvern {

namespace {

constexpr size_t kNameSize = 260;
constexpr size_t kTitleSize = 512;

char ymFileName[kNameSize];
char xmFileName[kNameSize];
char ymFileTitle[kTitleSize];
char xmFileTitle[kTitleSize];
std::unique_ptr<BoxSink> sink;
std::unique_ptr<_corvel_YM> song;

struct TypeName {
    int type;
    const char* text;
};

const TypeName kTypeNames[] = {
    {2, "YM2!"}, {3, "YM3!"}, {4, "YM4!"},
    {5, "YM5!"}, {6, "YM6!"}, {kYm3b, "YM3b (not supported)"},
};

void SetText(HWND window, int id, const char* text) {
    SetDlgItemTextA(window, id, text);
}

// The common file dialogs, starting from the name in `name` and leaving the
// chosen one there; false when the user cancels.
bool fileDialog(HWND owner, char* name, char* title, bool save) {
    char chosen[kNameSize];
    std::strcpy(chosen, name);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = save ? "XM files (*.XM)\0*.xm\0" : "YM files (*.YM)\0*.ym\0";
    ofn.lpstrFile = chosen;
    ofn.nMaxFile = kNameSize;
    ofn.lpstrFileTitle = title;
    ofn.nMaxFileTitle = kTitleSize;
    ofn.lpstrDefExt = save ? "xm" : "ym";
    ofn.Flags = save ? OFN_OVERWRITEPROMPT : OFN_CREATEPROMPT | OFN_HIDEREADONLY;
    const BOOL ok = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    if (ok) std::strcpy(name, chosen);
    return ok != FALSE;
}

bool FileOpenDlg(HWND owner, char* name, char* title) {
    return fileDialog(owner, name, title, false);
}
bool FileSaveDlg(HWND owner, char* name, char* title) {
    return fileDialog(owner, name, title, true);
}

void showSong(HWND window) {
    char text[kYmTextSize];
    song->GetAuthor(text, sizeof text);
    SetText(window, IDC_AUTHOR, text);
    song->GetTitle(text, sizeof text);
    SetText(window, IDC_TITLE, text);
    song->GetComment(text, sizeof text);
    SetText(window, IDC_COMMENT, text);
    const int seconds = song->GetPlayTime();
    std::snprintf(text, sizeof text, "%d min. %d sec.", seconds / 60, seconds % 60);
    SetText(window, IDC_PLAYTIME, text);
    if (song->GetSampleAmount() > 0)
        std::snprintf(text, sizeof text, "%d samples", song->GetSampleAmount());
    else
        std::strcpy(text, "none used");
    SetText(window, IDC_SAMPLES, text);
    for (const TypeName& t : kTypeNames)
        if (t.type == song->GetType()) SetText(window, IDC_TYPE, t.text);
}

void chooseYmFile(HWND window) {
    if (!FileOpenDlg(window, ymFileName, ymFileTitle)) return;
    song.reset();
    sink = std::make_unique<BoxSink>(window);
    song = std::make_unique<_corvel_YM>(sink.get());
    SetText(window, IDC_YMTITLE, ymFileTitle);
    song->LoadFile(ymFileName);
    showSong(window);
}

void convert(HWND window) {
    if (!ymFileName[0] || !xmFileName[0] || !song || song->GetType() == 0) return;
    auto module = std::make_unique<XmModule>();
    auto channels = std::make_unique<XmChannel[]>(kXmChannels);
    song->Convert(xmFileName, *module, channels.get());
    EnableWindow(GetDlgItem(window, IDC_CONVERT), FALSE);
    song.reset();
}

} // namespace

INT_PTR CALLBACK AppDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    if (ymFileName[0] && xmFileName[0]) EnableWindow(GetDlgItem(window, IDC_CONVERT), TRUE);
    switch (message) {
    case WM_INITDIALOG: EnableWindow(GetDlgItem(window, IDC_CONVERT), FALSE); return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(window, &ps);
        EndPaint(window, &ps);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_YMFILE: chooseYmFile(window); return TRUE;
        case IDC_XMFILE:
            if (FileSaveDlg(window, xmFileName, xmFileTitle))
                SetText(window, IDC_XMTITLE, xmFileTitle);
            return TRUE;
        case IDC_CONVERT: convert(window); return TRUE;
        case IDC_XIT:
        case IDCANCEL: // the close box and Escape end the dialog like "Xit"
            song.reset();
            EndDialog(window, 1);
            return TRUE;
        default: return FALSE;
        }
    default: return FALSE;
    }
}

} // namespace tolvern
