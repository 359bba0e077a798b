#include "sabrith/win/frequency_pages.h"

#include "sabrith/win/custom_controls.h"
#include "sabrith/win/page_resources.h"
#include "sabrith/win/page_support.h"

#include <array>
#include <span>

namespace sabrith {
namespace {

// One sheet is open at a time, so one target serves all four pages; the
// first page destroyed clears it.
FrequencyEffect*& target = pageTarget<FrequencyEffect>;

using Effect = FrequencyEffect;

constexpr BandControls band{IDC_BARS_BAND, IDC_BARS_MIN_TEXT, IDC_BARS_MAX_TEXT};

constexpr std::array<CheckSetting<Effect>, 8> flips{{
    {IDC_BARS_MONO_FLIP_X, &Effect::monoFlipX},
    {IDC_BARS_MONO_FLIP_Y, &Effect::monoFlipY},
    {IDC_BARS_LEFT_FLIP_X, &Effect::leftFlipX},
    {IDC_BARS_LEFT_FLIP_Y, &Effect::leftFlipY},
    {IDC_BARS_RIGHT_FLIP_X, &Effect::rightFlipX},
    {IDC_BARS_RIGHT_FLIP_Y, &Effect::rightFlipY},
    {IDC_BARS_DIAMOND_FLIP_X, &Effect::diamondFlipX},
    {IDC_BARS_DIAMOND_FLIP_Y, &Effect::diamondFlipY},
}};
constexpr std::array<CheckSetting<Effect>, 1> columnsCheck{{{IDC_BARS_COLUMNS, &Effect::columns}}};
constexpr std::array<CheckSetting<Effect>, 1> peaksCheck{{{IDC_BARS_PEAKS_ON, &Effect::peaks}}};
constexpr std::array<TrackbarSetting<Effect>, 3> barSizes{{
    {IDC_BARS_WIDTH, &Effect::barWidth, 1, 21, 2},
    {IDC_BARS_HEIGHT, &Effect::barHeight, 1, 21, 2},
    {IDC_BARS_SPACING, &Effect::horizSpacing, 0, 30, 2},
}};
constexpr std::array<TrackbarSetting<Effect>, 3> peakTimes{{
    {IDC_BARS_PEAK_DROP_OFF, &Effect::peakDropOff, 0, 2000, 100},
    {IDC_BARS_PEAK_AGING, &Effect::peakAging, 0, 8000, 400},
    {IDC_BARS_PEAK_DROP_AGE, &Effect::peakDropAge, 0, 260, 26},
}};
// The "Mono" setting's three values, in order.
constexpr std::array<int, 3> channelButtons{IDC_BARS_MONO, IDC_BARS_STEREO, IDC_BARS_DIAMOND};

void showColors(HWND page, int id, const std::array<int, 4>& colors) {
    HWND box = GetDlgItem(page, id);
    SendMessageA(box, colorBoxSetCount, 4, 0);
    for (int i = 0; i < 4; ++i)
        SendMessageA(box, colorBoxSetColor + UINT(i), WPARAM(colors[std::size_t(i)]), 0);
    InvalidateRect(box, nullptr, FALSE);
}

// The colour box's change message: swatch wp (1-4) read back from it.
void takeColor(WPARAM swatch, LPARAM box, std::array<int, 4>& colors) {
    if (swatch < 1 || swatch > 4) return;
    colors[swatch - 1] = int(SendMessageA(HWND(box), colorBoxGetColor + UINT(swatch - 1), 0, 0));
    target->rebuildGradients();
}

void fillGeneral(HWND page) {
    showBand(page, band, target->minFreq, target->maxFreq);
}

void check(HWND page, int id, bool on) {
    CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED);
}

// The radio buttons are checked one by one: the channel buttons' numbers
// enclose a flip box, which CheckRadioButton would clear.
void fillLayout(HWND page) {
    for (std::size_t i = 0; i < channelButtons.size(); ++i)
        check(page, channelButtons[i], target->mono == int(i));
    check(page, IDC_BARS_STACK_VERTICAL, target->stackVert != 0);
    check(page, IDC_BARS_STACK_HORIZONTAL, target->stackVert == 0);
    showChecks<Effect>(page, flips, *target);
}

void readLayout(HWND page) {
    for (std::size_t i = 0; i < channelButtons.size(); ++i)
        if (IsDlgButtonChecked(page, channelButtons[i]) == BST_CHECKED) target->mono = int(i);
    target->stackVert = IsDlgButtonChecked(page, IDC_BARS_STACK_VERTICAL) == BST_CHECKED;
    readChecks<Effect>(page, flips, *target);
}

// "Bars" and "Peaks" are alike: four colours, one check box, three
// trackbars.
struct ColorsPage {
    int boxId;
    std::array<int, 4> Effect::*colors;
    std::span<const CheckSetting<Effect>> checks;
    std::span<const TrackbarSetting<Effect>> trackbars;
};
constexpr ColorsPage barsControls{IDC_BARS_COLORS, &Effect::color, columnsCheck, barSizes};
constexpr ColorsPage peaksControls{IDC_BARS_PEAK_COLORS, &Effect::peakColorSetting, peaksCheck,
                                   peakTimes};

void fillColorsPage(HWND page, const ColorsPage& controls) {
    showColors(page, controls.boxId, target->*controls.colors);
    showChecks(page, controls.checks, *target);
    showTrackbars(page, controls.trackbars, *target);
}

void fillBars(HWND page) {
    fillColorsPage(page, barsControls);
}
void fillPeaks(HWND page) {
    fillColorsPage(page, peaksControls);
}

INT_PTR CALLBACK generalPage(HWND page, UINT message, WPARAM wp, LPARAM lp) {
    INT_PTR result;
    if (pageFrontMessage(target, page, message, wp, lp, fillGeneral, result)) return result;
    if (message != sliderChanged) return FALSE;
    takeBandChange(page, band, wp, lp, target->minFreq, target->maxFreq);
    return TRUE;
}

INT_PTR CALLBACK layoutPage(HWND page, UINT message, WPARAM wp, LPARAM lp) {
    INT_PTR result;
    if (pageFrontMessage(target, page, message, wp, lp, fillLayout, result)) return result;
    if (message != WM_COMMAND || HIWORD(wp) != BN_CLICKED) return FALSE;
    readLayout(page);
    return TRUE;
}

INT_PTR colorsPageMessage(HWND page, UINT message, WPARAM wp, LPARAM lp, const ColorsPage& controls,
                          void (*fill)(HWND)) {
    INT_PTR result;
    if (pageFrontMessage(target, page, message, wp, lp, fill, result)) return result;
    switch (message) {
    case colorBoxChanged: takeColor(wp, lp, target->*controls.colors); return TRUE;
    case WM_COMMAND:
        if (HIWORD(wp) == BN_CLICKED) readChecks(page, controls.checks, *target);
        return TRUE;
    case WM_HSCROLL: readTrackbars(page, controls.trackbars, *target); return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK barsPage(HWND page, UINT message, WPARAM wp, LPARAM lp) {
    return colorsPageMessage(page, message, wp, lp, barsControls, fillBars);
}

INT_PTR CALLBACK peaksPage(HWND page, UINT message, WPARAM wp, LPARAM lp) {
    return colorsPageMessage(page, message, wp, lp, peaksControls, fillPeaks);
}

} // namespace

int buildPages(FrequencyEffect& effect, HINSTANCE instance, PROPSHEETPAGEA* pages) {
    effect.saveSettings(nullptr);
    target = &effect;
    fillPageRecord(pages[0], instance, IDD_BARS_GENERAL, generalPage);
    fillPageRecord(pages[1], instance, IDD_BARS_LAYOUT, layoutPage);
    fillPageRecord(pages[2], instance, IDD_BARS_BARS, barsPage);
    fillPageRecord(pages[3], instance, IDD_BARS_PEAKS, peaksPage);
    return 4;
}

} // namespace sabrith
