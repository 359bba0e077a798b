#include "sabrith/win/page_support.h"

#include "sabrith/effect.h"
#include "sabrith/win/custom_controls.h"

#include <cstdio>

namespace sabrith {

void fillPageRecord(PROPSHEETPAGEA& page, HINSTANCE instance, int templateId, DLGPROC procedure) {
    page = PROPSHEETPAGEA{};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DEFAULT;
    page.hInstance = instance;
    page.pszTemplate = MAKEINTRESOURCEA(templateId);
    page.pfnDlgProc = procedure;
}

void showBandEdge(HWND page, int id, int bin) {
    char text[32];
    std::snprintf(text, sizeof text, "%d Hz", binToHz(bin));
    SetDlgItemTextA(page, id, text);
}

void setBandSlider(HWND page, int id, int minBin, int maxBin) {
    HWND slider = GetDlgItem(page, id);
    SendMessageA(slider, sliderSetMinimum, 0, 0);
    SendMessageA(slider, sliderSetMaximum, WPARAM(maxBin), 0);
    SendMessageA(slider, sliderSetMinimum, WPARAM(minBin), 0);
}

} // namespace sabrith
