#include "sabrith/win/fyre_pages.h"

#include "sabrith/win/custom_controls.h"
#include "sabrith/win/page_resources.h"
#include "sabrith/win/page_support.h"

#include <array>

namespace sabrith {
namespace {

// One sheet is open at a time, so one target serves both pages; the first
// page destroyed clears it.
FyreEffect*& target = pageTarget<FyreEffect>;
HINSTANCE pageInstance = nullptr;
int current = 0; // the source the "Particle Sources" page shows

using Effect = FyreEffect;

constexpr std::array<TrackbarSetting<Effect>, 2> generalBars{{
    {IDC_FOUNTAIN_CULL_RATE, &Effect::fadeRate, 0, 32, 4},
    {IDC_FOUNTAIN_GRAVITY, &Effect::gravityRate, 0, 512, 52},
}};
constexpr std::array<CheckSetting<Effect>, 4> switches{{
    {IDC_FOUNTAIN_JITTER, &Effect::jitter},
    {IDC_FOUNTAIN_STATIONARY, &Effect::stationary},
    {IDC_FOUNTAIN_AIR, &Effect::airResistance},
    {IDC_FOUNTAIN_STEREO, &Effect::stereoMode},
}};
constexpr std::array<int, 3> typeButtons{IDC_FOUNTAIN_NORMAL, IDC_FOUNTAIN_RINGS,
                                         IDC_FOUNTAIN_FREQUENCY};
constexpr BandControls band{IDC_SOURCE_BAND, IDC_SOURCE_MIN_TEXT, IDC_SOURCE_MAX_TEXT};
constexpr std::array<int, 6> sourceControls{IDC_SOURCE_SENSITIVITY, IDC_SOURCE_SIZE,
                                            IDC_SOURCE_PPE,         IDC_SOURCE_SPEED,
                                            IDC_SOURCE_BAND,        IDC_SOURCE_COLOR};

void fillGeneral(HWND page) {
    showTrackbars<Effect>(page, generalBars, *target);
    showChecks<Effect>(page, switches, *target);
    for (std::size_t i = 0; i < typeButtons.size(); ++i)
        CheckDlgButton(page, typeButtons[i], target->type == int(i) ? BST_CHECKED : BST_UNCHECKED);
}

void readGeneral(HWND page) {
    readTrackbars<Effect>(page, generalBars, *target);
    readChecks<Effect>(page, switches, *target);
    for (std::size_t i = 0; i < typeButtons.size(); ++i)
        if (IsDlgButtonChecked(page, typeButtons[i]) == BST_CHECKED) target->type = int(i);
}

void setTrackbar(HWND page, int id, int min, int max, int tickEvery, int position) {
    SendDlgItemMessageA(page, id, TBM_SETRANGE, TRUE, MAKELPARAM(min, max));
    SendDlgItemMessageA(page, id, TBM_SETTICFREQ, WPARAM(tickEvery), 0);
    SendDlgItemMessageA(page, id, TBM_SETPOS, TRUE, LPARAM(position));
}

int trackbar(HWND page, int id) {
    return int(SendDlgItemMessageA(page, id, TBM_GETPOS, 0, 0));
}

// A list with no sources (a preset may hold none) leaves nothing to show:
// the source controls are disabled rather than reading a source that is not
// there; "New Source" still works.
void fillSources(HWND page) {
    const int count = target->sourceCount();
    if (current >= count) current = count - 1;
    if (current < 0) current = 0;
    HWND list = GetDlgItem(page, IDC_SOURCE_LIST);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < count; ++i)
        SendMessageA(list, CB_ADDSTRING, 0, LPARAM(target->source(i).name().c_str()));
    for (int id : sourceControls) EnableWindow(GetDlgItem(page, id), count > 0);
    if (count == 0) return;
    SendMessageA(list, CB_SETCURSEL, WPARAM(current), 0);
    ParticleSource& source = target->source(current);
    setTrackbar(page, IDC_SOURCE_SENSITIVITY, 0, 200, 20, 200 - source.sensitivity());
    setTrackbar(page, IDC_SOURCE_SIZE, 1, 5, 1, source.particleSize);
    setTrackbar(page, IDC_SOURCE_PPE, 10, 400, 10, source.particlesPerBurst);
    setTrackbar(page, IDC_SOURCE_SPEED, 0, 30, 3, source.speed);
    showBand(page, band, source.minFreq(), source.maxFreq());
    SendDlgItemMessageA(page, IDC_SOURCE_COLOR, colorBoxSetColor, WPARAM(source.color()), 0);
    InvalidateRect(GetDlgItem(page, IDC_SOURCE_COLOR), nullptr, FALSE);
}

void readSource(HWND page) {
    if (target->sourceCount() == 0) return;
    ParticleSource& source = target->source(current);
    source.setSensitivity(200 - trackbar(page, IDC_SOURCE_SENSITIVITY));
    source.particleSize = trackbar(page, IDC_SOURCE_SIZE);
    source.particlesPerBurst = trackbar(page, IDC_SOURCE_PPE);
    source.speed = trackbar(page, IDC_SOURCE_SPEED);
}

// The source keeps its own band rules; the band it took goes back to the
// slider and the texts.
void takeBand(HWND page, WPARAM which, LPARAM bin) {
    if (target->sourceCount() == 0) return;
    ParticleSource& source = target->source(current);
    if (which == 1)
        source.setMinFreq(int(bin));
    else
        source.setMaxFreq(int(bin));
    showBand(page, band, source.minFreq(), source.maxFreq());
}

void newSource(HWND page) {
    if (target->sourceCount() >= FyreEffect::maxSources) {
        MessageBoxA(page, "You can only create\n20 Particle Systems", "Error", MB_OK);
        return;
    }
    SourceSettings settings;
    settings.name = "New Source";
    onWindowThread([&] {
        if (target && target->addSource(settings)) current = target->sourceCount() - 1;
    });
    if (!target) return;
    fillSources(page);
}

void deleteSource(HWND page) {
    if (target->sourceCount() < 2) {
        MessageBoxA(page, "This is the last particle source\nYou can't delete it.", "Delete Source",
                    MB_OK);
        return;
    }
    const LRESULT selected = SendDlgItemMessageA(page, IDC_SOURCE_LIST, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR) {
        MessageBoxA(page, "No Item Selected", "Title", MB_OK);
        return;
    }
    if (MessageBoxA(page, target->source(int(selected)).name().c_str(), "Delete Particle Source?",
                    MB_YESNO) != IDYES)
        return;
    onWindowThread([&] {
        if (target) target->deleteSource(int(selected));
    });
    current = 0;
    if (target) fillSources(page);
}

INT_PTR CALLBACK nameDialog(HWND dialog, UINT message, WPARAM wp, LPARAM lp) {
    if (message == WM_INITDIALOG) {
        SendDlgItemMessageA(dialog, IDC_SOURCE_NAME_EDIT, EM_LIMITTEXT, 79, 0);
        SetDlgItemTextA(dialog, IDC_SOURCE_NAME_EDIT, reinterpret_cast<const char*>(lp));
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
        if (LOWORD(wp) == IDOK && target && target->sourceCount() > 0) {
            char name[80] = {};
            GetDlgItemTextA(dialog, IDC_SOURCE_NAME_EDIT, name, sizeof name);
            onWindowThread([&] {
                if (target && target->sourceCount() > 0) target->source(current).setName(name);
            });
        }
        EndDialog(dialog, LOWORD(wp));
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK generalPage(HWND page, UINT message, WPARAM wp, LPARAM lp) {
    INT_PTR result;
    if (pageFrontMessage(target, page, message, wp, lp, fillGeneral, result)) return result;
    if (message == WM_HSCROLL || (message == WM_COMMAND && HIWORD(wp) == BN_CLICKED)) {
        readGeneral(page);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK sourcesPage(HWND page, UINT message, WPARAM wp, LPARAM lp) {
    INT_PTR result;
    if (message == WM_INITDIALOG) {
        current = 0;
        SendDlgItemMessageA(page, IDC_SOURCE_COLOR, colorBoxSetCount, 1, 0);
    }
    if (pageFrontMessage(target, page, message, wp, lp, fillSources, result)) return result;
    switch (message) {
    case WM_HSCROLL: readSource(page); return TRUE;
    case sliderChanged: takeBand(page, wp, lp); return TRUE;
    case colorBoxChanged:
        if (wp == 1 && target->sourceCount() > 0)
            target->source(current).setColor(int(SendMessageA(HWND(lp), colorBoxGetColor, 0, 0)));
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDC_SOURCE_LIST:
            if (HIWORD(wp) == CBN_SELCHANGE) {
                const LRESULT selected = SendMessageA(HWND(lp), CB_GETCURSEL, 0, 0);
                if (selected != CB_ERR) current = int(selected);
                fillSources(page);
            }
            return TRUE;
        case IDC_SOURCE_NEW: newSource(page); return TRUE;
        case IDC_SOURCE_DELETE: deleteSource(page); return TRUE;
        case IDC_SOURCE_SET_NAME:
            if (target->sourceCount() == 0) return TRUE;
            DialogBoxParamA(pageInstance, MAKEINTRESOURCEA(IDD_SOURCE_NAME), page, nameDialog,
                            LPARAM(target->source(current).name().c_str()));
            if (target) fillSources(page);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

} // namespace

int buildPages(FyreEffect& effect, HINSTANCE instance, PROPSHEETPAGEA* pages) {
    effect.saveSettings(nullptr);
    target = &effect;
    pageInstance = instance;
    fillPageRecord(pages[0], instance, IDD_FOUNTAIN_GENERAL, generalPage);
    fillPageRecord(pages[1], instance, IDD_FOUNTAIN_SOURCES, sourcesPage);
    return 2;
}

} // namespace sabrith
