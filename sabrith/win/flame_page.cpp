#include "sabrith/win/flame_page.h"

#include "sabrith/win/custom_controls.h"
#include "sabrith/win/page_resources.h"
#include "sabrith/win/page_support.h"

namespace sabrith {
namespace {

// One sheet is open at a time, so one target serves the page.
FlameEffect* target = nullptr;

void fillControls(HWND page, const FlameEffect& effect) {
    setBandSlider(page, IDC_FLAME_BAND, effect.minFreq, effect.maxFreq);
    showBandEdge(page, IDC_FLAME_MIN_TEXT, effect.minFreq);
    showBandEdge(page, IDC_FLAME_MAX_TEXT, effect.maxFreq);
    SendDlgItemMessageA(page, IDC_FLAME_COLOR, colorBoxSetColor, WPARAM(effect.flameColor), 0);
    InvalidateRect(GetDlgItem(page, IDC_FLAME_COLOR), nullptr, FALSE);
}

INT_PTR CALLBACK flamePage(HWND page, UINT message, WPARAM wp, LPARAM lp) {
    if (message == WM_DESTROY) {
        target = nullptr;
        return FALSE;
    }
    if (!target) return FALSE;
    FlameEffect& effect = *target;
    switch (message) {
    case WM_INITDIALOG:
        SendDlgItemMessageA(page, IDC_FLAME_COLOR, colorBoxSetCount, 1, 0);
        fillControls(page, effect);
        return TRUE;
    case WM_NOTIFY:
        switch (reinterpret_cast<const NMHDR*>(lp)->code) {
        case PSN_SETACTIVE: fillControls(page, effect); break;
        case PSN_APPLY:
            effect.saveSettings(nullptr);
            SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
            return TRUE;
        case PSN_RESET: effect.loadSettings(nullptr); break;
        }
        return FALSE;
    case sliderChanged:
        (wp == 1 ? effect.minFreq : effect.maxFreq) = int(lp);
        showBandEdge(page, IDC_FLAME_MIN_TEXT, effect.minFreq);
        showBandEdge(page, IDC_FLAME_MAX_TEXT, effect.maxFreq);
        return TRUE;
    case colorBoxChanged:
        if (wp == 1) effect.flameColor = int(SendMessageA(HWND(lp), colorBoxGetColor, 0, 0));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDC_LOAD_SETTINGS && effect.loadPreset(page)) fillControls(page, effect);
        if (LOWORD(wp) == IDC_SAVE_SETTINGS) effect.savePreset(page);
        return TRUE;
    }
    return FALSE;
}

} // namespace

int buildPages(FlameEffect& effect, HINSTANCE instance, PROPSHEETPAGEA* pages) {
    effect.saveSettings(nullptr);
    target = &effect;
    fillPageRecord(pages[0], instance, IDD_FLAME_GENERAL, flamePage);
    return 1;
}

void forgetPageTarget(const FlameEffect& effect) {
    if (target == &effect) target = nullptr;
}

} // namespace sabrith
