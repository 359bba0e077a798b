// The information dialog of the emulated formats (template 109): the format's
// name and a trackbar that chooses the subsong of the playing song.
#include "pelmit/win/dialog_resources.h"
#include "pelmit/win/info_dialog.h"
#include "pelmit/playback.h"

#include <commctrl.h>

namespace pelmit {

namespace {

// A tune may count no subsongs at all; the trackbar still needs a range.
int offeredSubsongs(const SubsongSelection& s) {
    int count = s.subsongCount();
    return count < 1 ? 1 : count;
}

void openEmulatedInfo(InfoDialogContext& c) {
    const SubsongSelection* s = subsongsOf(c.player);
    if (!s) return;
    setNumber(c.dialog, IDC_EMU_TOTAL, s->subsongCount());
    setNumber(c.dialog, IDC_EMU_CURRENT, s->currentSubsongIndex());
    SetDlgItemTextA(c.dialog, IDC_EMU_TYPE, s->subFormatName());
    HWND trackbar = GetDlgItem(c.dialog, IDC_EMU_SUBSONG);
    SendMessageA(trackbar, TBM_SETRANGE, TRUE, MAKELPARAM(1, offeredSubsongs(*s)));
    SendMessageA(trackbar, TBM_SETTICFREQ, 1, 0);
    SendMessageA(trackbar, TBM_SETPOS, TRUE, s->currentSubsongIndex());
}

void emulatedInfoScroll(InfoDialogContext& c, HWND trackbar) {
    SubsongSelection* s = subsongsOf(c.player);
    if (!s || GetDlgCtrlID(trackbar) != IDC_EMU_SUBSONG || !c.songStillLoaded()) return;
    int index = int(SendMessageA(trackbar, TBM_GETPOS, 0, 0));
    if (index == s->currentSubsongIndex()) return;
    selectSubsong(index);
    setNumber(c.dialog, IDC_EMU_CURRENT, s->currentSubsongIndex());
}

} // namespace

const InfoDialog emulatedInfoDialog = {
    FormatKind::Emulated, IDD_EMULATED_INFO, IDC_EMU_CONFIG, &Settings::HIPInfoX,
    &Settings::HIPInfoY,  openEmulatedInfo,  nullptr,        emulatedInfoScroll,
};

} // namespace pelmit
