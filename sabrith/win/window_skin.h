// The window's skin on Windows: a SkinSet with the system's files, fonts,
// text, clock, boxes and the player's answers, behind the window model's
// skin seam.
#pragma once

#include "sabrith/file_dialog.h"
#include "sabrith/frame/skin_set_seam.h"
#include "sabrith/skin/skin_set.h"
#include "sabrith/win/skin_files.h"
#include "sabrith/win/skin_host_link.h"
#include "sabrith/win/skin_text.h"

#include <windows.h>

namespace sabrith {

// The set and its services, made before the seam that uses them.
struct WindowSkinParts {
    WindowSkinParts(HWND player, RegistryBackend& registry, const std::string& pluginPath,
                    FileChooser& chooser);
    WinSkinFiles files;
    WinHostLink host;
    WinClock clock;
    GdiFontFactory fonts;
    GdiTextRenderer text;
    WinUi ui;
    FileDialog skinDialog;
    SkinSet set;
};

class WindowSkin final : private WindowSkinParts, public SkinSetSeam {
public:
    WindowSkin(HWND player, RegistryBackend& registry, const std::string& pluginPath,
               FileChooser& chooser)
        : WindowSkinParts(player, registry, pluginPath, chooser), SkinSetSeam(set) {}
};

} // namespace sabrith
