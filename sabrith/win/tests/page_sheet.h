// A modeless property sheet holding one effect's pages, on a store over an
// in-memory registry, with the custom controls registered for the test
// program (which holds the page templates).
#pragma once

#include "sabrith/effect.h"
#include "sabrith/win/custom_controls.h"
#include "sabrith/win/page_resources.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace sabrith::test {

template <class EffectType>
struct PageSheet {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    ControlClass colorBox{ControlKind::colorBox, instance};
    ControlClass slider{ControlKind::minMaxSlider, instance};
    MemoryRegistry registry;
    IniFileProfile profile;
    SettingsStore store{"Lumbrin", registry, profile};
    CrtRandom random;
    EffectType effect{EffectContext{store, nullptr, &random}};
    HWND sheet = nullptr;

    HANDLE ready = nullptr;
    HANDLE thread = nullptr;
    int builtPages = 0;

    ~PageSheet() {
        if (thread) {
            if (sheet) finishThread(PSBTN_CANCEL);
            CloseHandle(thread);
        } else if (sheet) {
            DestroyWindow(sheet);
        }
        if (ready) CloseHandle(ready);
    }

    HWND build(int& count) {
        std::array<PROPSHEETPAGEA, 8> pages{};
        count = buildPages(effect, instance, pages.data());
        PROPSHEETHEADERA header{};
        header.dwSize = sizeof header;
        header.dwFlags = PSH_PROPSHEETPAGE | PSH_MODELESS | PSH_NOAPPLYNOW;
        header.hInstance = instance;
        header.pszCaption = "Effect";
        header.nPages = UINT(count);
        header.ppsp = pages.data();
        return HWND(PropertySheetA(&header));
    }
    static DWORD WINAPI sheetThread(LPVOID parameter) {
        PageSheet& self = *static_cast<PageSheet*>(parameter);
        const HWND own = self.build(self.builtPages);
        self.sheet = own;
        SetEvent(self.ready);
        if (!own) return 0;
        MSG msg;
        while (PropSheet_GetCurrentPageHwnd(own) && GetMessageA(&msg, nullptr, 0, 0) > 0) {
            if (!PropSheet_IsDialogMessage(own, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        DestroyWindow(own);
        return 0;
    }
    // Presses OK or Cancel on the sheet thread's sheet and waits for the
    // thread to close it; the posted message wakes its loop to see that the
    // sheet has finished.
    void finishThread(int button) {
        PropSheet_PressButton(sheet, button);
        PostMessageA(sheet, WM_NULL, 0, 0);
        WaitForSingleObject(thread, INFINITE);
        sheet = nullptr;
    }

    // Opens the sheet on the pages buildPages gives; false when it did not.
    bool open(int expectedPages) {
        int count = 0;
        sheet = build(count);
        EXPECT_EQ(count, expectedPages);
        return sheet != nullptr;
    }
    // Opens the sheet on a thread of its own, as the module does, which runs
    // the sheet's messages until it finishes and then destroys it. The test
    // drives it by sent messages: the sheet thread handles each while the
    // test thread waits, so the frames the test draws between them never
    // overlap an edit.
    bool openOnThread(int expectedPages) {
        ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread = CreateThread(nullptr, 0, sheetThread, this, 0, nullptr);
        if (!ready || !thread) {
            ADD_FAILURE() << "no sheet thread: error " << GetLastError();
            return false;
        }
        WaitForSingleObject(ready, INFINITE);
        EXPECT_EQ(builtPages, expectedPages);
        if (!sheet) return false;
        EXPECT_NE(GetWindowThreadProcessId(sheet, nullptr), GetCurrentThreadId());
        return true;
    }
    HWND page() const { return PropSheet_GetCurrentPageHwnd(sheet); }
    void showPage(int index) {
        PropSheet_SetCurSel(sheet, nullptr, index);
        pump();
    }
    HWND control(int id) const { return GetDlgItem(page(), id); }
    std::string text(int id) const {
        char buffer[64] = {};
        GetDlgItemTextA(page(), id, buffer, sizeof buffer);
        return buffer;
    }
    // A click on a check or radio button, as the button reports it.
    void click(int id) {
        SendMessageA(control(id), BM_CLICK, 0, 0);
        pump();
    }
    // A trackbar moved to `position`, as the trackbar reports it.
    void slide(int id, int position) {
        SendMessageA(control(id), TBM_SETPOS, TRUE, position);
        SendMessageA(page(), WM_HSCROLL, TB_THUMBPOSITION, LPARAM(control(id)));
    }
    // Swatch 1-4 of a colour box set, and the box's change message.
    void pickColor(int id, int swatch, int color) {
        SendMessageA(control(id), colorBoxSetColor + UINT(swatch - 1), WPARAM(color), 0);
        SendMessageA(page(), colorBoxChanged, WPARAM(swatch), LPARAM(control(id)));
    }
    void pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!PropSheet_IsDialogMessage(sheet, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
    }
    // Presses OK or Cancel and closes the modeless sheet as its owner must.
    void close(int button) {
        PropSheet_PressButton(sheet, button);
        pump();
        EXPECT_EQ(page(), nullptr) << "the sheet should have finished";
        DestroyWindow(sheet);
        sheet = nullptr;
    }
    // One frame drawn between edits, as the window thread does.
    void renderFrame() {
        DibImage image("frame");
        image.resize(40, 30);
        FrameView view{0, 0, 40, 30};
        image.lockView(view);
        std::array<uint32_t, 2 * spectrumBins> levels;
        levels.fill(200u << 8);
        effect.render(Spectrum(levels), view);
        image.unlockView(view);
    }
};

// Answers the boxes and dialogs a click opens: records each box's text and
// title, types `typed` into the name dialog, and presses `answer`.
struct BoxAnswers {
    static inline HHOOK hook = nullptr;
    static inline std::vector<std::string> seen;
    static inline int answer = IDOK;
    static inline std::string typed;
    static inline HWND sheet = nullptr; // coming back to the front: not a box

    static LRESULT CALLBACK onActivate(int code, WPARAM wp, LPARAM lp) {
        if (code == HCBT_ACTIVATE && HWND(wp) != sheet) {
            HWND box = HWND(wp);
            char text[128] = {}, title[64] = {};
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text); // a message box's text
            GetWindowTextA(box, title, sizeof title);
            seen.push_back(std::string(title) + ": " + text);
            if (GetDlgItem(box, IDC_SOURCE_NAME_EDIT))
                SetDlgItemTextA(box, IDC_SOURCE_NAME_EDIT, typed.c_str());
            PostMessageA(box, WM_COMMAND, WPARAM(answer), 0);
        }
        return CallNextHookEx(hook, code, wp, lp);
    }
    // Sends `message` to `window` of the sheet with the hook in place.
    static void send(HWND sheetWindow, HWND window, UINT message, WPARAM wp, LPARAM lp,
                     int button) {
        answer = button;
        seen.clear();
        sheet = sheetWindow;
        hook = SetWindowsHookExA(WH_CBT, onActivate, nullptr, GetCurrentThreadId());
        SendMessageA(window, message, wp, lp);
        UnhookWindowsHookEx(hook);
    }
    // Clicks button `id` of the page with the hook in place.
    template <class Sheet>
    static void click(Sheet& sheet, int id, int button) {
        send(sheet.sheet, sheet.page(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
             LPARAM(sheet.control(id)), button);
    }
};

} // namespace sabrith::test
