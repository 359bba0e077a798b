// What Pelmit's dialogs share: where they open (each has a pair of settings
// that remembers its top-left corner while RememberWindowPositions is 1), the
// common controls, and the data a dialog keeps for its lifetime.
#pragma once

#include <windows.h>

#include <cstdint>

namespace pelmit {

// Moves the dialog's top-left corner to (x, y) in screen coordinates, keeping
// its size and z-order, when `remember` is 1 and neither value is unset.
void placeDialog(HWND dialog, int32_t remember, int32_t x, int32_t y);
// Stores the dialog's top-left corner into x and y when `remember` is 1.
void storeDialogPosition(HWND dialog, int32_t remember, int32_t& x, int32_t& y);

// The common controls Pelmit's templates use (trackbars and list views),
// registered before a dialog is created.
void initDialogControls();

// The dialog's own data: the parameter it was created with, kept from
// WM_INITDIALOG on; null before.
template <typename T>
T* dialogData(HWND dialog, UINT message, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, LONG_PTR(lParam));
        return reinterpret_cast<T*>(lParam);
    }
    return reinterpret_cast<T*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

} // namespace pelmit
