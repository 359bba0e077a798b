// The three controls on a test parent window: class registration counting,
// the slider's messages and a drag by mouse messages, the colour box with
// its chooser cancelled, and the plot box drawing what it was given.
#include "sabrith/win/custom_controls.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace sabrith {
namespace {

HINSTANCE instance() {
    return GetModuleHandleA(nullptr);
}

bool classExists(ControlKind kind) {
    WNDCLASSA wc;
    return GetClassInfoA(instance(), ControlClass::className(kind), &wc) != 0;
}

// Collects the notifications the controls post to their parent.
struct Parent {
    Parent() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = instance();
        wc.lpszClassName = "SabrithTestParent";
        RegisterClassA(&wc);
        window = CreateWindowA("SabrithTestParent", "controls", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                               0, 400, 200, nullptr, nullptr, instance(), nullptr);
    }
    ~Parent() { DestroyWindow(window); }
    HWND child(ControlKind kind, int x, int y, int w, int h) {
        return CreateWindowA(ControlClass::className(kind), "", WS_CHILD | WS_VISIBLE, x, y, w, h,
                             window, nullptr, instance(), nullptr);
    }
    std::vector<std::pair<WPARAM, LPARAM>> take(UINT code) {
        std::vector<std::pair<WPARAM, LPARAM>> got;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.hwnd == window && msg.message == code)
                got.emplace_back(msg.wParam, msg.lParam);
            else
                DispatchMessageA(&msg);
        }
        return got;
    }
    HWND window;
};

using Notes = std::vector<std::pair<WPARAM, LPARAM>>;

TEST(ControlClasses, RegisteredWhileAnyRegistrationLives) {
    ASSERT_FALSE(classExists(ControlKind::minMaxSlider));
    {
        ControlClass first(ControlKind::minMaxSlider, instance());
        {
            ControlClass second(ControlKind::minMaxSlider, instance());
            EXPECT_EQ(ControlClass::liveObjects(ControlKind::minMaxSlider), 2);
        }
        EXPECT_TRUE(classExists(ControlKind::minMaxSlider));
        EXPECT_FALSE(classExists(ControlKind::colorBox));
    }
    EXPECT_FALSE(classExists(ControlKind::minMaxSlider));
}

TEST(MinMaxSliderWindow, MessagesThenADragNotifyTheParent) {
    ControlClass registration(ControlKind::minMaxSlider, instance());
    Parent parent;
    HWND slider = parent.child(ControlKind::minMaxSlider, 10, 10, 200, 30);
    ASSERT_TRUE(slider);
    SendMessageA(slider, sliderSetMinimum, 575, 0);
    SendMessageA(slider, sliderSetMaximum, 575, 0);
    EXPECT_TRUE(parent.take(sliderChanged).empty()) << "set by message: no notification";
    // Upper half: the minimum thumb. x 100 of 200 is bin 575 * 93 / 186.
    SendMessageA(slider, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 5));
    SendMessageA(slider, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(193, 5));
    SendMessageA(slider, WM_LBUTTONUP, 0, MAKELPARAM(0xFFF0, 5)); // left of the window
    SendMessageA(slider, WM_MOUSEMOVE, 0, MAKELPARAM(150, 5));    // no drag any more
    EXPECT_EQ(parent.take(sliderChanged), (Notes{{1, 287}, {1, 565}, {1, 0}}));
    // Lower half: the maximum thumb, dragged down to 0, stops at 10.
    SendMessageA(slider, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 25));
    SendMessageA(slider, WM_LBUTTONUP, 0, MAKELPARAM(7, 25));
    EXPECT_EQ(parent.take(sliderChanged), (Notes{{2, 10}, {2, 10}}));
}

HHOOK cancelHook = nullptr;

// Cancels the colour chooser as soon as it is activated.
LRESULT CALLBACK cancelChooser(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_ACTIVATE) {
        char name[16] = {};
        GetClassNameA(HWND(wp), name, sizeof name);
        if (std::string(name) == "#32770") PostMessageA(HWND(wp), WM_COMMAND, IDCANCEL, 0);
    }
    return CallNextHookEx(cancelHook, code, wp, lp);
}

TEST(ColorBoxWindow, CancelledChooserStillNotifiesWithTheOldColour) {
    ControlClass registration(ControlKind::colorBox, instance());
    Parent parent;
    HWND box = parent.child(ControlKind::colorBox, 10, 10, 66, 66);
    ASSERT_TRUE(box);
    SendMessageA(box, colorBoxSetCount, 4, 0);
    for (int i = 0; i < 4; ++i)
        SendMessageA(box, colorBoxSetColor + UINT(i), 0x102030 * (i + 1), 0);
    cancelHook = SetWindowsHookExA(WH_CBT, cancelChooser, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(cancelHook);
    SendMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(50, 50)); // bottom-right: swatch 4
    UnhookWindowsHookEx(cancelHook);
    EXPECT_EQ(parent.take(colorBoxChanged), (Notes{{4, LPARAM(box)}}));
    EXPECT_EQ(SendMessageA(box, colorBoxGetColor + 3, 0, 0), 0x102030 * 4);
    SendMessageA(box, colorBoxSetCount, 1, 0);
    cancelHook = SetWindowsHookExA(WH_CBT, cancelChooser, nullptr, GetCurrentThreadId());
    SendMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(50, 50));
    UnhookWindowsHookEx(cancelHook);
    EXPECT_EQ(parent.take(colorBoxChanged), (Notes{{1, LPARAM(box)}})) << "one swatch: always 1";
}

TEST(ScaleBoxWindow, DrawsThePlotItWasGiven) {
    ControlClass registration(ControlKind::scaleBox, instance());
    Parent parent;
    HWND box = parent.child(ControlKind::scaleBox, 10, 10, 42, 22); // a 40 x 20 plot
    ASSERT_TRUE(box);
    const int32_t values[] = {0, 10};
    const ScaleValues record{2, 20, values};
    SendMessageA(box, scaleBoxSetValues, 0, LPARAM(&record));
    UpdateWindow(box);
    HDC dc = GetDC(box);
    // Value 0 on the plot's bottom row, 10 of 20 at its middle; (1, 1) offset.
    EXPECT_EQ(GetPixel(dc, 1 + 5, 1 + 19), RGB(0x8C, 0xDC, 0x8C));
    EXPECT_EQ(GetPixel(dc, 1 + 30, 1 + 9), RGB(0x8C, 0xDC, 0x8C));
    EXPECT_EQ(GetPixel(dc, 1 + 5, 1 + 10), RGB(0x0F, 0x28, 0x0F));
    ReleaseDC(box, dc);
}

} // namespace
} // namespace sabrith
