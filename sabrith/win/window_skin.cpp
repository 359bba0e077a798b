#include "sabrith/win/window_skin.h"

namespace sabrith {

WindowSkinParts::WindowSkinParts(HWND player, RegistryBackend& registry,
                                 const std::string& pluginPath, FileChooser& chooser)
    : host(player), skinDialog(skinFiles, registry, pluginPath, chooser),
      set(SkinServices{files, host, clock, fonts, text, ui}, allSkinFormats()) {
    set.skinFileList = &skinDialog;
}

} // namespace sabrith
