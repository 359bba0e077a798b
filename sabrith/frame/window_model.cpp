#include "sabrith/frame/window_model.h"

#include "sabrith/flame_effect.h"
#include "sabrith/frame/frame_picture.h"
#include "sabrith/frame/window_ids.h"
#include "sabrith/frame/window_input.h"
#include "sabrith/frequency_effect.h"
#include "sabrith/fyre_effect.h"

#include <climits>
#include <cstdio>
#include <exception>

namespace sabrith {

namespace {

// Recover puts the window back where a first start puts it.
constexpr Rect recoverRect{50, 50, 275, 116};

std::unique_ptr<Effect> makeEffect(int id, EffectContext context) {
    switch (id) {
    case fountainsEffect: return std::make_unique<FyreEffect>(context);
    case barsEffect: return std::make_unique<FrequencyEffect>(context);
    case flameEffect: return std::make_unique<FlameEffect>(context);
    default: return nullptr;
    }
}

} // namespace

WindowModel::WindowModel(WindowContext context)
    : platform_(context.platform), skin_(context.skin),
      store_("Lumbrin", context.registry, context.profile),
      presets_(presetFiles, context.registry, context.pluginPath, context.chooser),
      back_(std::make_unique<DibImage>("Unknown", platform_.pixelStorage())),
      front_(std::make_unique<DibImage>("Unknown", platform_.pixelStorage())) {
    WindowSettings settings;
    readWindowSettings(store_, settings);
    free_ = {settings.freeLeft, settings.freeTop, settings.freeWidth, settings.freeHeight};
    rect_ = free_;
    modeState_ = {windowMode, settings.onTop};
    resolution_ = {settings.xRes, settings.yRes, settings.bpp};
    linAmp_.store(settings.linAmp, std::memory_order_relaxed);
    selectEffect(settings.module);
    buildGain(gain_, settings.linAmp);
    const std::vector<OfferedMode> offered = platform_.offeredDisplayModes();
    displayModes_ = filterDisplayModes(offered, resolution_);
}

WindowModel::~WindowModel() {
    close();
}

void WindowModel::create() {
    const Size size = applySizeRule({free_.w, free_.h}, false, platform_.screenSize(), skin_);
    rect_ = {free_.x, free_.y, size.w, size.h};
    created_ = windowExists_ = platform_.createWindow(rect_);
    if (created_) {
        setMode(modeState_.mode);
        platform_.startWindow();
        running_ = true;
    }
    const std::string skin = readSkinSetting(store_);
    if (!skin.empty()) loadSkin(skin);
}

void WindowModel::close() {
    if (closed_) return;
    closed_ = true;
    writeWindowSettings(store_, skin_.currentSkinPath(), currentSettings());
    if (modeState_.mode == fullScreenMode) {
        platform_.leaveFullScreen();
        modeState_.mode = windowMode;
    }
    // Also after a destroy from elsewhere: the timers, tray icon, hook and
    // class still go.
    if (created_) platform_.destroyWindow();
    created_ = windowExists_ = false;
    running_ = false;
    // The effect writes its own section as it goes.
    effect_.reset();
}

WindowSettings WindowModel::currentSettings() const {
    WindowSettings s;
    s.freeTop = free_.y;
    s.freeLeft = free_.x;
    s.freeWidth = free_.w;
    s.freeHeight = free_.h;
    s.onTop = modeState_.onTop;
    s.xRes = resolution_.width;
    s.yRes = resolution_.height;
    s.bpp = resolution_.bitsPerPixel;
    s.linAmp = linAmp();
    s.module = effectId_;
    return s;
}

// ---- frames ----

void WindowModel::renderFrame(SpectrumBytes rows) {
    frame(rows.data());
}

void WindowModel::timer(int id) {
    if (id == idleTimer) {
        if (idleTicks_ < INT_MAX) ++idleTicks_;
        if (idleTicks_ >= idleTicksBeforeFrames) frame(nullptr);
    } else if (id == skinTimer) {
        // A skin taken from the player's folder brings its own size limits
        // and shape, which the window takes at once, not at its next resize.
        if (skin_.tick()) refresh();
        if (!skin_.showsEffect()) {
            // A foreign skin shows no effect: the timer alone draws the window.
            front_->blit(0, 0, rect_.w, rect_.h, *back_, 0, 0, BlitMode::copy);
            skin_.drawSkin(*front_);
            blit();
        }
    }
}

void WindowModel::frame(const uint8_t* rows) {
    if (rows) idleTicks_ = 0;
    if (!skin_.showsEffect()) return;
    const double start = platform_.nowMs();
    const Rect area =
        effectRect({back_->width(), back_->height()}, skin_.insetOrigin(), skin_.insetTotals());
    FrameView view{area.x, area.y, area.w, area.h};
    if (back_->lockView(view)) {
        smoothLevels(levels_, rows, gain_, dropOff());
        if (effect_) effect_->render(levels_, view);
        present(view);
    }
    drawMs_ += platform_.nowMs() - start;
    ++frames_;
}

void WindowModel::present(FrameView& view) {
    // No blit while the images are half made: a message sent to the window
    // meanwhile (a skin's query of the player waits in SendMessage) must not
    // show them.
    const bool wasRunning = running_;
    running_ = false;
    const bool copied = copyWithTrails(*back_, *front_, trailCopyFor(effect_.get()));
    back_->unlockView(view);
    if (!copied) {
        // The images differ in size (a resize refused while locked, or one
        // that failed): bring both to the window's size and skip this frame.
        resizeImages();
        running_ = wasRunning;
        return;
    }
    // The faded copy becomes the picture the next frame draws on.
    std::swap(back_, front_);
    skin_.drawSkin(*front_);
    running_ = wasRunning;
    blit();
}

void WindowModel::blit() {
    if (!running_) return;
    const Size size = imageSize();
    platform_.present(*front_, size.w, size.h, modeState_.mode == fullScreenMode);
}

Size WindowModel::imageSize() const {
    if (modeState_.mode == fullScreenMode) return {resolution_.width, resolution_.height};
    return {rect_.w, rect_.h};
}

void WindowModel::resizeImages() {
    const Size size = imageSize();
    back_->resize(size.w, size.h);
    front_->resize(size.w, size.h);
}

void WindowModel::refresh() {
    if (!windowExists_) return;
    if (running_) placeWindow(rect_, true);
    resizeImages();
    skin_.drawSkin(*front_);
    blit();
}

// ---- placement and modes ----

// Exclusive full screen and the property sheet never stand side by side.
// The sheet lives on a thread of its own; while the display is held
// exclusively, every change of the active window between the sheet and this
// window makes the display (DirectDraw) give the mode back or take it again,
// inside the activation that the closing sheet hands to this window. That
// change waits on the sheet's thread, which is busy closing the sheet and
// waits on this one: now and then neither moves again. So the display's mode
// only ever changes here, on the window's thread, outside any activation
// and with no sheet open: Properties leaves full screen before the sheet's
// thread starts, and going full screen closes an open sheet first (its
// changes are live and stay).
void WindowModel::openSheet() {
    if (modeState_.mode == fullScreenMode) setMode(windowMode);
    platform_.openSheet();
}

void WindowModel::setMode(int mode) {
    if (mode == fullScreenMode) platform_.closeSheet();
    switchMode(modeState_, mode, resolution_, platform_);
    dockTarget_.store(-1, std::memory_order_relaxed);
    layOutForMode();
    // Window mode snaps and moves there; full screen only moves.
    if (modeState_.mode == windowMode)
        placeWindow(rect_);
    else
        platform_.moveWindow(rect_);
}

void WindowModel::layOutForMode() {
    const bool full = modeState_.mode == fullScreenMode;
    const Size screen = platform_.screenSize();
    const Rect from = full ? Rect{0, 0, screen.w, screen.h} : free_;
    const Size size = applySizeRule({from.w, from.h}, full, screen, skin_);
    rect_ = {from.x, from.y, size.w, size.h};
    sizeSkin();
    resizeImages();
}

void WindowModel::sizeSkin() {
    skin_.setWindowSize(rect_.w, rect_.h);
    platform_.setWindowShape(skin_.windowShape());
}

void WindowModel::placeWindow(Rect requested, bool skinChanged) {
    if (modeState_.mode == fullScreenMode) return;
    const Size size =
        applySizeRule({requested.w, requested.h}, false, platform_.screenSize(), skin_);
    DockCandidates candidates;
    for (int i = 0; i < dockCandidateCount; ++i)
        candidates[std::size_t(i)] = platform_.dockCandidate(i);
    const Placement placed =
        snapToCandidates({requested.x, requested.y, size.w, size.h}, candidates);
    dockTarget_.store(placed.dockTarget, std::memory_order_relaxed);
    snap_ = placed.snap;
    // The skin's layout and the window's region depend on the size alone:
    // a move (each mouse move of a drag) keeps them.
    const bool resized = placed.rect.w != rect_.w || placed.rect.h != rect_.h;
    rect_ = free_ = placed.rect;
    if (resized || skinChanged) sizeSkin();
    platform_.moveWindow(rect_);
}

void WindowModel::followDockTarget(Rect target) {
    if (modeState_.mode == fullScreenMode || dockTarget() < 0) return;
    rect_ = followTarget(rect_, snap_, target);
    skin_.setWindowSize(rect_.w, rect_.h);
    platform_.moveWindow(rect_);
}

void WindowModel::applyOnTop(int onTop) {
    sabrith::applyOnTop(modeState_, onTop, platform_);
}

// ---- window messages ----

void WindowModel::onSize(int width, int height) {
    const Size size = modeState_.mode == fullScreenMode
                          ? Size{resolution_.width, resolution_.height}
                          : Size{width, height};
    back_->resize(size.w, size.h);
    front_->resize(size.w, size.h);
    skin_.drawSkin(*front_);
    blit();
}

const DibImage& WindowModel::onPaint() {
    skin_.drawSkin(*front_);
    return *front_;
}

void WindowModel::onFocus(bool gained) {
    skin_.setFocusState(*front_, gained);
    blit();
    if (!gained) dragZone_ = 0;
}

void WindowModel::onDestroy() {
    dragZone_ = 0;
    if (modeState_.mode == windowMode) free_ = rect_;
    // Only the user's quit ends the host's loop; stopModule's own teardown
    // must not leave a stray quit for a host that runs further sessions.
    if (!closed_) platform_.postQuit();
    windowExists_ = false;
    running_ = false;
}

void WindowModel::onKey(bool down, uintptr_t wParam, intptr_t lParam) {
    switch (keyEffect(down, uint32_t(wParam))) {
    case KeyEffect::forward: platform_.forwardKey(down, wParam, lParam); break;
    case KeyEffect::consume: break;
    case KeyEffect::quit: platform_.postQuit(); break;
    case KeyEffect::toggleFullScreen:
        setMode(modeState_.mode == windowMode ? fullScreenMode : windowMode);
        break;
    case KeyEffect::nextSkin:
        skin_.nextSkin();
        refresh();
        break;
    }
}

void WindowModel::startDrag(int zone) {
    platform_.captureMouse();
    dragCursor_ = platform_.cursorPos();
    dragStart_ = rect_;
    dragZone_ = zone;
    if (skin_.isResizable()) platform_.setCursor(zoneCursor(zone));
}

void WindowModel::onMouseMove(int x, int y) {
    skin_.mouseEvent(0, x, y);
    blit();
    if (dragZone_ != 0) {
        const Point cursor = platform_.cursorPos();
        const Rect wanted = dragRect(dragZone_, dragStart_, rect_, cursor.x - dragCursor_.x,
                                     cursor.y - dragCursor_.y);
        if (wanted != rect_) placeWindow(wanted);
    } else if (modeState_.mode == windowMode) {
        platform_.setCursor(skin_.isResizable() ? zoneCursor(zoneAt(x, y, rect_.w, rect_.h))
                                                : CursorKind::arrow);
    }
}

void WindowModel::onLeftDown(int x, int y) {
    const int zone = zoneAt(x, y, rect_.w, rect_.h);
    if (zone == bodyZone) {
        const int result = skin_.mouseEvent(1, x, y);
        blit();
        // The skin took the press (a button, a bar): no drag.
        if (result != 0) {
            action(result);
            return;
        }
    }
    if (modeState_.mode == windowMode) startDrag(zone);
}

void WindowModel::onLeftUp(int x, int y) {
    const int result = skin_.mouseEvent(2, x, y);
    if (result != 0) action(result);
    blit();
    if (dragZone_ != 0) {
        dragZone_ = 0;
        platform_.releaseMouse();
    }
}

void WindowModel::onRightDown(int x, int y) {
    if (modeState_.mode == windowMode) platform_.showMenu(menuState(), false, {x, y});
}

void WindowModel::onTray(int mouseMessage) {
    if (mouseMessage == TRAY_LEFT_DOWN) platform_.restoreFromTray();
    if (mouseMessage == TRAY_RIGHT_DOWN) platform_.showMenu(menuState(), true, {});
}

void WindowModel::onDrop(const std::vector<std::string>& paths) {
    for (const std::string& path : paths)
        if (const std::optional<DropAction> action = drops_.match(path))
            dispatchDrop(*action, path);
}

void WindowModel::dispatchDrop(DropAction action, const std::string& path) {
    switch (action) {
    case DropAction::loadSkin: loadSkin(path); break;
    case DropAction::loadPreset: loadPresetFile(path); break;
    case DropAction::feedPlayer: platform_.feedDroppedFile(path); break;
    }
}

// ---- menu, actions, effects, presets, skins ----

MenuState WindowModel::menuState() const {
    MenuState state;
    state.effectItem = effectId_ == barsEffect        ? IDM_BARS
                       : effectId_ == fountainsEffect ? IDM_FOUNTAINS
                       : effectId_ == flameEffect     ? IDM_FLAME
                                                      : 0;
    const bool windowed = modeState_.mode == windowMode;
    state.windowed = windowed;
    state.onTopEnabled = windowed;
    state.onTopChecked = windowed && modeState_.onTop == 1;
    state.useSkinChecked = skin_.isActive();
    return state;
}

std::string WindowModel::aboutText() const {
    const double ms = drawMs_ <= 0 ? 1.0 : drawMs_;
    char text[64];
    std::snprintf(text, sizeof text, "FPS: %f", double(frames_) * 1000.0 / ms);
    return text;
}

void WindowModel::command(int id) {
    switch (id) {
    case IDM_EXIT: platform_.postQuit(); break;
    case IDM_PROPERTIES: openSheet(); break;
    case IDM_ABOUT: platform_.openAbout(aboutText()); break;
    case IDM_CLEAR:
        back_->clear();
        front_->clear();
        blit();
        break;
    case IDM_FULL_SCREEN: setMode(fullScreenMode); break;
    case IDM_ON_TOP: applyOnTop(modeState_.onTop ? 0 : 1); break;
    case IDM_LOAD_PRESET: {
        std::string path;
        if (presets_.openFile(platform_.windowHandle(), path)) loadPresetFile(path);
        break;
    }
    case IDM_SAVE_PRESET:
        if (effect_) effect_->savePreset(platform_.windowHandle());
        break;
    case IDM_WINDOWED: setMode(windowMode); break;
    case IDM_USE_SKIN: setUseSkin(!skin_.isActive()); break;
    case IDM_BARS: selectEffect(barsEffect); break;
    case IDM_FOUNTAINS: selectEffect(fountainsEffect); break;
    case IDM_FLAME: selectEffect(flameEffect); break;
    case IDM_LOAD_SKIN: chooseSkin(platform_.windowHandle()); break;
    case IDM_RECOVER:
        if (modeState_.mode == windowMode) placeWindow(recoverRect);
        break;
    default: break;
    }
}

void WindowModel::action(int code) {
    const ButtonAction button = buttonAction(code);
    switch (button.kind) {
    case ActionKind::command: platform_.sendPlayerCommand(button.command); break;
    case ActionKind::quit: platform_.postQuit(); break;
    case ActionKind::about: platform_.openAbout(aboutText()); break;
    case ActionKind::minimize: platform_.minimizeToTray(); break;
    case ActionKind::none: break;
    }
}

void WindowModel::selectEffect(int id) {
    // The old effect writes its settings before the new one reads them.
    effect_.reset();
    effectId_ = noEffect;
    if (id < fountainsEffect || id > flameEffect) return;
    try {
        effect_ = makeEffect(id, EffectContext{store_, &presets_, &random_});
    } catch (const std::exception&) {
        // The menu still shows the effect as current; frames draw nothing.
        effect_.reset();
    }
    effectId_ = id;
}

void WindowModel::loadPresetFile(const std::string& path) {
    static constexpr struct {
        const char* section;
        int effect;
    } kinds[] = {{FrequencyEffect::section, barsEffect},
                 {FyreEffect::section, fountainsEffect},
                 {FlameEffect::section, flameEffect}};
    for (const auto& kind : kinds) {
        if (!store_.sectionExists(path.c_str(), kind.section)) continue;
        selectEffect(kind.effect);
        if (effect_) effect_->loadSettings(path.c_str());
        break;
    }
    refresh();
}

void WindowModel::setLinAmp(int linAmp) {
    const int value = std::clamp(linAmp, minLinAmp, maxLinAmp);
    linAmp_.store(value, std::memory_order_relaxed);
    buildGain(gain_, value);
}

void WindowModel::setBlur(int blur) {
    if (effect_) effect_->blur = blur ? 1 : 0;
}

void WindowModel::setFade(int fade) {
    if (effect_) effect_->fade = std::clamp(fade, 0, 130);
}

void WindowModel::setDropOff(int dropOff) {
    if (effect_) effect_->dropOff = std::clamp(dropOff, 0, 2000);
}

void WindowModel::chooseDisplayModeRow(int row) {
    if (row >= 0 && row < int(displayModes_.rows.size()))
        resolution_ = displayModes_.rows[std::size_t(row)];
}

void WindowModel::setUseSkin(bool use) {
    skin_.setActive(use);
    refresh();
}

void WindowModel::loadSkin(const std::string& path) {
    skin_.loadSkinFile(path);
    refresh();
}

void WindowModel::chooseSkin(void* owner) {
    skin_.chooseAndLoadSkin(owner);
    refresh();
}

} // namespace sabrith
