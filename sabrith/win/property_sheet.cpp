#include "sabrith/win/property_sheet.h"

#include "sabrith/flame_effect.h"
#include "sabrith/frame/sheet_texts.h"
#include "sabrith/frame/window_model.h"
#include "sabrith/frequency_effect.h"
#include "sabrith/fyre_effect.h"
#include "sabrith/win/custom_controls.h"
#include "sabrith/win/flame_page.h"
#include "sabrith/win/frequency_pages.h"
#include "sabrith/win/fyre_pages.h"
#include "sabrith/win/page_support.h"
#include "sabrith/win/shell_resources.h"
#include "sabrith/win/win_platform.h"

#include <commctrl.h>

#include <vector>

namespace sabrith {

namespace {

constexpr int maxPages = 7;
constexpr int32_t gainFullScale = 1638400;

// The window the own pages edit; set while a sheet is open, cleared when
// one of them is destroyed.
std::atomic<WindowModel*> sheetTarget{nullptr};

// Runs `work` on the window's thread (through the runner the sheet sets)
// while the pages have a target.
void onTargetThread(const std::function<void()>& work) {
    if (sheetTarget.load()) onWindowThread(work);
}

void setupTrackbar(HWND page, int id, int max, int tickEvery, int position) {
    SendDlgItemMessageA(page, id, TBM_SETRANGE, TRUE, MAKELPARAM(0, max));
    SendDlgItemMessageA(page, id, TBM_SETTICFREQ, WPARAM(tickEvery), 0);
    SendDlgItemMessageA(page, id, TBM_SETPOS, TRUE, LPARAM(position));
}

int trackbarPosition(HWND page, int id) {
    return int(SendDlgItemMessageA(page, id, TBM_GETPOS, 0, 0));
}

// Common front of the own pages: nothing without a target; forget it when
// the page goes. True when the message is handled with `result`.
bool ownPageFront(HWND page, UINT message, LPARAM lp, void (*fill)(HWND), INT_PTR& result) {
    result = FALSE;
    if (message == WM_DESTROY) {
        sheetTarget.store(nullptr);
        return true;
    }
    if (!sheetTarget.load()) return true;
    if (message == WM_INITDIALOG) {
        fill(page);
        result = TRUE;
        return true;
    }
    if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lp)->code == PSN_SETACTIVE) {
        fill(page);
        SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
        result = TRUE;
        return true;
    }
    return false;
}

void showGain(HWND page) {
    WindowModel* target = sheetTarget.load();
    if (!target) return;
    const GainTable& gain = target->gain();
    SetDlgItemTextA(page, IDC_AMP_MAX_TEXT, gainText(gain).c_str());
    std::vector<int32_t> values(gain.size());
    for (std::size_t i = 0; i < gain.size(); ++i) values[i] = int32_t(gain[i].load());
    ScaleValues record{int32_t(values.size()), gainFullScale, values.data()};
    SendDlgItemMessageA(page, IDC_AMP_SCALE, scaleBoxSetValues, 0, LPARAM(&record));
}

void fillAmp(HWND page) {
    int linAmp = 0;
    int dropOff = 0;
    onTargetThread([&] {
        linAmp = sheetTarget.load()->linAmp();
        dropOff = sheetTarget.load()->dropOff();
    });
    setupTrackbar(page, IDC_AMP_LIN_AMP, 256, 26, linAmp);
    setupTrackbar(page, IDC_AMP_DROP_OFF, 2000, 100, dropOff);
    showGain(page);
}

INT_PTR CALLBACK ampPage(HWND page, UINT message, WPARAM, LPARAM lp) {
    INT_PTR result;
    if (ownPageFront(page, message, lp, fillAmp, result)) return result;
    if (message != WM_HSCROLL) return FALSE;
    const int linAmp = trackbarPosition(page, IDC_AMP_LIN_AMP);
    const int dropOff = trackbarPosition(page, IDC_AMP_DROP_OFF);
    // The gain is a table of single words the frames read whole.
    sheetTarget.load()->setLinAmp(linAmp);
    onTargetThread([&] { sheetTarget.load()->setDropOff(dropOff); });
    showGain(page);
    return TRUE;
}

