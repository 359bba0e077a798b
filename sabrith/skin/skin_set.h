// One window's skins: everything one skin file defines (its skins, one of
// them current, and the named elements they are built of), the texts the
// file names, and the player status the gizmos show. The readers fill it
// through the builders below; the window asks it for its shape, size limits
// and insets and has it draw (skin_drawing.h); the gizmo code runs its tick
// and mouse events (skin_gizmos.h).
//
// Ownership: the set owns every element; pointers handed out stay valid
// until resetSkins (every load starts with one) or destruction.
#pragma once

#include "sabrith/file_dialog.h"
#include "sabrith/screen_limits.h"
#include "sabrith/settings_store.h"
#include "sabrith/skin/skin_elements.h"
#include "sabrith/skin/skin_services.h"

#include <array>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace sabrith {

class SkinSet;

// One skin file format: a test that decides whether a file is of the
// format, and the reader. The test works on loadSkinFile's own copy of the
// path and may rewrite it (the skin.ini test lower-cases it; the later tests
// and the stored path see the result). The reader starts with resetSkins
// and reads the file named by the set's skinPath.
struct SkinFormat {
    const char* name;
    bool (*accepts)(SkinSet& set, std::string& path);
    void (*read)(SkinSet& set, const std::string& path);
};

extern const SkinFormat tovrelSkinFormat; // ".design"
extern const SkinFormat nerritSkinFormat; // "skin.ini"
extern const SkinFormat ownSkinFormat;    // ".lbs"

// The formats in the order loadSkinFile tries them.
inline std::vector<SkinFormat> allSkinFormats() {
    return {tovrelSkinFormat, nerritSkinFormat, ownSkinFormat};
}

// Profile reads of skin files through the set's FileFinder, so that skins
// held in memory read like skins on disk. The file is parsed once and kept
// until forget() (each load starts with one).
class SkinFileProfile final : public ProfileBackend {
public:
    explicit SkinFileProfile(FileFinder& files) : files_(files) {}
    int32_t getInt(const std::string& file, const std::string& section, const std::string& key,
                   int32_t fallback) override;
    std::string getString(const std::string& file, const std::string& section,
                          const std::string& key, const std::string& fallback,
                          std::size_t capacity) override;
    std::size_t sectionEntries(const std::string& file, const std::string& section) override;
    // Skins are only read.
    void writeString(const std::string&, const std::string&, const std::string&,
                     const std::string&) override {}
    void forget();

private:
    const ProfileDocument& document(const std::string& file);
    FileFinder& files_;
    std::string path_;
    bool loaded_ = false;
    ProfileDocument document_;
};

// All the pixels one skin file may hold at once (its images, bitmaps and
// text strips): two of the largest screens. Together with the window's two
// images (window_geometry.h) a skin can make the plug-in hold no more than
// four screens' worth.
constexpr int64_t maxSkinPixelsHeld = 2 * maxScreenPixels;

// No screen shows a line of text taller than this: a font asked for at a
// larger height (the system would draw its glyphs at that size) is not made.
constexpr int maxSkinFontHeight = 1024;

// Bitmap-font cell (column, row) of each character code.
struct GlyphCell {
    uint8_t column = 29;
    uint8_t row = 0;
};
using GlyphMap = std::array<GlyphCell, 256>;
GlyphMap buildGlyphMap();

class SkinSet {
    // First, so that they exist before the reader that uses them.
    std::vector<SkinFormat> formats_;
    SkinFileProfile profile_;
    MemoryRegistry noRegistry_;

public:
    SkinSet(const SkinServices& services, std::vector<SkinFormat> formats);
    ~SkinSet();
    SkinSet(const SkinSet&) = delete;
    SkinSet& operator=(const SkinSet&) = delete;

    SkinServices services;

    std::string skinPath; // at most 511 characters; empty when none
    std::string skinName, designerName, designerContact, description;
    std::string hostSkinFolder; // the player's skin folder last looked at
    int32_t ownFormat = 0;
    int32_t active = 0;
    int32_t checkHostSkinChanges = 1;
    int32_t focusState = 1;
    uint32_t lastGizmoRefresh = 0;
    int32_t windowWidth = 0, windowHeight = 0;
    // Pixels the loaded skin's images, bitmaps and text strips hold, kept
    // within the budget (skin_pixels.h); 0 again with each load.
    int64_t pixelsHeld = 0;
    int64_t pixelBudget = maxSkinPixelsHeld;
    // The skin file dialog, when the window gives one.
    FileDialog* skinFileList = nullptr;
    // Reads the skin file (file mode; default section "Lumbrin Skin").
    SettingsStore skinReader;

    std::vector<Skin*> skins; // a skin named twice appears twice
    Skin* currentSkin = nullptr;

    // The player's status as the track text last saw it.
    int32_t playPositionMs = 0, songLengthS = 0, listPosition = 0, listLength = 0;
    // Ticks since the status was last asked for on a skin whose track text
    // does not ask for it.
    int32_t statusPollCount = 0;
    const GlyphMap glyphMap;

    // Element table. Lookup compares names exactly, case included.
    SkinElement* findElement(std::string_view name) const;
    // New elements under a free, non-empty name; nullptr otherwise.
    Skin* createSkin(std::string_view name);
    SkinImage* createImage(std::string_view name);
    SkinFont* createFont(std::string_view name);
    Gizmo* createGizmo(std::string_view name);
    // The bitmap of that name, made when the name is free; nullptr when the
    // name is empty or another kind's.
    SkinBitmap* findOrCreateBitmap(std::string_view name);
    // A system font for a skin's text; none past maxSkinFontHeight (either
    // sign: negative heights ask for the character height) or when the
    // system makes none.
    std::unique_ptr<SystemFont> createSystemFont(const FontRequest& request);
    // Removes a half-made element without a trace (nothing may point at it).
    void discardElement(SkinElement* element);
    // Newest first.
    const std::list<std::unique_ptr<SkinElement>>& elementList() const { return elements_; }

    void appendSkin(Skin* skin);
    void appendImageSlot(SkinImage* image, Skin* skin);
    void appendGizmo(Gizmo* gizmo, SkinImage* image);

    // Releases every element and skin; empties the texts; ownFormat 0.
    void resetSkins();
    // 1 when one of the formats took the file (the old skin is then gone),
    // 0 when none did (nothing changed).
    int loadSkinFile(const std::string& path);
    // 0 without a dialog or when nothing was chosen.
    int chooseAndLoadSkin(void* owner);

    void setWindowSize(int32_t width, int32_t height);
    int showsEffect() const;
    int isResizable() const;
    void getInsetTotals(int32_t& horizontal, int32_t& vertical) const;
    void getInsetOrigin(int32_t& left, int32_t& top) const;
    void clampWindowSize(int32_t& width, int32_t& height) const;
    int isActive() const { return active && currentSkin ? 1 : 0; }
    void setActive(int32_t flag);
    void nextSkin();
    std::string currentSkinPath() const;

private:
    template <class Record>
    Record* create(std::string_view name);

    std::list<std::unique_ptr<SkinElement>> elements_;
    std::unordered_map<std::string, std::list<std::unique_ptr<SkinElement>>::iterator> index_;
};

// The path up to and including its last separator; empty when it has none.
std::string directoryOf(std::string_view path);

} // namespace sabrith
