// Pelmit's InputModule: its own slots. The host slots stay 0 until the player
// fills them.
#include "pelmit/win/dialogs.h"
#include "pelmit/playback.h"
#include "pelmit/win/plugin.h"

namespace pelmit {

InputModule inputModule = [] {
    InputModule m{};
    m.abiVersion = inputAbiVersion;
    m.displayName = "Kestrov's quistor MOD player v0.86 (x86)";
    m.canSeek = 1;
    m.usesHostOutput = 1;
    m.showSettings = showSettings;
    m.showAboutBox = showAboutBox;
    m.startUp = startUp;
    m.shutDown = shutDown;
    m.describeFile = describeFile;
    m.showFileDetails = showFileDetails;
    m.claimsFile = claimsFile;
    m.startPlayback = startPlayback;
    m.pausePlayback = pausePlayback;
    m.resumePlayback = resumePlayback;
    m.queryPaused = queryPaused;
    m.stopPlayback = stopPlayback;
    m.queryLengthMs = queryLengthMs;
    m.queryPositionMs = queryPositionMs;
    m.requestSeekMs = requestSeekMs;
    m.applyVolume = applyVolume;
    m.applyBalance = applyBalance;
    m.applyEqualizer = applyEqualizer;
    return m;
}();

} // namespace pelmit
