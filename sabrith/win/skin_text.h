// System fonts and text for skins through GDI: the text is drawn by GDI into
// a memory bitmap and read back into the skin's picture, so that the skin
// code keeps drawing into plain DibImages.
#pragma once

#include "sabrith/skin/skin_services.h"

#include <windows.h>

namespace sabrith {

class GdiFont final : public SystemFont {
public:
    explicit GdiFont(HFONT font) : font_(font) {}
    ~GdiFont() override { DeleteObject(font_); }
    GdiFont(const GdiFont&) = delete;
    GdiFont& operator=(const GdiFont&) = delete;
    HFONT handle() const { return font_; }

private:
    HFONT font_;
};

// Fonts of the requested height and weight, width 0, ANSI characters,
// default precision, quality and pitch.
class GdiFontFactory final : public FontFactory {
public:
    std::unique_ptr<SystemFont> createFont(const FontRequest& request) override;
};

// Works only on fonts of GdiFontFactory; other fonts measure 0 and draw
// nothing.
class GdiTextRenderer final : public TextRenderer {
public:
    int textWidth(const SystemFont& font, std::string_view text) override;
    void drawText(const SystemFont& font, std::string_view text, uint32_t textColour,
                  uint32_t backColour, DibImage& target, int x, int y, int width,
                  int height) override;
};

} // namespace sabrith
