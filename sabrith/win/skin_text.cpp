#include "sabrith/win/skin_text.h"

#include "sabrith/win/image_drawing.h"

#include <algorithm>

namespace sabrith {

namespace {

// Strips wider or taller than any window are not drawn: GDI bitmaps of
// absurd sizes only fail slowly.
constexpr int maxStripSide = 4096;

// A memory context with the font selected, released on leaving.
class FontContext {
public:
    explicit FontContext(const GdiFont& font) : dc_(CreateCompatibleDC(nullptr)) {
        if (dc_) old_ = SelectObject(dc_, font.handle());
    }
    ~FontContext() {
        if (!dc_) return;
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    FontContext(const FontContext&) = delete;
    FontContext& operator=(const FontContext&) = delete;
    HDC dc() const { return dc_; }

private:
    HDC dc_;
    HGDIOBJ old_ = nullptr;
};

int textLength(std::string_view text) {
    return int(std::min<std::size_t>(text.size(), 0x7FFFFFFF));
}

} // namespace

std::unique_ptr<SystemFont> GdiFontFactory::createFont(const FontRequest& request) {
    const HFONT font = CreateFontA(request.height, 0, 0, 0, request.weight, FALSE, FALSE, FALSE,
                                   ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                   DEFAULT_QUALITY, DEFAULT_PITCH, request.faceName.c_str());
    if (!font) return nullptr;
    return std::make_unique<GdiFont>(font);
}

int GdiTextRenderer::textWidth(const SystemFont& font, std::string_view text) {
    const auto* gdi = dynamic_cast<const GdiFont*>(&font);
    if (!gdi) return 0;
    FontContext context(*gdi);
    SIZE size{};
    if (!context.dc() || !GetTextExtentPoint32A(context.dc(), text.data(), textLength(text), &size))
        return 0;
    return int(size.cx);
}

void GdiTextRenderer::drawText(const SystemFont& font, std::string_view text, uint32_t textColour,
                               uint32_t backColour, DibImage& target, int x, int y, int width,
                               int height) {
    const auto* gdi = dynamic_cast<const GdiFont*>(&font);
    const int stripHeight = height + 2;
    if (!gdi || width < 1 || stripHeight < 1 || width > maxStripSide || stripHeight > maxStripSide)
        return;
    FontContext context(*gdi);
    if (!context.dc()) return;
    const HDC screen = GetDC(nullptr);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, stripHeight);
    ReleaseDC(nullptr, screen);
    if (!bitmap) return;
    const HGDIOBJ oldBitmap = SelectObject(context.dc(), bitmap);
    SetTextColor(context.dc(), textColour & 0xFFFFFF);
    SetBkColor(context.dc(), backColour & 0xFFFFFF);
    SetBkMode(context.dc(), OPAQUE);
    // The whole strip in the back colour first: the text's own cells cover
    // only its extent.
    const RECT whole{0, 0, width, stripHeight};
    ExtTextOutA(context.dc(), 0, 0, ETO_OPAQUE, &whole, "", 0, nullptr);
    TextOutA(context.dc(), 0, 0, text.data(), textLength(text));
    DibImage strip("TextStrip");
    if (strip.resize(width, stripHeight) && copyFromDC(strip, context.dc(), 0, 0))
        target.blit(x, y, width, stripHeight, strip, 0, 0, BlitMode::copy);
    SelectObject(context.dc(), oldBitmap);
    DeleteObject(bitmap);
}

} // namespace sabrith
