// Dialog 1: choose a YM file and an XM file, see the song's details, convert.
#ifndef TOLVERN_WIN_APP_DIALOG_H
#define TOLVERN_WIN_APP_DIALOG_H

#include <windows.h>

namespace tolvern {

INT_PTR CALLBACK AppDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace tolvern

#endif
