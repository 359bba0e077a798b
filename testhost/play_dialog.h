// testhost play ... --dialog config|about|details@AT_MS [--do SCRIPT]: opens
// one of the plug-in's dialogs while the song plays, at the first block
// boundary at or after AT_MS of audio, as the player does from its own
// thread. While the dialog is open the output takes nothing, except what the
// window script lets through with its extra action:
//   render MS    let the output take MS more of audio; wait until it has
#pragma once

#include "host/input_module.h"
#include "testhost/json_writer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace testhost {

struct PlayDialog {
    std::string which; // "config", "about" or "details"
    std::string script;
    // What happened.
    int64_t atFrame = 0;  // frames written when it opened
    int64_t endFrame = 0; // and when it closed
    int result = 0;
    std::vector<std::string> screenshots;
};

// Parses "WHICH@AT_MS"; false when it is not one.
bool parsePlayDialog(const char* text, PlayDialog& dialog, int& atMs);
// Runs the dialog modally on this thread; script failures become violations.
void runPlayDialog(InputModule* module, HWND owner, const char* file, PlayDialog& dialog);
void writePlayDialogs(JsonWriter& json, const std::vector<PlayDialog>& dialogs);

} // namespace testhost
