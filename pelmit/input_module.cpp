// Pelmit's InputModule: its own slots. The host slots stay 0 until the player
// fills them.
#include "pelmit/plugin.h"

namespace pelmit {

static void JK_CDECL applyEqualizer(int, char*, int) {}

InputModule inputModule = [] {
    InputModule m{};
    m.abiVersion = inputAbiVersion;
    m.displayName = "Kestrov's quistor MOD player v0.86 (x86)";
    m.canSeek = 1;
    m.usesHostOutput = 1;
    m.applyEqualizer = applyEqualizer;
    return m;
}();

} // namespace pelmit
