#include "sabrith/skin/nerrit_skin_reader.h"

#include "sabrith/skin/foreign_skin_common.h"
#include "sabrith/skin/skin_pixels.h"

#include <algorithm>
#include <optional>

namespace sabrith {

namespace {

constexpr const char* section = "Coordinates";
constexpr const char* upBitmap = "Nerrit MainUp Bitmap";
constexpr const char* downBitmap = "Nerrit MainDown Bitmap";

struct Control {
    const char* key;
    int32_t action;
};

// In the order they are read, which is also the order they are drawn.
constexpr Control controls[] = {
    {"About", 0},      {"Minimize", 0}, {"Quit", 7},    {"Prev", 5},   {"Stop", 2},
    {"Pause", 3},      {"Play", 1},     {"Next", 4},    {"Open", 6},   {"VolumeUp", 0},
    {"VolumeDown", 0}, {"Playlist", 0}, {"Shuffle", 0}, {"Repeat", 0},
};

struct Rect {
    int32_t x, y, width, height;
};

std::optional<Rect> readRect(SkinSet& set, const std::string& path, const char* key) {
    const auto values =
        parseIntegers<4>(set.skinReader.readString(path.c_str(), section, key, 256, ""));
    if (!values) return std::nullopt;
    return Rect{(*values)[0], (*values)[1], (*values)[2], (*values)[3]};
}

// One face of a control cut from a face bitmap; nullptr when it cannot be
// made (a taken name, or a size no image can have).
SkinImage* controlFace(SkinSet& set, const std::string& name, const char* bitmap, const Rect& rect,
                       int32_t action) {
    SkinImage* image = set.createImage(name);
    if (!image) return nullptr;
    if (!sizeSkinImage(set, image->pixels, rect.width, rect.height)) {
        set.discardElement(image);
        return nullptr;
    }
    image->bitmapName = bitmap;
    image->width = rect.width;
    image->height = rect.height;
    image->offsetX = image->sourceX = rect.x;
    image->offsetY = image->sourceY = rect.y;
    image->action = action;
    fillImageFromBitmap(set, image->pixels, bitmap, rect.x, rect.y);
    return image;
}

void readTextGizmo(SkinSet& set, const std::string& path, SkinImage& main, const char* key,
                   const char* gizmoName, int32_t kind, const char* fontName,
                   const std::string& face, uint32_t text, uint32_t back) {
    Gizmo* gizmo = set.createGizmo(gizmoName);
    if (!gizmo) return;
    gizmo->gizmoKind = kind;
    const std::optional<Rect> rect = readRect(set, path, key);
    if (!rect) return;
    startTextGizmo(set, *gizmo, kind, rect->width, rect->height);
    gizmo->offsetX = rect->x;
    gizmo->offsetY = rect->y;
    gizmo->font = makeForeignFont(set, fontName, face, gizmo->height, 400, text, back);
    if (gizmo->font) set.appendGizmo(gizmo, &main);
}

} // namespace

bool isNerritSkin(SkinSet& set, std::string& path) {
    for (char& c : path)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    const std::size_t found = path.find("skin.ini");
    // The first occurrence must end the path: "skin.ini.x\skin.ini" is not
    // a skin, "myskin.ini" is.
    if (found == std::string::npos || path.compare(found, std::string::npos, "skin.ini") != 0)
        return false;
    return set.skinReader.sectionExists(path.c_str(), section);
}

void readNerritSkin(SkinSet& set, const std::string& path) {
    set.resetSkins();
    set.ownFormat = 0;
    Skin* skin = set.createSkin("Nerrit Skin");
    if (!skin) return;
    set.appendSkin(skin);

    const std::string folder = directoryOf(path);
    SkinBitmap* up = set.findOrCreateBitmap(upBitmap);
    if (!up) return;
    loadBitmapFile(set, *up, folder, "MainUp.bmp");
    SkinBitmap* down = set.findOrCreateBitmap(downBitmap);
    if (!down) return;
    loadBitmapFile(set, *down, folder, "MainDown.bmp");

    // The face fixes the window's size; its background colour (that of its
    // top-left pixel) is cut out of the window.
    SkinImage* main = set.createImage("Nerrit Main Image");
    if (!main) return;
    const int32_t width = up->pixels.width(), height = up->pixels.height();
    if (!sizeSkinImage(set, main->pixels, width, height)) return;
    main->bitmapName = upBitmap;
    main->width = skin->minWidth = skin->maxWidth = width;
    main->height = skin->minHeight = skin->maxHeight = height;
    fillImageFromBitmap(set, main->pixels, upBitmap, 0, 0);
    main->seeThroughKind = 1;
    main->seeThroughColour = topLeftColour(main->pixels, 0);
    buildSeeThroughRegion(*main);
    set.appendImageSlot(main, skin);

    for (const Control& control : controls) {
        const std::optional<Rect> rect = readRect(set, path, control.key);
        if (!rect) continue;
        SkinImage* released = controlFace(set, std::string("Nerrit Image1 - ") + control.key,
                                          upBitmap, *rect, control.action);
        SkinImage* pressed = controlFace(set, std::string("Nerrit Image2 - ") + control.key,
                                         downBitmap, *rect, control.action);
        // Only the released face is a slot: the pressed face is shown by the
        // press, so no control looks pressed before it is clicked.
        set.appendImageSlot(released, skin);
        if (released && pressed) {
            released->events[onMouseDown] = pressed;
            released->delays[onMouseDown] = 0;
            pressed->events[onMouseUp] = released;
            pressed->delays[onMouseUp] = 0;
        }
    }

    const auto rgb = parseIntegers<3>(
        set.skinReader.readString(path.c_str(), section, "DisplayColour", 30, "0, 0, 0"));
    const uint32_t text = rgb ? colourFromComponents((*rgb)[0], (*rgb)[1], (*rgb)[2]) : 0;
    const uint32_t back = shiftedBackColour(text);
    const std::string face =
        set.skinReader.readString(path.c_str(), section, "DisplayFont", 32, "Arial");

    readTextGizmo(set, path, *main, "DisplayBar", "Nerrit Track Info", gizmoTrackInfo,
                  "Nerrit Track Font", face, text, back);
    readTextGizmo(set, path, *main, "DisplayTime", "Nerrit Time Info", gizmoTimeInfo,
                  "Nerrit Time Font", face, text, back);

    Gizmo* progress = set.createGizmo("Nerrit Track Progress");
    if (!progress) return;
    progress->gizmoKind = gizmoProgress;
    if (const std::optional<Rect> bar = readRect(set, path, "SeekBar")) {
        startProgressGizmo(*progress, 0, bar->width, bar->height);
        progress->offsetX = bar->x;
        progress->offsetY = bar->y;
        set.appendGizmo(progress, main);
    }
}

const SkinFormat nerritSkinFormat{"skin.ini", isNerritSkin, readNerritSkin};

} // namespace sabrith
