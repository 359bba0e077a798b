#include "sabrith/win/flame_page.h"

#include "sabrith/win/custom_controls.h"
#include "sabrith/win/page_resources.h"
#include "sabrith/win/page_support.h"

namespace sabrith {
namespace {

// One sheet is open at a time, so one target serves the page.
FlameEffect*& target = pageTarget<FlameEffect>;

constexpr BandControls band{IDC_FLAME_BAND, IDC_FLAME_MIN_TEXT, IDC_FLAME_MAX_TEXT};

void fillControls(HWND page) {
    showBand(page, band, target->minFreq, target->maxFreq);
    SendDlgItemMessageA(page, IDC_FLAME_COLOR, colorBoxSetColor, WPARAM(target->flameColor), 0);
    InvalidateRect(GetDlgItem(page, IDC_FLAME_COLOR), nullptr, FALSE);
}

INT_PTR CALLBACK flamePage(HWND page, UINT message, WPARAM wp, LPARAM lp) {
    if (message == WM_INITDIALOG && target)
        SendDlgItemMessageA(page, IDC_FLAME_COLOR, colorBoxSetCount, 1, 0);
    INT_PTR result;
    if (pageFrontMessage(target, page, message, wp, lp, fillControls, result)) return result;
    switch (message) {
    case sliderChanged:
        takeBandChange(page, band, wp, lp, target->minFreq, target->maxFreq);
        return TRUE;
    case colorBoxChanged:
        if (wp == 1) target->flameColor = int(SendMessageA(HWND(lp), colorBoxGetColor, 0, 0));
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

} // namespace sabrith
