// The SoundMon information dialog (template 107).
#include "pelmit/win/dialog_resources.h"
#include "pelmit/formats/soundmon_player.h"
#include "pelmit/win/info_dialog.h"

namespace pelmit {

namespace {

void openSoundMonInfo(InfoDialogContext& c) {
    const auto& player = *static_cast<const SoundMonPlayer*>(c.player);
    setNumber(c.dialog, IDC_BP_PATTERNS, player.patternCount());
    setNumber(c.dialog, IDC_BP_LENGTH, player.stepCount());
    setNumber(c.dialog, IDC_BP_SPEED, player.currentSpeed());
    SetDlgItemTextA(c.dialog, IDC_BP_VERSION, soundMonVersionText(player.variant()));
    for (int i = 0; i < soundMonInstrumentCount; ++i)
        addInstrument(c.dialog, IDC_BP_INSTRUMENTS, i + 1, player.instrument(i).name,
                      sizeof player.instrument(i).name);
    fillEffectList(c, IDC_BP_EFFECTS, soundMonEffectRows(player.effectsUsed(), player.variant()));
}

} // namespace

const InfoDialog soundMonInfoDialog = {
    FormatKind::SoundMon, IDD_BP_INFO,      IDC_BP_CONFIG, &Settings::BPInfoX,
    &Settings::BPInfoY,   openSoundMonInfo, nullptr,
};

} // namespace pelmit
