#include "sabrith/skin/own_skin_reader.h"

#include "sabrith/screen_limits.h"
#include "sabrith/skin/skin_pixels.h"
#include "sabrith/skin/skin_text_values.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace sabrith {

const char* const ownSkinVersionMessage =
    "This version of the Lumbrin\nplug-in has been designed\nto only work with v2 skins.\n\n"
    "New versions of Lumbrin can\nbe downloaded from\n\nhttps://lumbrin.example.org/download";

namespace {

constexpr const char* headerSection = "Lumbrin Skin";
constexpr std::size_t nameCapacity = 64;   // section names: 63 characters
constexpr std::size_t valueCapacity = 30;  // pairs and colours: 29
constexpr std::size_t eventCapacity = 128; // events: 127

// One file being read: every section reader names the file through it.
struct OwnSkinReader {
    SkinSet& set;
    const char* file;

    int integer(const std::string& section, const char* key, int fallback, int index = 0) {
        int value = fallback;
        set.skinReader.readInt(file, section.c_str(), key, value, fallback, 0, 0, index);
        return value;
    }
    std::string text(const std::string& section, const char* key, std::size_t capacity,
                     const char* fallback = "", int index = 0) {
        return set.skinReader.readString(file, section.c_str(), key, capacity, fallback, index);
    }
    // Both values, or both defaults (0, 0) when the text does not give two.
    void pair(const std::string& section, const char* key, int32_t& a, int32_t& b) {
        int32_t values[2] = {0, 0};
        scanIntegers(text(section, key, valueCapacity), 2, values);
        a = values[0];
        b = values[1];
    }
    std::optional<uint32_t> colour(const std::string& section, const char* key,
                                   const char* fallback = "") {
        int32_t rgb[3];
        if (!scanIntegers(text(section, key, valueCapacity, fallback), 3, rgb)) return std::nullopt;
        return colourFromComponents(rgb[0], rgb[1], rgb[2]);
    }
    int count(const std::string& section, const char* key) {
        return std::min(integer(section, key, 0), maxSectionCount);
    }

    // The element of that name when it exists (nullptr when it is of another
    // kind), else whether the section may be read: names, depth, presence.
    template <class Record>
    bool existing(const std::string& name, ElementKind kind, int depth, Record*& found) {
        found = nullptr;
        if (name.empty()) return true;
        if (SkinElement* element = set.findElement(name)) {
            if (element->kind == kind) found = static_cast<Record*>(element);
            return true;
        }
        return depth > maxSectionDepth || !set.skinReader.sectionExists(file, name.c_str());
    }

