// The flame's page in a real property sheet under Wine: the band and colour
// controls change the effect, OK stores the values, Cancel brings the stored
// ones back, and frames go on being drawn while the page edits.
#include "sabrith/win/custom_controls.h"
#include "sabrith/win/flame_page.h"
#include "sabrith/win/page_resources.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace sabrith {
namespace {

struct PageFixture {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    ControlClass colorBox{ControlKind::colorBox, instance};
    ControlClass slider{ControlKind::minMaxSlider, instance};
    MemoryRegistry registry;
    IniFileProfile profile;
    SettingsStore store{"Lumbrin", registry, profile};
    CrtRandom random;
    FlameEffect effect{EffectContext{store, nullptr, &random}};
    HWND sheet = nullptr;

    void open() {
        PROPSHEETPAGEA pages[1];
        ASSERT_EQ(buildPages(effect, instance, pages), 1);
        PROPSHEETHEADERA header{};
        header.dwSize = sizeof header;
        header.dwFlags = PSH_PROPSHEETPAGE | PSH_MODELESS | PSH_NOAPPLYNOW;
        header.hInstance = instance;
        header.pszCaption = "Flame";
        header.nPages = 1;
        header.ppsp = pages;
        sheet = HWND(PropertySheetA(&header));
        ASSERT_TRUE(sheet);
    }
    HWND page() const { return PropSheet_GetCurrentPageHwnd(sheet); }
    std::string text(int id) const {
        char buffer[64] = {};
        GetDlgItemTextA(page(), id, buffer, sizeof buffer);
        return buffer;
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

TEST(FlamePage, ControlsChangeTheEffectAndOkStoresThem) {
    PageFixture f;
    f.open();
    ASSERT_TRUE(f.page());
    EXPECT_EQ(f.text(IDC_FLAME_MIN_TEXT), "0 Hz");
    EXPECT_EQ(f.text(IDC_FLAME_MAX_TEXT), "22191 Hz");
    HWND colorBox = GetDlgItem(f.page(), IDC_FLAME_COLOR);
    EXPECT_EQ(SendMessageA(colorBox, colorBoxGetColor, 0, 0), 0x2878FF) << "the stored colour";

    // The slider's and the colour box's notifications, as they post them.
    SendMessageA(f.page(), sliderChanged, 1, 40);
    f.renderFrame();
    SendMessageA(f.page(), sliderChanged, 2, 325);
    SendMessageA(colorBox, colorBoxSetColor, 0x00FF00, 0);
    SendMessageA(f.page(), colorBoxChanged, 1, LPARAM(colorBox));
    f.renderFrame();
    EXPECT_EQ(f.effect.minFreq, 40);
    EXPECT_EQ(f.effect.maxFreq, 325);
    EXPECT_EQ(f.effect.flameColor, 0x00FF00);
    EXPECT_EQ(f.text(IDC_FLAME_MAX_TEXT), "24869 Hz");

    f.close(PSBTN_OK);
    FlameEffect stored{EffectContext{f.store, nullptr, &f.random}};
    EXPECT_EQ(stored.minFreq, 40);
    EXPECT_EQ(stored.maxFreq, 325);
    EXPECT_EQ(stored.flameColor, 0x00FF00);
}

TEST(FlamePage, CancelReloadsTheStoredValues) {
    PageFixture f;
    f.effect.maxFreq = 500;
    f.open(); // stores 500 first
    SendMessageA(f.page(), sliderChanged, 2, 100);
    EXPECT_EQ(f.effect.maxFreq, 100);
    f.close(PSBTN_CANCEL);
    EXPECT_EQ(f.effect.maxFreq, 500);
}

} // namespace
} // namespace sabrith
