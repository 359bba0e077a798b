// What Pelmit's song information dialogs share: placement, the OK, cancel and
// "Config" buttons, instrument lists, "%d" values and the effect list view
// whose rows live as long as the dialog.
#pragma once

#include "pelmit/format_registry.h"
#include "pelmit/settings.h"
#include "pelmit/song_info_text.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pelmit {

struct InfoDialog;

// One open information dialog.
struct InfoDialogContext {
    const InfoDialog* type;
    FormatPlayer* player;
    HWND dialog = nullptr;
    // The rows of the effect list, alive while the dialog is open; the list
    // view asks for their texts on demand.
    std::vector<EffectText> effects;

    // Whether the song the dialog shows is still the one playing. The dialog's
    // message loop runs the player's own messages, so the song may have been
    // stopped or replaced meanwhile.
    bool songStillLoaded() const;
};

// One format's information dialog.
struct InfoDialog {
    FormatKind kind;
    int templateId;
    int configButton;
    int32_t Settings::*x;
    int32_t Settings::*y;
    // Fills the controls from the player when the dialog opens.
    void (*open)(InfoDialogContext& context);
    // Commands from controls other than the buttons; null: none are handled.
    void (*command)(InfoDialogContext& context, int id, int code);
    // A horizontal trackbar moved; null: the dialog has none.
    void (*scroll)(InfoDialogContext& context, HWND trackbar) = nullptr;
};

// Runs the dialog modally; 1 when it ended through its "Config" button.
INT_PTR runInfoDialog(const InfoDialog& type, FormatPlayer* player, HWND owner);

void setNumber(HWND dialog, int id, long long value);
// One "%02d: %s" line per instrument, numbered from 1.
void addInstrument(HWND dialog, int listId, int number, const char* name, size_t nameSize);
// Inserts the "Effect" and "Description" columns and one row per effect.
void fillEffectList(InfoDialogContext& context, int listId, std::vector<EffectText> rows);

// The dialogs of the formats.
extern const InfoDialog modInfoDialog;
extern const InfoDialog futureComposerInfoDialog;
extern const InfoDialog soundMonInfoDialog;
extern const InfoDialog soundFxInfoDialog;
extern const InfoDialog emulatedInfoDialog;

} // namespace pelmit