    Skin* readSkin(const std::string& name, int depth);
    SkinImage* readImage(const std::string& name, int depth);
    Gizmo* readGizmo(const std::string& name, int depth);
    SkinFont* readFont(const std::string& name, int depth);
};

int pick(const std::string& value, std::initializer_list<const char*> words) {
    int code = 1;
    for (const char* word : words) {
        if (keywordIs(value, word)) return code;
        ++code;
    }
    return 0;
}

constexpr const char* eventKeys[skinEventCount] = {"OnMouseEnter", "OnMouseExit", "OnMouseDown",
                                                   "OnMouseUp",    "OnGainFocus", "OnLoseFocus",
                                                   "OnTime"};

// "name,delay": a name of 1 to 63 characters up to the first comma, then a
// number. A longer name is no event (the name field holds 63).
bool parseEvent(const std::string& value, std::string& name, int32_t& delay) {
    const std::size_t comma = value.find(',');
    if (comma == std::string::npos || comma == 0 || comma > nameCapacity - 1) return false;
    int32_t number[1];
    if (!scanIntegers(std::string_view(value).substr(comma + 1), 1, number)) return false;
    name = value.substr(0, comma);
    delay = number[0];
    return true;
}

Skin* OwnSkinReader::readSkin(const std::string& name, int depth) {
    Skin* skin = nullptr;
    if (existing(name, ElementKind::skin, depth, skin)) return skin;
    skin = set.createSkin(name);
    if (!skin) return nullptr;
    skin->minWidth = integer(name, "MinWidth", 0);
    skin->minHeight = integer(name, "MinHeight", 0);
    skin->maxWidth = integer(name, "MaxWidth", 0);
    skin->maxHeight = integer(name, "MaxHeight", 0);
    skin->topInset = integer(name, "TopInset", 0);
    skin->leftInset = integer(name, "LeftInset", 0);
    skin->rightInset = integer(name, "RightInset", 0);
    skin->bottomInset = integer(name, "BottomInset", 0);
    const int images = count(name, "NumImages");
    for (int i = 1; i <= images; ++i)
        set.appendImageSlot(readImage(text(name, "Image", nameCapacity, "", i), depth + 1), skin);
    return skin;
}

SkinImage* OwnSkinReader::readImage(const std::string& name, int depth) {
    SkinImage* image = nullptr;
    if (existing(name, ElementKind::image, depth, image)) return image;
    image = set.createImage(name);
    if (!image) return nullptr;
    image->hAlign = pick(text(name, "HorizontalAlignment", 64, "Left"), {"Middle", "Right"});
    image->vAlign = pick(text(name, "VerticalAlignment", 64, "Top"), {"Middle", "Bottom"});
    image->tileMode = pick(text(name, "TileMode", 64, "None"), {"Horizontal", "Vertical"});
    image->action = pick(text(name, "Action", 64, "None"),
                         {"Play", "Stop", "Pause", "Next", "Prev", "Load", "Close"});
    pair(name, "Size", image->width, image->height);
    image->width = std::max(image->width, 1);
    image->height = std::max(image->height, 1);
    image->bitmapName = text(name, "Bitmap", nameCapacity);
    pair(name, "Offset", image->offsetX, image->offsetY);
    pair(name, "Location", image->sourceX, image->sourceY);
    image->driftVelocity = integer(name, "DriftVelocity", 0);
    // An image no window could show is not made; nothing refers to it yet.
    if (!sizeSkinImage(set, image->pixels, image->width, image->height)) {
        set.discardElement(image);
        return nullptr;
    }
    fillImageFromBitmap(set, image->pixels, image->bitmapName, image->sourceX, image->sourceY);

    if (keywordIs(text(name, "SeeThrough", 64), "Yes")) {
        if (const auto seen = colour(name, "SeeThroughColor")) {
            image->seeThroughKind = 1;
            image->seeThroughColour = *seen;
            buildSeeThroughRegion(*image);
        }
    }
    const std::string transparency = text(name, "Transparency", 64);
    if (keywordIs(transparency, "Masked")) {
        if (const auto mask = colour(name, "MaskColor")) {
            image->transparency = 1;
            image->maskColour = *mask;
            maskByColour(image->pixels, image->width, image->height, *mask);
        }
    } else if (keywordIs(transparency, "Translucent")) {
        image->transparency = 2;
        image->alphaBitmapName =
            text(name, "TransparencyBitmap", nameCapacity, image->bitmapName.c_str());
        pair(name, "TransparencyLocation", image->alphaSourceX, image->alphaSourceY);
        applyAlphaBitmap(set, *image);
    }

    const int gizmos = count(name, "NumGizmos");
    for (int i = 1; i <= gizmos; ++i)
        set.appendGizmo(readGizmo(text(name, "Gizmo", nameCapacity, "", i), depth + 1), image);

    for (int e = 0; e < skinEventCount; ++e) {
        std::string target;
        int32_t delay = 0;
        if (!parseEvent(text(name, eventKeys[e], eventCapacity), target, delay)) continue;
        if (SkinImage* next = readImage(target, depth + 1)) {
            image->events[std::size_t(e)] = next;
            image->delays[std::size_t(e)] = delay;
        }
    }
    return image;
}

Gizmo* OwnSkinReader::readGizmo(const std::string& name, int depth) {
    Gizmo* gizmo = nullptr;
    if (existing(name, ElementKind::gizmo, depth, gizmo)) return gizmo;
    gizmo = set.createGizmo(name);
    if (!gizmo) return nullptr;
    const std::string type = text(name, "Type", 64);
    const bool track = keywordIs(type, "TrackInfo", 64);
    if (track || keywordIs(type, "TimeInfo", 64)) {
        SkinFont* font = readFont(text(name, "Font", nameCapacity), depth + 1);
        int32_t width = 0, height = 0;
        pair(name, "Size", width, height);
        startTextGizmo(set, *gizmo, track ? gizmoTrackInfo : gizmoTimeInfo, width, height);
        gizmo->font = font;
        pair(name, "Offset", gizmo->offsetX, gizmo->offsetY);
    } else if (keywordIs(type, "Button", 64)) {
        gizmo->gizmoKind = gizmoButton;
        pair(name, "Offset", gizmo->offsetX, gizmo->offsetY);
        gizmo->image = readImage(text(name, "Image", nameCapacity), depth + 1);
    } else {
        set.discardElement(gizmo);
        return nullptr;
    }
    return gizmo;
}

SkinFont* OwnSkinReader::readFont(const std::string& name, int depth) {
    SkinFont* font = nullptr;
    if (existing(name, ElementKind::font, depth, font)) return font;
    font = set.createFont(name);
    if (!font) return nullptr;
    // Absent, the size reads 0, 0 over the 5 x 6 cells: such a font draws
    // nothing, as skins made for it expect.
    pair(name, "CharacterSize", font->charWidth, font->charHeight);
    if (keywordIs(text(name, "Type", 64, "Jukora"), "Windows")) {
        font->fontKind = 1;
        font->faceName = text(name, "FontName", 32, "Arial");
        FontRequest request;
        request.faceName = font->faceName;
        request.height = font->charHeight > std::numeric_limits<int32_t>::max() - 2
                             ? font->charHeight
                             : font->charHeight + 2;
        request.weight = 400;
        font->fontHandle = set.createSystemFont(request);
    } else {
        font->glyphImage = readImage(text(name, "Image", nameCapacity), depth + 1);
    }
    font->textColour = colour(name, "TextCol", "0,0,0").value_or(0);
    font->backColour = colour(name, "TextBackCol", "255,255,255").value_or(0xFFFFFF);
    return font;
}

bool extensionIs(const std::string& path, std::string_view extension) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos) return false;
    const std::string_view part = std::string_view(path).substr(dot);
    // Compared over the part's own length, as the format always has been.
    return part.size() <= extension.size() &&
           keywordIs(part, extension.substr(0, part.size()), extension.size());
}

