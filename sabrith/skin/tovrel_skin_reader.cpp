#include "sabrith/skin/tovrel_skin_reader.h"

#include "sabrith/skin/foreign_skin_common.h"
#include "sabrith/skin/region.h"
#include "sabrith/skin/skin_pixels.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace sabrith {

namespace {

constexpr const char* general = "General";
constexpr const char* faceBitmap = "Tovrel Bitmap";

struct Button {
    const char* section;
    int32_t action;
};

constexpr Button buttons[] = {
    {"Button Play", 1},         {"Button Stop", 2},
    {"Button Pause", 3},        {"Button Rewind", 9},
    {"Button Fast Forward", 8}, {"Button Previous Song", 5},
    {"Button Next Song", 4},    {"Button Disk Operations", 6},
    {"Button Close", 7},        {"Button About", 10},
    {"Button Minimize", 14},    {"Button Song Information", 0},
    {"Button Options", 0},      {"Button Help", 0},
};

int readInt(SkinSet& set, const std::string& path, const char* section, const std::string& key,
            int fallback) {
    int value = fallback;
    set.skinReader.readInt(path.c_str(), section, key.c_str(), value, fallback, 0, 0);
    return value;
}

// One face of a button: its own bitmap, masked by the colour of its top-left
// pixel (white without pixels). nullptr when it cannot be made.
SkinImage* buttonFace(SkinSet& set, const std::string& path, const Button& button, int which) {
    const std::string n = std::to_string(which);
    const std::string file =
        set.skinReader.readString(path.c_str(), button.section, ("Bitmap" + n).c_str(), 260, "");
    const std::string bitmapName = "Tovrel Bitmap" + n + " - " + button.section;
    SkinBitmap* bitmap = set.findOrCreateBitmap(bitmapName);
    if (!bitmap) return nullptr;
    loadBitmapFile(set, *bitmap, directoryOf(path), file);
    SkinImage* image = set.createImage("Tovrel Image" + n + " - " + button.section);
    if (!image) return nullptr;
    if (!sizeSkinImage(set, image->pixels, bitmap->pixels.width(), bitmap->pixels.height())) {
        set.discardElement(image);
        return nullptr;
    }
    image->bitmapName = bitmapName;
    image->width = bitmap->pixels.width();
    image->height = bitmap->pixels.height();
    image->offsetX = readInt(set, path, button.section, "Left", 0);
    image->offsetY = readInt(set, path, button.section, "Top", 0);
    image->action = button.action;
    fillImageFromBitmap(set, image->pixels, bitmapName, 0, 0);
    image->transparency = 1;
    image->maskColour = topLeftColour(image->pixels, 0xFFFFFF);
    maskByColour(image->pixels, image->width, image->height, image->maskColour);
    return image;
}

void readGauge(SkinSet& set, const std::string& path, SkinImage& main, const char* section,
               const char* name, int32_t source) {
    Gizmo* gizmo = set.createGizmo(name);
    if (!gizmo) return;
    gizmo->gizmoKind = gizmoProgress;
    startProgressGizmo(*gizmo, source, readInt(set, path, section, "Width", 100),
                       readInt(set, path, section, "Height", 14));
    gizmo->offsetX = readInt(set, path, section, "Left", 0);
    gizmo->offsetY = readInt(set, path, section, "Top", 0);
    set.appendGizmo(gizmo, &main);
}

} // namespace

bool isTovrelSkin(SkinSet& set, std::string& path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos) return false;
    static constexpr std::string_view design = ".design";
    const std::string_view extension = std::string_view(path).substr(dot);
    // Over the extension's own length, as the player has always compared.
    for (std::size_t i = 0; i < extension.size(); ++i) {
        const char c = extension[i];
        const char lower = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
        if (i >= design.size() || lower != design[i]) return false;
    }
    if (!set.skinReader.sectionExists(path.c_str(), general)) return false;
    // The skin forces its window to exactly this size: one no screen shows
    // would only make the window, and the images behind it, unbearably big.
    const int width = readInt(set, path, general, "WindowWidth", 100);
    const int height = readInt(set, path, general, "WindowHeight", 100);
    return width >= 1 && height >= 1 && skinWindowFits(width, height);
}

uint32_t parseHexColour(std::string_view text) {
    uint32_t value = 0; // wraps on long texts, as 32-bit arithmetic does
    for (char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit >= 0) value = value * 16 + uint32_t(digit);
    }
    return value & 0xFFFFFF;
}

