// The Future Composer information dialog (template 106).
#include "pelmit/win/dialog_resources.h"
#include "pelmit/formats/future_composer_player.h"
#include "pelmit/win/info_dialog.h"

namespace pelmit {

namespace {

void openFutureComposerInfo(InfoDialogContext& c) {
    const auto& player = *static_cast<const FutureComposerPlayer*>(c.player);
    setNumber(c.dialog, IDC_FC_PATTERNS, player.patternCount());
    setNumber(c.dialog, IDC_FC_LENGTH, player.stepCount());
    setNumber(c.dialog, IDC_FC_SPEED, player.initialSpeed());
    SetDlgItemTextA(c.dialog, IDC_FC_VERSION, futureComposerVersionText(player.isVersion14()));
}

} // namespace

const InfoDialog futureComposerInfoDialog = {
    FormatKind::FutureComposer, IDD_FC_INFO, IDC_FC_CONFIG, &Settings::FCInfoX, &Settings::FCInfoY,
    openFutureComposerInfo,     nullptr,
};

} // namespace pelmit
