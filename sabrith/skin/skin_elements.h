// The records a skin file is made of. Each is a named element of the skin
// set's element table, which owns it; records point at each other (an image
// at the images its events switch to, a gizmo at its font) by plain pointers
// that stay valid until the set is reset.
#pragma once

#include "sabrith/dib_image.h"
#include "sabrith/skin/skin_services.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sabrith {

class Region; // the span region of the shape code
class SkinSet;

enum class ElementKind { skin = 1, bitmap = 2, font = 3, image = 4, gizmo = 5 };

// Element names are kept to 63 characters, the size the files give them.
constexpr std::size_t maxElementName = 63;

struct SkinElement {
    SkinElement(std::string name, ElementKind kind) : name(std::move(name)), kind(kind) {}
    virtual ~SkinElement() = default;
    std::string name;
    ElementKind kind;
};

struct SkinImage;
struct Gizmo;

// A place on the window where one of a chain of images is shown.
struct ImageSlot {
    SkinImage* shownImage = nullptr;
    SkinImage* pendingImage = nullptr;
    uint32_t switchTime = 0; // tick count of the pending switch; 0: none
};

struct Skin final : SkinElement {
    explicit Skin(std::string name) : SkinElement(std::move(name), ElementKind::skin) {}
    std::vector<ImageSlot> images; // drawn in order, later over earlier
    int32_t leftInset = 0, topInset = 0, rightInset = 0, bottomInset = 0;
    int32_t minWidth = 0, minHeight = 0, maxWidth = 0, maxHeight = 0; // max 0: none
};

struct SkinBitmap final : SkinElement {
    explicit SkinBitmap(std::string name);
    std::string filePath; // empty until the bitmap's file is known
    DibImage pixels{"Graphic"};
};

struct SkinFont final : SkinElement {
    explicit SkinFont(std::string name) : SkinElement(std::move(name), ElementKind::font) {}
    SkinImage* glyphImage = nullptr; // bitmap fonts: the glyph cells
    int32_t fontKind = 0;            // 0 bitmap font, 1 system font
    std::string faceName;
    std::unique_ptr<SystemFont> fontHandle;
    int32_t charWidth = 5, charHeight = 6;
    uint32_t textColour = 0xFFFFFF, backColour = 0; // Windows colour values
};

// The events an image reacts to, in the order of the file's keys.
enum SkinEvent {
    onMouseEnter,
    onMouseExit,
    onMouseDown,
    onMouseUp,
    onGainFocus,
    onLoseFocus,
    onTime,
    skinEventCount
};

enum ImageAlign { alignStart = 0, alignMiddle = 1, alignEnd = 2 };
enum TileMode { tileNone = 0, tileHorizontal = 1, tileVertical = 2 };

struct SkinImage final : SkinElement {
    explicit SkinImage(std::string name);
    std::string bitmapName, alphaBitmapName;
    int32_t offsetX = 0, offsetY = 0; // from the aligned edge
    int32_t sourceX = 0, sourceY = 0; // cut-out corner in the bitmap
    int32_t width = 0, height = 0;    // one tile
    int32_t hAlign = alignStart, vAlign = alignStart, tileMode = tileNone;
    int32_t transparency = 0;   // BlitMode: 0 copy, 1 keyed, 2 alpha blend
    int32_t seeThroughKind = 0; // 0 none, 1 by colour, 2 by outline
    uint32_t maskColour = 0, seeThroughColour = 0;
    int32_t alphaSourceX = 0, alphaSourceY = 0;
    // Pixels, in image coordinates, where the window is see-through.
    std::shared_ptr<Region> cutOutRegion;
    std::vector<Gizmo*> gizmos;
    // The image to switch to on each event (this image: no switch) and the
    // delay in ms.
    std::array<SkinImage*, skinEventCount> events{};
    std::array<int32_t, skinEventCount> delays{};
    int32_t action = 0; // the player action a click runs (1-14)
    DibImage pixels{"Unknown"};
    int32_t driftVelocity = 0;
    int32_t posX = 0, posY = 0;
    int32_t effWidth = 0, effHeight = 0;
    int32_t placed = 1; // 0 while drifting to its place
};

enum GizmoKind { gizmoTrackInfo = 0, gizmoTimeInfo = 1, gizmoButton = 2, gizmoProgress = 4 };

// One record for every kind: each kind uses its own fields.
struct Gizmo final : SkinElement {
    explicit Gizmo(std::string name) : SkinElement(std::move(name), ElementKind::gizmo) {}
    int32_t gizmoKind = -1;
    int32_t offsetX = 0, offsetY = 0; // from the owning image
    // Track, time and progress.
    int32_t width = 0, height = 0;
    // Track and time.
    SkinFont* font = nullptr;
    // The rendered text: "TrackGizmo" or "TimeGizmo"; none for other kinds.
    std::unique_ptr<DibImage> strip;
    // Track info.
    int32_t newTextWidth = 0, oldTextWidth = 0, newScroll = 0, oldScroll = 0;
    int32_t refreshCount = 0, slideRows = 0;
    std::string newText, oldText; // at most 199 characters each
    // Time info.
    int32_t showRemaining = 0, timeTextWidth = 0;
    // Button: its face.
    SkinImage* image = nullptr;
    // Progress.
    int32_t source = 0; // 0 song position, 1 playlist position
    int32_t rangeValue = 1, currentValue = 1;
};

// Sizes of the text gizmos: at least 5 pixels each way.
constexpr int32_t minGizmoSide = 5;
// The text both track lines start with.
inline constexpr const char* initialTrackText = "Lumbrin ***";

// Sets up a gizmo of kind track info or time info with its size and a
// cleared strip of that size (the state every reader leaves it in); the
// strip counts against the set's pixel budget.
void startTextGizmo(SkinSet& set, Gizmo& gizmo, int32_t kind, int32_t width, int32_t height);
// Sets up a progress gizmo (sizes raised to 5, values 1 and 1).
void startProgressGizmo(Gizmo& gizmo, int32_t source, int32_t width, int32_t height);

} // namespace sabrith
