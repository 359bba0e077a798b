#include "sabrith/skin/tests/skin_test_rig.h"

#include "sabrith/skin/skin_drawing.h"
#include "sabrith/tests/bmp_writer.h"

#include <algorithm>

namespace sabrith::test {

std::unique_ptr<SystemFont> FakeFonts::createFont(const FontRequest& request) {
    made.push_back(request);
    auto font = std::make_unique<FakeFont>();
    font->request = request;
    return font;
}

int FakeText::textWidth(const SystemFont&, std::string_view text) {
    return int(text.size()) * perChar;
}

void FakeText::drawText(const SystemFont&, std::string_view text, uint32_t textColour,
                        uint32_t backColour, DibImage& target, int x, int y, int width,
                        int height) {
    target.fillRect(backColour, 255, x, y, width, height);
    target.fillRect(textColour, 255, x, y, std::min(width, int(text.size()) * perChar), height);
}

SkinRig::SkinRig(std::vector<SkinFormat> formats)
    : set(SkinServices{files, host, clock, fonts, text, ui}, std::move(formats)) {}

int SkinRig::load(const std::string& text, int width, int height, const std::string& name) {
    files.add(skinFolder + name, text);
    const int loaded = set.loadSkinFile(skinFolder + name);
    set.setWindowSize(width, height);
    return loaded;
}

std::vector<uint8_t> bmpOf(int width, int height, const std::function<uint32_t(int, int)>& pixel) {
    BmpPicture picture;
    picture.width = width;
    picture.height = height;
    picture.bits = 24;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) picture.pixels.push_back(pixel(x, y));
    return writeBmp(picture);
}

uint32_t rgbAt(const DibImage& image, int x, int y) {
    return image.pixels()[std::size_t(y) * std::size_t(image.width()) + std::size_t(x)] & 0xFFFFFFu;
}

uint32_t alphaAt(const DibImage& image, int x, int y) {
    return image.pixels()[std::size_t(y) * std::size_t(image.width()) + std::size_t(x)] >> 24;
}

SkinImage* imageNamed(SkinSet& set, const std::string& name) {
    SkinElement* element = set.findElement(name);
    return element && element->kind == ElementKind::image ? static_cast<SkinImage*>(element)
                                                          : nullptr;
}

} // namespace sabrith::test