std::vector<OutlineFigure> readOutlineFigures(SkinSet& set, const std::string& path) {
    if (readInt(set, path, general, "UseWindowShape", 0) != 1) return {};
    const int count =
        std::min(readInt(set, path, general, "NumberOfWindowShapePoints", 0), maxOutlinePoints);
    if (count < 2) return {};
    std::vector<OutlinePoint> points;
    points.reserve(std::size_t(count));
    for (int i = 1; i <= count; ++i) {
        char x[24], y[24];
        std::snprintf(x, sizeof x, "P%dx", i);
        std::snprintf(y, sizeof y, "P%dy", i);
        points.push_back({readInt(set, path, general, x, 0), readInt(set, path, general, y, 0)});
    }
    return splitOutlineFigures(points);
}

void readTovrelSkin(SkinSet& set, const std::string& path) {
    set.resetSkins();
    set.ownFormat = 0;
    Skin* skin = set.createSkin("Tovrel Skin");
    if (!skin) return;
    set.appendSkin(skin);

    const std::string folder = directoryOf(path);
    SkinBitmap* face = set.findOrCreateBitmap(faceBitmap);
    if (!face) return;
    loadBitmapFile(set, *face, folder,
                   set.skinReader.readString(path.c_str(), general, "Bitmap", 260, ""));

    SkinImage* main = set.createImage("Tovrel Main Image");
    if (!main) return;
    const int32_t width = readInt(set, path, general, "WindowWidth", 100);
    const int32_t height = readInt(set, path, general, "WindowHeight", 100);
    main->bitmapName = faceBitmap;
    main->width = skin->minWidth = skin->maxWidth = width;
    main->height = skin->minHeight = skin->maxHeight = height;
    // A size no image can have leaves the face without pixels (not drawn)
    // and without an outline, whose filling the pixels' size bounds.
    const bool sized = sizeSkinImage(set, main->pixels, width, height) != 0;
    if (sized) fillImageFromBitmap(set, main->pixels, faceBitmap, 0, 0);
    set.appendImageSlot(main, skin);

    if (sized) {
        const RegionRect bounds{0, 0, width, height};
        const Region outline = fillEvenOdd(readOutlineFigures(set, path), bounds);
        // An outline that covers nothing would leave no window to see or
        // click: such a skin keeps its rectangle.
        if (!outline.empty()) {
            auto cutOut = std::make_shared<Region>(Region::rect(0, 0, width, height));
            cutOut->subtract(outline);
            main->seeThroughKind = 2;
            if (!cutOut->empty()) main->cutOutRegion = std::move(cutOut);
        }
    }

    for (const Button& button : buttons) {
        // A missing section makes no button: it would only be an invisible
        // one in the corner, running its action and blocking drags there.
        if (!set.skinReader.sectionExists(path.c_str(), button.section)) continue;
        SkinImage* normal = buttonFace(set, path, button, 1);
        SkinImage* hover = buttonFace(set, path, button, 2);
        set.appendImageSlot(normal, skin);
        if (normal && hover) {
            normal->events[onMouseEnter] = hover;
            normal->delays[onMouseEnter] = 0;
            hover->events[onMouseExit] = normal;
            hover->delays[onMouseExit] = 0;
        }
    }

    const char* label = "Label SongName";
    const uint32_t text =
        parseHexColour(set.skinReader.readString(path.c_str(), label, "FontColor", 30, "$000000"));
    Gizmo* track = set.createGizmo("Tovrel Track Info");
    if (!track) return;
    track->gizmoKind = gizmoTrackInfo;
    startTextGizmo(set, *track, gizmoTrackInfo, readInt(set, path, label, "Width", 100),
                   readInt(set, path, label, "Height", 14));
    track->offsetX = readInt(set, path, label, "Left", 0);
    track->offsetY = readInt(set, path, label, "Top", 0);
    const int64_t fontHeight = int64_t(readInt(set, path, label, "FontSize", 8)) * 2 - 2;
    const int32_t weight = readInt(set, path, label, "FontBold", 0) != 0 ? 700 : 400;
    track->font =
        makeForeignFont(set, "Tovrel Track Font",
                        set.skinReader.readString(path.c_str(), label, "FontName", 32, "Arial"),
                        int32_t(std::clamp<int64_t>(fontHeight, INT32_MIN, INT32_MAX)), weight,
                        text, shiftedBackColour(text));
    if (track->font) set.appendGizmo(track, main);

    readGauge(set, path, *main, "Gauge SongPos", "Tovrel Track Progress", 0);
    readGauge(set, path, *main, "Gauge PlaylistPos", "Tovrel Playlist Progress", 1);
}

const SkinFormat tovrelSkinFormat{".design", isTovrelSkin, readTovrelSkin};

} // namespace sabrith
