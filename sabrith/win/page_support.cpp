#include "sabrith/win/page_support.h"

#include "sabrith/win/custom_controls.h"
#include "sabrith/win/page_resources.h"

#include <cstdio>

namespace sabrith {

namespace {
// Set on the window's thread before the sheet's thread starts.
WindowThreadRunner windowThreadRunner;
} // namespace

void setWindowThreadRunner(WindowThreadRunner runner) {
    windowThreadRunner = std::move(runner);
}

void onWindowThread(const std::function<void()>& work) {
    if (windowThreadRunner)
        windowThreadRunner(work);
    else
        work();
}

void fillPageRecord(PROPSHEETPAGEA& page, HINSTANCE instance, int templateId, DLGPROC procedure) {
    page = PROPSHEETPAGEA{};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DEFAULT;
    page.hInstance = instance;
    page.pszTemplate = MAKEINTRESOURCEA(templateId);
    page.pfnDlgProc = procedure;
}

bool handleCommonPageMessage(HWND page, UINT message, WPARAM wp, LPARAM lp, Effect& effect,
                             void (*fill)(HWND page), INT_PTR& result) {
    result = FALSE;
    if (message == WM_NOTIFY) {
        switch (reinterpret_cast<const NMHDR*>(lp)->code) {
        case PSN_SETACTIVE: fill(page); return true;
        case PSN_APPLY:
            effect.saveSettings(nullptr);
            SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
            result = TRUE;
            return true;
        case PSN_RESET: onWindowThread([&] { effect.loadSettings(nullptr); }); return true;
        }
        return false;
    }
    if (message == WM_COMMAND && LOWORD(wp) == IDC_LOAD_SETTINGS) {
        int loaded = 0;
        onWindowThread([&] { loaded = effect.loadPreset(page); });
        if (loaded) fill(page);
        result = TRUE;
        return true;
    }
    if (message == WM_COMMAND && LOWORD(wp) == IDC_SAVE_SETTINGS) {
        effect.savePreset(page);
        result = TRUE;
        return true;
    }
    return false;
}

namespace {

void showBandEdge(HWND page, int id, int bin) {
    char text[32];
    std::snprintf(text, sizeof text, "%d Hz", binToHz(bin));
    SetDlgItemTextA(page, id, text);
}

} // namespace

void showBand(HWND page, const BandControls& controls, int minBin, int maxBin) {
    // The thumbs keep a gap, so the old minimum is first moved out of the
    // way; otherwise an old band above or below the new one would bend it.
    HWND slider = GetDlgItem(page, controls.sliderId);
    SendMessageA(slider, sliderSetMinimum, 0, 0);
    SendMessageA(slider, sliderSetMaximum, WPARAM(maxBin), 0);
    SendMessageA(slider, sliderSetMinimum, WPARAM(minBin), 0);
    showBandEdge(page, controls.minTextId, minBin);
    showBandEdge(page, controls.maxTextId, maxBin);
}

void takeBandChange(HWND page, const BandControls& controls, WPARAM which, LPARAM bin, int& minBin,
                    int& maxBin) {
    (which == 1 ? minBin : maxBin) = int(bin);
    showBandEdge(page, controls.minTextId, minBin);
    showBandEdge(page, controls.maxTextId, maxBin);
}

} // namespace sabrith
