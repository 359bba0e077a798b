// The MOD information dialog (template 102). Its tracker choice applies to
// the playing song at once.
#include "pelmit/win/dialog_resources.h"
#include "pelmit/formats/mod_player.h"
#include "pelmit/win/info_dialog.h"

namespace pelmit {

namespace {

// In the order of TrackerType.
const char* const trackerNames[] = {
    "SoundTracker", "NoiseTracker 1.1", "NoiseTracker 1.2",
    "StarTrekker",  "ProTracker",       "FastTracker",
};
constexpr int trackerCount = int(sizeof trackerNames / sizeof trackerNames[0]);
static_assert(trackerCount == trackerFastTracker + 1);

void openModInfo(InfoDialogContext& c) {
    const auto& player = *static_cast<const ModPlayer*>(c.player);
    const ModSong& song = player.songData();
    HWND combo = GetDlgItem(c.dialog, IDC_MOD_TRACKER);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (const char* name : trackerNames) SendMessageA(combo, CB_ADDSTRING, 0, LPARAM(name));
    SendMessageA(combo, CB_SETCURSEL, WPARAM(song.trackerType), 0);
    setNumber(c.dialog, IDC_MOD_PATTERNS, song.highestPattern + 1);
    setNumber(c.dialog, IDC_MOD_LENGTH, song.songLength);
    setNumber(c.dialog, IDC_MOD_BPM, player.currentTempo());
    setNumber(c.dialog, IDC_MOD_SPEED, player.currentSpeed());
    setNumber(c.dialog, IDC_MOD_CHANNELS, song.channels);
    int samples = song.sampleCount > 15 ? modMaxSamples : 15;
    for (int i = 0; i < samples; ++i)
        addInstrument(c.dialog, IDC_MOD_INSTRUMENTS, i + 1, song.sampleNames[i],
                      sizeof song.sampleNames[i]);
    fillEffectList(c, IDC_MOD_EFFECTS, modEffectRows(song.usedEffects));
}

void modInfoCommand(InfoDialogContext& c, int id, int) {
    if (id != IDC_MOD_TRACKER || !c.songStillLoaded()) return;
    int type = int(SendDlgItemMessageA(c.dialog, IDC_MOD_TRACKER, CB_GETCURSEL, 0, 0));
    if (type >= 0 && type < trackerCount) static_cast<ModPlayer*>(c.player)->setTrackerType(type);
}

} // namespace

const InfoDialog modInfoDialog = {
    FormatKind::Mod,     IDD_MOD_INFO, IDC_MOD_CONFIG, &Settings::MODInfoX,
    &Settings::MODInfoY, openModInfo,  modInfoCommand,
};

} // namespace pelmit