void fillRendering(HWND page) {
    int fade = 1;
    int blur = 0;
    onTargetThread([&] {
        fade = sheetTarget.load()->fade();
        blur = sheetTarget.load()->blur();
    });
    setupTrackbar(page, IDC_RENDERING_FADE, 130, 13, fade);
    CheckDlgButton(page, IDC_RENDERING_BLUR, blur ? BST_CHECKED : BST_UNCHECKED);
}

INT_PTR CALLBACK renderingPage(HWND page, UINT message, WPARAM wp, LPARAM lp) {
    INT_PTR result;
    if (ownPageFront(page, message, lp, fillRendering, result)) return result;
    if (message == WM_COMMAND && LOWORD(wp) == IDC_RENDERING_BLUR) {
        const int blur = IsDlgButtonChecked(page, IDC_RENDERING_BLUR) == BST_CHECKED ? 1 : 0;
        onTargetThread([&] { sheetTarget.load()->setBlur(blur); });
        return TRUE;
    }
    if (message == WM_HSCROLL) {
        const int fade = trackbarPosition(page, IDC_RENDERING_FADE);
        onTargetThread([&] { sheetTarget.load()->setFade(fade); });
        return TRUE;
    }
    return FALSE;
}

void fillDisplay(HWND page) {
    std::vector<std::string> rows;
    int selected = -1;
    int onTop = 0;
    bool useSkin = false;
    bool followSkins = false;
    onTargetThread([&] {
        const WindowModel& model = *sheetTarget.load();
        for (const DisplayMode& mode : model.displayModes().rows)
            rows.push_back(displayModeText(mode));
        selected = model.displayModeRow();
        onTop = model.onTop();
        useSkin = model.menuState().useSkinChecked;
        followSkins = model.followsPlayerSkins();
    });
    SendDlgItemMessageA(page, IDC_DISPLAY_MODES, CB_RESETCONTENT, 0, 0);
    for (const std::string& row : rows)
        SendDlgItemMessageA(page, IDC_DISPLAY_MODES, CB_ADDSTRING, 0, LPARAM(row.c_str()));
    SendDlgItemMessageA(page, IDC_DISPLAY_MODES, CB_SETCURSEL, WPARAM(selected), 0);
    CheckDlgButton(page, IDC_DISPLAY_ON_TOP, onTop == 1 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_DISPLAY_USE_SKIN, useSkin ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_DISPLAY_FOLLOW_SKINS, followSkins ? BST_CHECKED : BST_UNCHECKED);
}

INT_PTR CALLBACK displayPage(HWND page, UINT message, WPARAM wp, LPARAM lp) {
    INT_PTR result;
    if (ownPageFront(page, message, lp, fillDisplay, result)) return result;
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wp)) {
    case IDC_DISPLAY_MODES: {
        const int row = int(SendDlgItemMessageA(page, IDC_DISPLAY_MODES, CB_GETCURSEL, 0, 0));
        if (row >= 0) onTargetThread([&] { sheetTarget.load()->chooseDisplayModeRow(row); });
        return TRUE;
    }
    case IDC_DISPLAY_ON_TOP: {
        const int onTop = IsDlgButtonChecked(page, IDC_DISPLAY_ON_TOP) == BST_CHECKED ? 1 : 0;
        onTargetThread([&] { sheetTarget.load()->applyOnTop(onTop); });
        return TRUE;
    }
    case IDC_DISPLAY_LOAD_SKIN:
        onTargetThread([&] { sheetTarget.load()->chooseSkin(page); });
        return TRUE;
    case IDC_DISPLAY_USE_SKIN: {
        const bool use = IsDlgButtonChecked(page, IDC_DISPLAY_USE_SKIN) == BST_CHECKED;
        onTargetThread([&] { sheetTarget.load()->setUseSkin(use); });
        return TRUE;
    }
    case IDC_DISPLAY_FOLLOW_SKINS: {
        const bool follow = IsDlgButtonChecked(page, IDC_DISPLAY_FOLLOW_SKINS) == BST_CHECKED;
        onTargetThread([&] { sheetTarget.load()->setFollowsPlayerSkins(follow); });
        return TRUE;
    }
    default: return FALSE;
    }
}

