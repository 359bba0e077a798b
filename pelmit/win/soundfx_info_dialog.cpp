// The SoundFX information dialog (template 108).
#include "pelmit/win/dialog_resources.h"
#include "pelmit/formats/soundfx_player.h"
#include "pelmit/win/info_dialog.h"

namespace pelmit {

namespace {

void openSoundFxInfo(InfoDialogContext& c) {
    const auto& player = *static_cast<const SoundFxPlayer*>(c.player);
    setNumber(c.dialog, IDC_SFX_PATTERNS, player.patternCount());
    setNumber(c.dialog, IDC_SFX_LENGTH, player.orderCount());
    SetDlgItemTextA(c.dialog, IDC_SFX_BPM, soundFxBpmText(player.timer()).c_str());
    for (int i = 0; i < sfxSampleCount; ++i)
        addInstrument(c.dialog, IDC_SFX_INSTRUMENTS, i + 1, player.sample(i).name,
                      sizeof player.sample(i).name);
    fillEffectList(c, IDC_SFX_EFFECTS, soundFxEffectRows(player.effectsUsed()));
}

} // namespace

const InfoDialog soundFxInfoDialog = {
    FormatKind::SoundFx, IDD_SFX_INFO,    IDC_SFX_CONFIG, &Settings::SFXInfoX,
    &Settings::SFXInfoY, openSoundFxInfo, nullptr,
};

} // namespace pelmit
