// The visualization window's state and rules, apart from Win32: settings,
// the spectrum levels, the effect and its rectangle, the two images and
// their swap, the idle timer, the skin's place in the frame, placement and
// docking, the menu, keys, mouse, drops, presets and shutdown. The window
// procedure turns messages into calls of this class; everything it needs of
// the world goes through `Platform`, the skin through `SkinSeam`.
//
// Use: build it (reads the settings, makes the effect), create() the window,
// then renderFrame() for each host frame and timer() for each tick; close()
// writes the settings and tears the window down (stopModule).
//
// Threads: everything runs on the window's thread, with two exceptions:
// setLinAmp may be called straight from the property sheet's thread (it
// writes single words that frames read whole), and the docking hook reads
// dockTarget() on the player's thread. Everything else the sheet changes
// goes through the window's thread, the effect's Blur, Fade and DropOff
// too: the menu may replace the effect while the sheet is open.
#pragma once

#include "sabrith/effect.h"
#include "sabrith/file_dialog.h"
#include "sabrith/frame/drop_table.h"
#include "sabrith/frame/platform.h"
#include "sabrith/frame/skin_seam.h"
#include "sabrith/frame/band_levels.h"
#include "sabrith/frame/window_settings.h"
#include "sabrith/geometry/display_mode.h"
#include "sabrith/geometry/window_geometry.h"
#include "sabrith/settings_store.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace sabrith {

struct WindowContext {
    Platform& platform;
    SkinSeam& skin;
    RegistryBackend& registry;
    ProfileBackend& profile;
    FileChooser& chooser;
    std::string pluginPath; // the plug-in file, for the presets' default folder
};

constexpr int noEffect = 0;
constexpr int fountainsEffect = 1;
constexpr int barsEffect = 2;
constexpr int flameEffect = 3;

// Host frames reset the count; from this many quiet ticks on, every tick
// draws a frame without fresh data.
constexpr int idleTicksBeforeFrames = 10;
constexpr int idleTimer = 1;
constexpr int skinTimer = 2;

class WindowModel {
public:
    explicit WindowModel(WindowContext context);
    ~WindowModel();
    WindowModel(const WindowModel&) = delete;
    WindowModel& operator=(const WindowModel&) = delete;

    void create();
    void close();

    // Host frames (rows = the host's 2 x 576 spectrum bytes) and idle frames.
    void renderFrame(SpectrumBytes rows);
    void timer(int id);

    // Window messages.
    void onSize(int width, int height);
    const DibImage& onPaint();
    void onFocus(bool gained);
    void onDestroy();
    void onKey(bool down, uintptr_t wParam, intptr_t lParam);
    void onMouseMove(int x, int y);
    void onLeftDown(int x, int y);
    void onLeftUp(int x, int y);
    void onRightDown(int x, int y);
    void onTray(int mouseMessage);
    void onDrop(const std::vector<std::string>& paths);
    void command(int id);
    void action(int code);

    // Docking: the hook's rectangle for the dock target, followed here.
    void followDockTarget(Rect target);
    // Read by the docking hook on the player's thread.
    int dockTarget() const { return dockTarget_.load(std::memory_order_relaxed); }

    // What the property sheet reads and changes.
    void setLinAmp(int linAmp);
    int linAmp() const { return linAmp_.load(std::memory_order_relaxed); }
    const GainTable& gain() const { return gain_; }
    // The effect's trail values as the sheet shows them (Blur 0, Fade 1,
    // DropOff 2000 with no effect); with no effect a change is dropped.
    int blur() const { return effect_ ? effect_->blur : 0; }
    int fade() const { return effect_ ? effect_->fade : 1; }
    int dropOff() const { return effect_ ? effect_->dropOff : defaultDecay; }
    void setBlur(int blur);
    void setFade(int fade);
    void setDropOff(int dropOff);
    void applyOnTop(int onTop);
    DisplayMode displayMode() const { return resolution_; }
    const DisplayModeList& displayModes() const { return displayModes_; }
    // The Display page's combo box: the row of the current mode (-1 none),
    // and a chosen row taken for the next switch to full screen.
    int displayModeRow() const { return sabrith::displayModeRow(displayModes_, resolution_); }
    void chooseDisplayModeRow(int row);
    void setUseSkin(bool use);
    // "Check for Jukora Skin Changes": the skin timer follows the player's
    // skin folder.
    bool followsPlayerSkins() const { return skin_.followsPlayerSkins(); }
    void setFollowsPlayerSkins(bool follow) { skin_.setFollowsPlayerSkins(follow); }
    void loadSkin(const std::string& path);
    void chooseSkin(void* owner);
    void loadPresetFile(const std::string& path);
    void selectEffect(int id);
    void refresh();

    MenuState menuState() const;
    std::string aboutText() const;

    int effectId() const { return effectId_; }
    Effect* effect() const { return effect_.get(); }
    int mode() const { return modeState_.mode; }
    int onTop() const { return modeState_.onTop; }
    Rect windowRect() const { return rect_; }
    Rect freeRect() const { return free_; }
    int dragZone() const { return dragZone_; }
    int idleTicks() const { return idleTicks_; }
    bool running() const { return running_; }
    const LevelRows& levels() const { return levels_; }
    DibImage& backImage() { return *back_; }
    DibImage& frontImage() { return *front_; }
    uint32_t framesDrawn() const { return frames_; }

private:
    void frame(const uint8_t* rows);
    void present(FrameView& view);
    void blit();
    Size imageSize() const;
    void resizeImages();
    void setMode(int mode);
    void openSheet();
    void layOutForMode();
    // skinChanged: a new skin (or none) needs laying out even at the same size.
    void placeWindow(Rect requested, bool skinChanged = false);
    void sizeSkin();
    void startDrag(int zone);
    void dispatchDrop(DropAction action, const std::string& path);
    WindowSettings currentSettings() const;

    Platform& platform_;
    SkinSeam& skin_;
    SettingsStore store_;
    FileDialog presets_;
    CrtRandom random_;
    std::unique_ptr<DibImage> back_;
    std::unique_ptr<DibImage> front_;
    std::unique_ptr<Effect> effect_;
    int effectId_ = noEffect;
    DropTable drops_ = DropTable::standard();

    Rect rect_;
    Rect free_;
    Rect dragStart_;
    Point dragCursor_;
    int dragZone_ = 0;
    std::atomic<int> dockTarget_{-1};
    SnapState snap_;
    ModeState modeState_;
    DisplayMode resolution_;
    DisplayModeList displayModes_;

    std::atomic<int> linAmp_{75};
    GainTable gain_;
    LevelRows levels_{};
    uint32_t frames_ = 0;
    double drawMs_ = 0;
    int idleTicks_ = 0;
    bool created_ = false;      // the window was made: close() tears it down
    bool windowExists_ = false; // ... and is not destroyed yet
    bool running_ = false;
    bool closed_ = false; // close() ran or runs: a destroy now is stopModule's
};

} // namespace sabrith