// The effect's own page records, made on the window's thread: building them
// saves the effect's settings and makes it the pages' target.
int buildEffectPages(WindowModel& model, HINSTANCE instance, PROPSHEETPAGEA* pages) {
    Effect* effect = model.effect();
    if (!effect) return 0;
    switch (model.effectId()) {
    case fountainsEffect: return buildPages(*static_cast<FyreEffect*>(effect), instance, pages);
    case barsEffect: return buildPages(*static_cast<FrequencyEffect*>(effect), instance, pages);
    case flameEffect: return buildPages(*static_cast<FlameEffect*>(effect), instance, pages);
    default: return 0;
    }
}

} // namespace

SheetThread::SheetThread(WindowModel& model, WinPlatform& platform)
    : model_(model), platform_(platform) {}

void SheetThread::open() {
    if (mark_.load()) return;
    // A finished sheet's thread is gone already; only its handle is left.
    if (thread_) {
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    mark_.store(true);
    pages_.assign(maxPages, PROPSHEETPAGEA{});
    const HINSTANCE instance = platform_.instance();
    int count = buildEffectPages(model_, instance, pages_.data());
    fillPageRecord(pages_[count++], instance, IDD_AMP_PAGE, ampPage);
    fillPageRecord(pages_[count++], instance, IDD_RENDERING_PAGE, renderingPage);
    fillPageRecord(pages_[count++], instance, IDD_DISPLAY_PAGE, displayPage);
    pages_.resize(count);
    setWindowThreadRunner(
        [this](const std::function<void()>& work) { platform_.runOnWindowThread(work); });
    sheetTarget.store(&model_);
    thread_ = CreateThread(nullptr, 0, run, this, 0, nullptr);
    if (!thread_) {
        sheetTarget.store(nullptr);
        mark_.store(false);
    }
}

DWORD WINAPI SheetThread::run(LPVOID parameter) {
    auto* self = static_cast<SheetThread*>(parameter);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    PROPSHEETHEADERA header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_PROPTITLE | PSH_MODELESS;
    header.hwndParent = self->platform_.window();
    header.hInstance = self->platform_.instance();
    header.pszCaption = self->platform_.caption();
    header.nPages = UINT(self->pages_.size());
    header.ppsp = self->pages_.data();
    // Modeless, so that this thread can tell when the sheet is done and the
    // window thread can end it at stopModule.
    HWND sheet = HWND(PropertySheetA(&header));
    self->sheetWindow_.store(sheet);
    if (sheet) {
        MSG msg;
        while (PropSheet_GetCurrentPageHwnd(sheet) && GetMessageA(&msg, nullptr, 0, 0) > 0) {
            if (!PropSheet_IsDialogMessage(sheet, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        self->sheetWindow_.store(nullptr);
        DestroyWindow(sheet);
    }
    sheetTarget.store(nullptr);
    self->mark_.store(false);
    return 0;
}

void SheetThread::close() {
    if (!thread_) return;
    for (;;) {
        if (HWND sheet = sheetWindow_.load()) PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        const DWORD woke = MsgWaitForMultipleObjects(1, &thread_, FALSE, 50, QS_SENDMESSAGE);
        if (woke == WAIT_OBJECT_0) break;
        // Serves the messages the sheet's thread sends this one.
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    CloseHandle(thread_);
    thread_ = nullptr;
    pages_.clear();
}

} // namespace sabrith
