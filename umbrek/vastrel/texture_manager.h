// The device's texture manager: the table of named textures, their
// conversion from 8-bit images (palettised, or through Texora) and from 3DF
// files, and their placement in the board's texture memory, downloaded when
// first used and evicted least recently used first.
#pragma once

#include "umbrek/glide/glide.h"
#include "umbrek/texora/texora.h"
#include "umbrek/vastrel/bitmap.h"
#include "umbrek/vastrel/texture_table.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace umbrek::vastrel {

constexpr int textureTableSize = 132;

// A colour table downloaded with a texture: the palette of the palettised
// path and of P8 3DF files, or the NCC table of the YIQ formats. Textures with
// identical palettes share one.
struct TextureColourTable {
    GrTexTable_t type = GR_TEXTABLE_PALETTE;
    GuTexTable table{};
};

struct TextureRecord {
    bool used = false; // a free record has no name
    std::string name;
    int width = 0, height = 0;
    OwnedBitmap bitmap;             // the palettised path's texels
    std::vector<std::uint8_t> data; // Texora's or the 3DF file's texels
    float sScale = 0, tScale = 0;
    std::uint8_t transparent = 0;
    int from3df = 0;
    int resident = 0;
    std::int32_t lastUsed = 0;
    std::uint32_t texAddress = 0, texBytes = 0;
    std::unique_ptr<std::array<std::uint8_t, 768>> paletteCopy;
    std::shared_ptr<TextureColourTable> colourTable;
    GrTexInfo info{}; // data is null for a texture without texels
};

class TextureManager : public TextureTable {
public:
    std::vector<TextureRecord> records;

    int count() const override { return int(records.size()); }
    TextureInfo info(int number) const override;
    void resetLastUsed() override;
};

TextureManager& textureManager();

// Slots and hooks. Numbers outside the table are ignored where a number is
// taken.
int KX_AllocTextures(int count);
void KX_FreeTextures();
int KX_LoadTexture(const char* fileName);
int KX_CreateTexture(const char* name, KX_Bitmap* bitmap); // takes the bitmap
int KX_Load3DF(const char* fileName);
int KX_PlaceTexture(int number, int mayEvict);
void KX_EvictTexture(int number);
void KX_SelectTexture(int number);
std::uint32_t KX_TextureMemorySize();

// Conversion of a record's bitmap by the engine's conversion mode; false
// leaves the record without texels.
bool convertTexture(TextureRecord& record, OwnedBitmap bitmap, int mode);

// sScale and tScale of a board aspect ratio (0 to 6).
void aspectScales(int aspect, float& sScale, float& tScale);

} // namespace umbrek::vastrel
