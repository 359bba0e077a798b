// The window's skin on Windows: a SkinSet with the system's files, fonts,
// text, clock, boxes and the player's answers, behind the window model's
// skin seam.
#pragma once

#include "sabrith/file_dialog.h"
#include "sabrith/frame/skin_seam.h"
#include "sabrith/skin/skin_set.h"
#include "sabrith/win/skin_files.h"
#include "sabrith/win/skin_host_link.h"
#include "sabrith/win/skin_text.h"

#include <windows.h>

namespace sabrith {

class WindowSkin final : public SkinSeam {
public:
    WindowSkin(HWND host, RegistryBackend& registry, const std::string& pluginPath,
               FileChooser& chooser);

    void clampWindowSize(int& width, int& height) const override;
    Size insetTotals() const override;
    bool isResizable() const override { return set_.isResizable() != 0; }
    int loadSkinFile(const std::string& path) override { return set_.loadSkinFile(path); }
    int chooseAndLoadSkin(void* owner) override { return set_.chooseAndLoadSkin(owner); }
    std::string currentSkinPath() const override { return set_.currentSkinPath(); }
    bool isActive() const override { return set_.isActive() != 0; }
    void setActive(bool active) override { set_.setActive(active ? 1 : 0); }
    bool showsEffect() const override { return set_.showsEffect() != 0; }
    Size insetOrigin() const override;
    void setWindowSize(int width, int height) override { set_.setWindowSize(width, height); }
    std::optional<std::vector<Rect>> windowShape() const override;
    void drawSkin(DibImage& picture) override;
    void setFocusState(DibImage& picture, bool focused) override;
    void nextSkin() override { set_.nextSkin(); }
    bool followsPlayerSkins() const override { return set_.checkHostSkinChanges != 0; }
    void setFollowsPlayerSkins(bool follow) override { set_.checkHostSkinChanges = follow ? 1 : 0; }
    bool tick() override;
    int mouseEvent(int event, int x, int y) override;

private:
    WinSkinFiles files_;
    WinHostLink host_;
    WinClock clock_;
    GdiFontFactory fonts_;
    GdiTextRenderer text_;
    WinUi ui_;
    FileDialog skinDialog_;
    SkinSet set_;
};

} // namespace sabrith
