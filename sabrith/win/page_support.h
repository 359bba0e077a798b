// What every effect page does alike: its page record, the band texts in Hz
// and the band slider's thumbs.
#pragma once

#include <windows.h>

#include <commctrl.h>

namespace sabrith {

// A page record with no flags, icon, parameter or callback.
void fillPageRecord(PROPSHEETPAGEA& page, HINSTANCE instance, int templateId, DLGPROC procedure);

// "%d Hz" for a spectrum bin in the static control `id` of `page`.
void showBandEdge(HWND page, int id, int bin);

// Both thumbs of the MinMaxSlider `id`. The thumbs keep a gap, so the old
// minimum is first moved out of the way; otherwise an old band above or
// below the new one would bend it.
void setBandSlider(HWND page, int id, int minBin, int maxBin);

} // namespace sabrith