// Whether the window each skin of the file asks for fits on a screen.
bool skinWindowsFit(SkinSet& set, const std::string& path) {
    OwnSkinReader reader{set, path.c_str()};
    const std::string header = headerSection;
    const int skins = std::min(reader.integer(header, "NumSkins", 1), maxSectionCount);
    for (int i = 1; i <= skins; ++i) {
        const std::string name = reader.text(header, "Skin", nameCapacity, "", i);
        if (name.empty()) continue;
        int64_t insets[4];
        const char* keys[] = {"LeftInset", "RightInset", "TopInset", "BottomInset"};
        for (int k = 0; k < 4; ++k) {
            insets[k] = reader.integer(name, keys[k], 0);
            if (insets[k] > maxScreenSide || insets[k] < -maxScreenSide) return false;
        }
        // Negative insets take no room (the window ignores them).
        const auto room = [](int64_t a, int64_t b) {
            return std::max<int64_t>(a, 0) + std::max<int64_t>(b, 0) + 8;
        };
        if (!skinWindowFits(
                std::max<int64_t>(reader.integer(name, "MinWidth", 0), room(insets[0], insets[1])),
                std::max<int64_t>(reader.integer(name, "MinHeight", 0),
                                  room(insets[2], insets[3]))))
            return false;
    }
    return true;
}

} // namespace

bool isOwnSkin(SkinSet& set, std::string& path) {
    if (!extensionIs(path, ".lbs") || !set.skinReader.sectionExists(path.c_str(), headerSection))
        return false;
    int version = 1;
    set.skinReader.readInt(path.c_str(), headerSection, "SkinVersion", version, 1, 0, 0);
    if (version != 2) {
        set.services.ui.message("Lumbrin", ownSkinVersionMessage);
        return false;
    }
    // Maximums past the screen are harmless (the window's own bounds hold
    // it); a minimum or insets past it would force a window no screen shows.
    return skinWindowsFit(set, path);
}

int readOwnSkin(SkinSet& set, const std::string& path) {
    set.resetSkins();
    set.ownFormat = 1;
    OwnSkinReader reader{set, path.c_str()};
    const std::string header = headerSection;
    const int skins = std::min(reader.integer(header, "NumSkins", 1), maxSectionCount);
    if (skins == 0) return 0;
    set.skinName = reader.text(header, "SkinName", 256);
    set.designerName = reader.text(header, "DesignerName", 256);
    set.designerContact = reader.text(header, "DesignerContact", 256);
    set.description = reader.text(header, "Description", 256);
    for (int i = 1; i <= skins; ++i)
        set.appendSkin(reader.readSkin(reader.text(header, "Skin", nameCapacity, "", i), 0));
    return 1;
}

const SkinFormat ownSkinFormat = {
    "Lumbrin skin", isOwnSkin,
    [](SkinSet& set, const std::string& path) { readOwnSkin(set, path); }};

} // namespace sabrith
