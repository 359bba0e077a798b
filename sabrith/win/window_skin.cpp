#include "sabrith/win/window_skin.h"

#include "sabrith/skin/region.h"
#include "sabrith/skin/skin_drawing.h"
#include "sabrith/skin/skin_gizmos.h"

namespace sabrith {

WindowSkin::WindowSkin(HWND host, RegistryBackend& registry, const std::string& pluginPath,
                       FileChooser& chooser)
    : host_(host), skinDialog_(skinFiles, registry, pluginPath, chooser),
      set_(SkinServices{files_, host_, clock_, fonts_, text_, ui_}, allSkinFormats()) {
    set_.skinFileList = &skinDialog_;
}

void WindowSkin::clampWindowSize(int& width, int& height) const {
    int32_t w = width, h = height;
    set_.clampWindowSize(w, h);
    width = w;
    height = h;
}

Size WindowSkin::insetTotals() const {
    int32_t horizontal = 0, vertical = 0;
    set_.getInsetTotals(horizontal, vertical);
    return {horizontal, vertical};
}

Size WindowSkin::insetOrigin() const {
    int32_t left = 0, top = 0;
    set_.getInsetOrigin(left, top);
    return {left, top};
}

std::optional<std::vector<Rect>> WindowSkin::windowShape() const {
    const std::unique_ptr<Region> shape = buildWindowShape(set_);
    if (!shape) return std::nullopt;
    std::vector<Rect> rects;
    for (const RegionRect& r : shape->rects())
        rects.push_back({r.left, r.top, r.right - r.left, r.bottom - r.top});
    return rects;
}

void WindowSkin::drawSkin(DibImage& picture) {
    sabrith::drawSkin(set_, picture);
}

void WindowSkin::setFocusState(DibImage& picture, bool focused) {
    sabrith::setFocusState(set_, picture, focused ? 1 : 0);
}

bool WindowSkin::tick() {
    return skinTick(set_);
}

int WindowSkin::mouseEvent(int event, int x, int y) {
    return skinMouseEvent(set_, x, y, event);
}

} // namespace sabrith
