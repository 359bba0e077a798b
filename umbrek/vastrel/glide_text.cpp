// Text into the locked frame buffer, and the built-in font used when none is
// given. Fonts are byte blocks: at byte 15 a 16-bit offset to 128 16-bit
// character offsets; a character is its width and height (16-bit each), then
// its rows, most significant bit first.
#include "umbrek/vastrel/glide_device.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace umbrek::vastrel {

namespace {

constexpr int maxGlyphWidth = 64;

int read16(const std::uint8_t* at) {
    return at[0] | at[1] << 8;
}

// Glyphs of three columns and five rows, one octal digit a row (4 is the
// left column), for codes 32 to 127; lower case draws as upper case.
constexpr const char* smallGlyphs[96] = {
    "00000", "22202", "55000", "57575", "37636", "51245", "25257", "22000", "12221", "42224",
    "05250", "02720", "00024", "00700", "00002", "11244", "75557", "26227", "71747", "71717",
    "55711", "74717", "74757", "71111", "75757", "75711", "02020", "02024", "12421", "07070",
    "42124", "71202", "25743", "25755", "65656", "34443", "65556", "74647", "74644", "34553",
    "55755", "72227", "11153", "55655", "44447", "57755", "65555", "25552", "65644", "25563",
    "65655", "34216", "72222", "55557", "55552", "55775", "55255", "55222", "71247", "64446",
    "44211", "32223", "25000", "00007", "42000", "25755", "65656", "34443", "65556", "74647",
    "74644", "34553", "55755", "72227", "11153", "55655", "44447", "57755", "65555", "25552",
    "65644", "25563", "65655", "34216", "72222", "55557", "55552", "55775", "55255", "55222",
    "71247", "32423", "22222", "62126", "03600", "00000"};

constexpr int tableOffset = 17;
constexpr int glyphOffset = tableOffset + 2 * 128;
constexpr int glyphBytes = 4 + 8;

// 8x8 cells: each small pixel two columns wide, rows 1 to 5 of the cell.
std::array<std::uint8_t, glyphOffset + 128 * glyphBytes> makeBuiltinFont() {
    std::array<std::uint8_t, glyphOffset + 128 * glyphBytes> font{};
    font[15] = tableOffset & 0xFF, font[16] = tableOffset >> 8;
    for (int code = 0; code < 128; ++code) {
        const int at = glyphOffset + code * glyphBytes;
        font[std::size_t(tableOffset + 2 * code)] = std::uint8_t(at & 0xFF);
        font[std::size_t(tableOffset + 2 * code + 1)] = std::uint8_t(at >> 8);
        font[std::size_t(at)] = 8, font[std::size_t(at + 2)] = 8;
        if (code < 32) continue;
        const char* glyph = smallGlyphs[code - 32];
        for (int row = 0; row < 5; ++row) {
            const int bits = glyph[row] - '0';
            std::uint8_t byte = 0;
            for (int column = 0; column < 3; ++column)
                if (bits & (4 >> column)) byte |= std::uint8_t(0xC0 >> (2 * column) >> 1);
            font[std::size_t(at + 4 + 1 + row)] = byte;
        }
    }
    return font;
}

} // namespace

const Font* builtinFont() {
    static const auto font = makeBuiltinFont();
    return reinterpret_cast<const Font*>(font.data());
}

int KX_DrawChar(int x, int y, const Font* font, unsigned char code) {
    if (code >= 128) return 0;
    const GlideDevice& d = glideDevice();
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(font ? font : builtinFont());
    const std::uint8_t* glyph = bytes + read16(bytes + read16(bytes + 15) + 2 * code);
    const int width = read16(glyph), height = read16(glyph + 2);
    const int drawnWidth = std::min(width, maxGlyphWidth);
    const int rowBytes = std::max(1, (drawnWidth + 7) / 8);
    if (!d.frameBuffer || d.bytesPerPixel == 0) return width;
    const int left = std::max(x, d.clipX1), right = std::min(x + drawnWidth - 1, d.clipX2);
    const int top = std::max(y, d.clipY1), bottom = std::min(y + height - 1, d.clipY2);
    const std::uint32_t colours[2] = {d.textBackgroundColour, d.textForegroundColour};
    for (int row = top; row <= bottom; ++row) {
        const std::uint8_t* bits = glyph + 4 + std::size_t(row - y) * std::size_t(rowBytes);
        for (int column = left; column <= right; ++column) {
            const int bit = column - x;
            const bool set = bits[bit >> 3] & (0x80 >> (bit & 7));
            if (set ? d.textMode == textBackground : d.textMode == textForeground) continue;
            const std::size_t at = std::size_t(row) * std::size_t(d.pitch) + std::size_t(column);
            if (d.bytesPerPixel == 4)
                static_cast<std::uint32_t*>(d.frameBuffer)[at] = colours[set];
            else
                static_cast<std::uint16_t*>(d.frameBuffer)[at] = pixel565(colours[set]);
        }
    }
    return width;
}

void KX_DrawText(int x, int y, const Font* font, const char* text) {
    if (!text) return;
    KX_BeginScreen();
    for (; *text; ++text) x += KX_DrawChar(x, y, font, static_cast<unsigned char>(*text));
    KX_EndScreen();
}

} // namespace umbrek::vastrel
