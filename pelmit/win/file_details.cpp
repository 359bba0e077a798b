// showFileDetails: the information dialog of the format that plays the
// current song, and the configuration dialog after its "Config" button.
#include "pelmit/win/dialogs.h"
#include "pelmit/win/info_dialog.h"
#include "pelmit/playback.h"

namespace pelmit {

namespace {

// The first format in this order with a player of the current song decides.
const InfoDialog* const dialogOrder[] = {
    &modInfoDialog,     &futureComposerInfoDialog, &soundMonInfoDialog,
    &soundFxInfoDialog, &emulatedInfoDialog,
};

} // namespace

int JK_CDECL showFileDetails(const char* path, JkWindow owner) {
    if (path && *path && playback.currentPath != path) return 0;
    for (const InfoDialog* type : dialogOrder) {
        FormatPlayer* player = playback.players[int(type->kind)];
        if (!player) continue;
        if (runInfoDialog(*type, player, owner) == 1) showSettings(owner);
        return 0;
    }
    return 0;
}

} // namespace pelmit
