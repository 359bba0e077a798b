#include "sabrith/skin/skin_set.h"

#include "sabrith/skin/skin_drawing.h"

#include "sabrith/skin/skin_pixels.h"

#include <algorithm>
#include <limits>

namespace sabrith {

const ProfileDocument& SkinFileProfile::document(const std::string& file) {
    if (!loaded_ || path_ != file) {
        const auto bytes = files_.readFile(file);
        document_ = bytes ? ProfileDocument(std::string_view(
                                reinterpret_cast<const char*>(bytes->data()), bytes->size()))
                          : ProfileDocument();
        path_ = file;
        loaded_ = true;
    }
    return document_;
}

void SkinFileProfile::forget() {
    loaded_ = false;
    document_ = ProfileDocument();
}

int32_t SkinFileProfile::getInt(const std::string& file, const std::string& section,
                                const std::string& key, int32_t fallback) {
    return document(file).integer(section, key, fallback);
}

std::string SkinFileProfile::getString(const std::string& file, const std::string& section,
                                       const std::string& key, const std::string& fallback,
                                       std::size_t capacity) {
    if (capacity == 0) return "";
    std::string text = document(file).value(section, key).value_or(fallback);
    if (text.size() > capacity - 1) text.resize(capacity - 1);
    return text;
}

std::size_t SkinFileProfile::sectionEntries(const std::string& file, const std::string& section) {
    return document(file).entryCount(section);
}

GlyphMap buildGlyphMap() {
    GlyphMap map{};
    for (int c = 0; c < 26; ++c) {
        map[std::size_t('A' + c)] = {uint8_t(c), 0};
        map[std::size_t('a' + c)] = {uint8_t(c), 0};
    }
    for (int c = 0; c < 10; ++c) map[std::size_t('0' + c)] = {uint8_t(c), 1};
    struct Cell {
        char code;
        uint8_t column, row;
    };
    static constexpr Cell others[] = {
        {'"', 26, 0},  {'@', 27, 0}, {':', 12, 1}, {'(', 13, 1}, {')', 14, 1},  {'-', 15, 1},
        {'\'', 16, 1}, {'!', 17, 1}, {'_', 18, 1}, {'+', 19, 1}, {'\\', 20, 1}, {'/', 21, 1},
        {'[', 22, 1},  {']', 23, 1}, {'^', 24, 1}, {'&', 25, 1}, {'%', 26, 1},  {'.', 27, 1},
        {'=', 28, 1},  {'$', 29, 1}, {'#', 30, 1}, {'?', 3, 2},  {'*', 4, 2}};
    for (const Cell& cell : others)
        map[static_cast<unsigned char>(cell.code)] = {cell.column, cell.row};
    return map;
}

SkinSet::SkinSet(const SkinServices& services, std::vector<SkinFormat> formats)
    : formats_(std::move(formats)), profile_(services.files), services(services),
      skinReader("Lumbrin Skin", noRegistry_, profile_), glyphMap(buildGlyphMap()) {
    if (this->services.host.present()) hostSkinFolder = this->services.host.skinFolder();
}

SkinSet::~SkinSet() {
    resetSkins();
}

SkinElement* SkinSet::findElement(std::string_view name) const {
    const auto found = index_.find(std::string(name.substr(0, maxElementName + 1)));
    return found == index_.end() ? nullptr : found->second->get();
}

template <class Record>
Record* SkinSet::create(std::string_view name) {
    if (name.empty() || findElement(name)) return nullptr;
    auto record = std::make_unique<Record>(std::string(name.substr(0, maxElementName)));
    Record* made = record.get();
    // A name cut to its stored length may name another element already.
    if (index_.count(made->name)) return nullptr;
    elements_.push_front(std::move(record));
    index_[made->name] = elements_.begin();
    return made;
}

Skin* SkinSet::createSkin(std::string_view name) {
    return create<Skin>(name);
}
SkinImage* SkinSet::createImage(std::string_view name) {
    return create<SkinImage>(name);
}
SkinFont* SkinSet::createFont(std::string_view name) {
    return create<SkinFont>(name);
}
Gizmo* SkinSet::createGizmo(std::string_view name) {
    return create<Gizmo>(name);
}

SkinBitmap* SkinSet::findOrCreateBitmap(std::string_view name) {
    if (name.empty()) return nullptr;
    if (SkinElement* found = findElement(name))
        return found->kind == ElementKind::bitmap ? static_cast<SkinBitmap*>(found) : nullptr;
    return create<SkinBitmap>(name);
}

std::unique_ptr<SystemFont> SkinSet::createSystemFont(const FontRequest& request) {
    if (request.height > maxSkinFontHeight || request.height < -maxSkinFontHeight) return nullptr;
    return services.fonts.createFont(request);
}

void SkinSet::discardElement(SkinElement* element) {
    if (!element) return;
    const auto found = index_.find(element->name);
    if (found == index_.end() || found->second->get() != element) return;
    elements_.erase(found->second);
    index_.erase(found);
}

void SkinSet::appendSkin(Skin* skin) {
    if (skin) skins.push_back(skin);
}

void SkinSet::appendImageSlot(SkinImage* image, Skin* skin) {
    if (image && skin) skin->images.push_back(ImageSlot{image, nullptr, 0});
}

void SkinSet::appendGizmo(Gizmo* gizmo, SkinImage* image) {
    if (gizmo && image) image->gizmos.push_back(gizmo);
}

void SkinSet::resetSkins() {
    skins.clear();
    currentSkin = nullptr;
    index_.clear();
    elements_.clear();
    skinName.clear();
    designerName.clear();
    designerContact.clear();
    description.clear();
    ownFormat = 0;
    pixelsHeld = 0;
}

int SkinSet::loadSkinFile(const std::string& path) {
    if (path.find('.') == std::string::npos) return 0;
    // Each load reads the files afresh: the player's folder may hold new ones.
    profile_.forget();
    std::string working = path;
    for (const SkinFormat& format : formats_) {
        if (!format.accepts(*this, working)) continue;
        skinPath = working;
        format.read(*this, skinPath);
        currentSkin = skins.empty() ? nullptr : skins.front();
        active = currentSkin ? 1 : 0;
        return 1;
    }
    return 0;
}

int SkinSet::chooseAndLoadSkin(void* owner) {
    std::string path;
    if (!skinFileList || !skinFileList->openFile(owner, path)) return 0;
    return loadSkinFile(path);
}

void SkinSet::setWindowSize(int32_t width, int32_t height) {
    windowWidth = width;
    windowHeight = height;
    layoutImages(*this);
}

int SkinSet::showsEffect() const {
    return ownFormat == 1 || !active || !currentSkin ? 1 : 0;
}

int SkinSet::isResizable() const {
    if (!currentSkin || currentSkin->maxWidth == 0) return 1;
    return currentSkin->minWidth < currentSkin->maxWidth &&
                   currentSkin->minHeight < currentSkin->maxHeight
               ? 1
               : 0;
}

void SkinSet::getInsetTotals(int32_t& horizontal, int32_t& vertical) const {
    horizontal = vertical = 0;
    if (!isActive()) return;
    horizontal = saturated(int64_t(currentSkin->leftInset) + currentSkin->rightInset);
    vertical = saturated(int64_t(currentSkin->topInset) + currentSkin->bottomInset);
}

void SkinSet::getInsetOrigin(int32_t& left, int32_t& top) const {
    left = top = 0;
    if (!isActive()) return;
    left = currentSkin->leftInset;
    top = currentSkin->topInset;
}

void SkinSet::clampWindowSize(int32_t& width, int32_t& height) const {
    if (!isActive()) return;
    const Skin& skin = *currentSkin;
    if (skin.maxWidth == 0 || skin.minWidth <= skin.maxWidth)
        width = std::max(width, skin.minWidth);
    if (skin.maxHeight == 0 || skin.minHeight <= skin.maxHeight)
        height = std::max(height, skin.minHeight);
    // As the window has always done: the width obeys any maximum but 0, the
    // height only a positive one.
    if (skin.maxWidth != 0) width = std::min(width, skin.maxWidth);
    if (skin.maxHeight > 0) height = std::min(height, skin.maxHeight);
}

void SkinSet::setActive(int32_t flag) {
    if (currentSkin) active = flag;
}

void SkinSet::nextSkin() {
    const auto at = std::find(skins.begin(), skins.end(), currentSkin);
    if (at == skins.end()) return;
    currentSkin = std::next(at) == skins.end() ? skins.front() : *std::next(at);
}

std::string SkinSet::currentSkinPath() const {
    return currentSkin ? skinPath : std::string();
}

std::string directoryOf(std::string_view path) {
    const std::size_t last = path.find_last_of("\\/");
    return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last + 1));
}

} // namespace sabrith
