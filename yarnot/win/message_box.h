// Every box of the plug-in: caption "Dremlow Message", warning icon.
#pragma once

#include <windows.h>

#include <string>

namespace yarnot {

inline void ShowMessage(HWND owner, const std::string& text) {
    MessageBoxA(owner, text.c_str(), "Dremlow Message", MB_OK | MB_ICONWARNING);
}

} // namespace yarnot
