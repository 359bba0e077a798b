// What the window model asks of its skin: loading, the switch "Use Skin",
// the room the effect gets, the window's size limits and shape, drawing over
// the picture, and the gizmos' ticks and mouse events. The skin set is wired
// in behind this; `NoSkin` is the window without one.
#pragma once

#include "sabrith/dib_image.h"
#include "sabrith/geometry/window_geometry.h"

#include <optional>
#include <string>
#include <vector>

namespace sabrith {

class SkinSeam : public SkinSizing {
public:
    // 1 when a reader took the file (the old skin survives only a refused one).
    virtual int loadSkinFile(const std::string& path) = 0;
    // Through the skins' own open dialog; 0 when nothing was chosen.
    virtual int chooseAndLoadSkin(void* owner) = 0;
    virtual std::string currentSkinPath() const = 0;
    virtual bool isActive() const = 0;
    virtual void setActive(bool active) = 0;
    // False for a skin of a foreign format: then the timer draws the window.
    virtual bool showsEffect() const = 0;
    // Left and top inset (w = left, h = top); 0, 0 with no active skin.
    virtual Size insetOrigin() const = 0;
    virtual void setWindowSize(int width, int height) = 0;
    // The window's region as rectangles; none keeps the window rectangular.
    virtual std::optional<std::vector<Rect>> windowShape() const = 0;
    virtual void drawSkin(DibImage& picture) = 0;
    virtual void setFocusState(DibImage& picture, bool focused) = 0;
    virtual void nextSkin() = 0;
    // Whether a skin put into the player's skin folder replaces this one.
    virtual bool followsPlayerSkins() const = 0;
    virtual void setFollowsPlayerSkins(bool follow) = 0;
    // True when the tick took a new skin from the player's skin folder: the
    // window then needs the new skin's size and shape.
    virtual bool tick() = 0;
    // Event 0 move, 1 button down, 2 button up, at a client point; the
    // result is an action code (0 none; 100, 101 taken by the skin).
    virtual int mouseEvent(int event, int x, int y) = 0;
};

class NoSkin final : public SkinSeam {
public:
    void clampWindowSize(int&, int&) const override {}
    Size insetTotals() const override { return {}; }
    bool isResizable() const override { return true; }
    int loadSkinFile(const std::string&) override { return 0; }
    int chooseAndLoadSkin(void*) override { return 0; }
    std::string currentSkinPath() const override { return {}; }
    bool isActive() const override { return false; }
    void setActive(bool) override {}
    bool showsEffect() const override { return true; }
    Size insetOrigin() const override { return {}; }
    void setWindowSize(int, int) override {}
    std::optional<std::vector<Rect>> windowShape() const override { return std::nullopt; }
    void drawSkin(DibImage&) override {}
    void setFocusState(DibImage&, bool) override {}
    void nextSkin() override {}
    bool followsPlayerSkins() const override { return false; }
    void setFollowsPlayerSkins(bool) override {}
    bool tick() override { return false; }
    int mouseEvent(int, int, int) override { return 0; }
};

} // namespace sabrith
