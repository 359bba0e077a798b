// The skin set behind the window model's seam: the set's own calls in the
// seam's shape (sizes, insets, the window's shape as rectangles, drawing,
// ticks and mouse events). The set and its services belong to the owner:
// the system's services on Windows, fakes in the benchmark.
#pragma once

#include "sabrith/frame/skin_seam.h"
#include "sabrith/skin/skin_set.h"

namespace sabrith {

class SkinSetSeam : public SkinSeam {
public:
    // Only kept: `set` may still be under construction.
    explicit SkinSetSeam(SkinSet& set) : set_(set) {}

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
    SkinSet& set_;
};

} // namespace sabrith
