// What every effect page does alike: its page record, the sheet's
// notifications and the preset buttons, the band slider with its texts in
// Hz, and check boxes and trackbars tied to the effect's settings.
#pragma once

#include "sabrith/effect.h"

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <span>

namespace sabrith {

// Frames run on the window's thread while the pages run on the sheet's.
// Changes that rebuild what a frame reads (the fountains' source list, a
// preset or the stored values loaded over the effect) are handed to the
// window's thread through the runner the sheet sets; without one they run
// where they are asked for.
using WindowThreadRunner = std::function<void(const std::function<void()>&)>;
void setWindowThreadRunner(WindowThreadRunner runner);
void onWindowThread(const std::function<void()>& work);

// A page record with no flags, icon, parameter or callback.
void fillPageRecord(PROPSHEETPAGEA& page, HINSTANCE instance, int templateId, DLGPROC procedure);

// Set-active refills the page's controls, apply saves the settings to the
// store, reset (Cancel) reloads them from it; buttons 40016 and 40017 load a
// preset (then refill) and save one. True when the message was one of these;
// `result` is then the procedure's result.
bool handleCommonPageMessage(HWND page, UINT message, WPARAM wp, LPARAM lp, Effect& effect,
                             void (*fill)(HWND page), INT_PTR& result);

// What every page procedure does first: forget the module's `target` when
// the page is destroyed, take nothing without one, fill the controls when the
// page is made, then the messages above. True when the message was taken;
// `result` is then the procedure's result.
template <class EffectType>
bool pageFrontMessage(EffectType*& target, HWND page, UINT message, WPARAM wp, LPARAM lp,
                      void (*fill)(HWND page), INT_PTR& result) {
    result = FALSE;
    if (message == WM_DESTROY) target = nullptr;
    if (message == WM_DESTROY || !target) return true;
    if (message == WM_INITDIALOG) {
        fill(page);
        result = TRUE;
        return true;
    }
    return handleCommonPageMessage(page, message, wp, lp, *target, fill, result);
}

// The band of spectrum bins on a MinMaxSlider `sliderId` with its edges as
// "%d Hz" in the texts minTextId and maxTextId.
struct BandControls {
    int sliderId;
    int minTextId;
    int maxTextId;
};
void showBand(HWND page, const BandControls& controls, int minBin, int maxBin);
// The slider's change message: stores the moved edge and shows both texts.
void takeBandChange(HWND page, const BandControls& controls, WPARAM which, LPARAM bin, int& minBin,
                    int& maxBin);

template <class Settings>
struct CheckSetting {
    int id;
    int Settings::*field;
};

template <class Settings>
void showChecks(HWND page, std::span<const CheckSetting<Settings>> checks,
                const Settings& settings) {
    for (const auto& check : checks)
        CheckDlgButton(page, check.id, settings.*check.field ? BST_CHECKED : BST_UNCHECKED);
}

template <class Settings>
void readChecks(HWND page, std::span<const CheckSetting<Settings>> checks, Settings& settings) {
    for (const auto& check : checks)
        settings.*check.field = IsDlgButtonChecked(page, check.id) == BST_CHECKED ? 1 : 0;
}

template <class Settings>
struct TrackbarSetting {
    int id;
    int Settings::*field;
    int min;
    int max;
    int tickEvery;
};

template <class Settings>
void showTrackbars(HWND page, std::span<const TrackbarSetting<Settings>> bars,
                   const Settings& settings) {
    for (const auto& bar : bars) {
        SendDlgItemMessageA(page, bar.id, TBM_SETRANGE, TRUE, MAKELPARAM(bar.min, bar.max));
        SendDlgItemMessageA(page, bar.id, TBM_SETTICFREQ, WPARAM(bar.tickEvery), 0);
        SendDlgItemMessageA(page, bar.id, TBM_SETPOS, TRUE, LPARAM(settings.*bar.field));
    }
}

template <class Settings>
void readTrackbars(HWND page, std::span<const TrackbarSetting<Settings>> bars, Settings& settings) {
    for (const auto& bar : bars)
        settings.*bar.field = int(SendDlgItemMessageA(page, bar.id, TBM_GETPOS, 0, 0));
}

} // namespace sabrith
