#include "umbrek/vastrel/texture_manager.h"

#include "umbrek/vastrel/engine.h"
#include "umbrek/vastrel/glide_device.h"
#include "umbrek/vastrel/image_readers.h"

#include <algorithm>
#include <cstdio>

namespace umbrek::vastrel {

TextureManager& textureManager() {
    static TextureManager manager;
    return manager;
}

TextureInfo TextureManager::info(int number) const {
    if (number < 0 || number >= count()) return {};
    const TextureRecord& r = records[std::size_t(number)];
    return {r.used ? r.name.c_str() : nullptr, r.width, r.height, r.sScale, r.tScale};
}

void TextureManager::resetLastUsed() {
    for (TextureRecord& r : records) r.lastUsed = 0;
}

namespace {

TextureRecord* record(int number) {
    TextureManager& m = textureManager();
    if (number < 0 || number >= m.count()) return nullptr;
    TextureRecord& r = m.records[std::size_t(number)];
    return r.used ? &r : nullptr;
}

int firstFreeRecord() {
    TextureManager& m = textureManager();
    for (int i = 0; i < m.count(); ++i)
        if (!m.records[std::size_t(i)].used) return i;
    return resultTextureTableFull;
}

// Free records drop their colour table; a table shared with others lives on
// until its last user is gone.
void freeRecord(int number) {
    textureManager().records[std::size_t(number)] = TextureRecord{};
}

constexpr std::uint32_t bankSize = 2u << 20;

std::uint32_t roundUp8(std::uint32_t at) {
    return (at + 7) & ~7u;
}

// Start and end in the same 2 MB bank; ending exactly on a boundary crosses.
bool sameBank(std::uint32_t start, std::uint32_t size) {
    return start / bankSize == (start + size) / bankSize;
}

// The lowest start of a resident texture at or above `at`, else `limit`.
std::uint32_t nextResidentStart(std::uint32_t at, std::uint32_t limit) {
    std::uint32_t next = limit;
    for (const TextureRecord& r : textureManager().records)
        if (r.used && r.resident && r.texAddress >= at) next = std::min(next, r.texAddress);
    return next;
}

bool fitsBefore(std::uint32_t start, std::uint32_t size, std::uint32_t memory) {
    return std::uint64_t(start) + size <= nextResidentStart(start, memory) && sameBank(start, size);
}

bool download(TextureRecord& r, std::uint32_t start) {
    grTexDownloadMipMap(GR_TMU0, grTexMinAddress(GR_TMU0) + start, GR_MIPMAPLEVELMASK_BOTH,
                        &r.info);
    r.resident = 1;
    r.texAddress = start;
    return true;
}

} // namespace

void aspectScales(int aspect, float& sScale, float& tScale) {
    static constexpr float s[7] = {1, 1, 1, 1, 0.5f, 0.25f, 0.125f};
    static constexpr float t[7] = {0.125f, 0.25f, 0.5f, 1, 1, 1, 1};
    const int a = std::clamp(aspect, 0, 6);
    sScale = s[a], tScale = t[a];
}

int KX_AllocTextures(int count) {
    KX_FreeTextures();
    TextureManager& m = textureManager();
    m.records.resize(std::size_t(std::max(count, 0)));
    engine().textures = &m;
    glideDevice().bindTexture = KX_SelectTexture;
    return resultSuccess;
}

// Undoes KX_AllocTextures: the records' memory goes (the plug-in is started
// and stopped many times in the player's process), and nothing binds through
// a table that is gone.
void KX_FreeTextures() {
    std::vector<TextureRecord>().swap(textureManager().records);
    engine().textures = nullptr;
    GlideDevice& d = glideDevice();
    d.bindTexture = nullptr;
    d.lastTable = nullptr;
}

std::uint32_t KX_TextureMemorySize() {
    return grTexMaxAddress(GR_TMU0) - grTexMinAddress(GR_TMU0);
}

void KX_EvictTexture(int number) {
    if (TextureRecord* r = record(number)) r->resident = 0, r->texAddress = 0, r->lastUsed = 0;
}

int KX_PlaceTexture(int number, int mayEvict) {
    TextureRecord* texture = record(number);
    // Nothing to download: never touch the board with a null texel pointer.
    if (!texture || !texture->info.data) return 0;
    if (texture->resident) return 1;
    const std::uint32_t memory = KX_TextureMemorySize(), size = texture->texBytes;
    if (size > memory) return 0;
    std::vector<TextureRecord>& all = textureManager().records;
    const TextureRecord* highest = nullptr;
    for (const TextureRecord& r : all)
        if (r.used && r.resident && (!highest || r.texAddress >= highest->texAddress)) highest = &r;
    if (!highest) return download(*texture, 0);
    const std::uint32_t after = roundUp8(highest->texAddress + highest->texBytes);
    if (std::uint64_t(after) + size < memory && sameBank(after, size))
        return download(*texture, after);
    for (const TextureRecord& r : all) {
        if (!r.used || !r.resident) continue;
        const std::uint32_t start = roundUp8(r.texAddress + r.texBytes);
        if (fitsBefore(start, size, memory)) return download(*texture, start);
    }
    if (!mayEvict) return 0;
    for (;;) {
        TextureRecord* oldest = nullptr;
        for (TextureRecord& r : all)
            if (r.used && r.resident && (!oldest || r.lastUsed < oldest->lastUsed)) oldest = &r;
        if (!oldest) return 0;
        const std::uint32_t start = oldest->texAddress;
        oldest->resident = 0, oldest->texAddress = 0, oldest->lastUsed = 0;
        if (fitsBefore(start, size, memory)) return download(*texture, start);
    }
}

void KX_SelectTexture(int number) {
    TextureRecord* r = record(number);
    if (!r || !r->info.data) return;
    if (!r->resident) KX_PlaceTexture(number, 1);
    GlideDevice& d = glideDevice();
    if (r->colourTable && d.lastTable != r->colourTable.get()) {
        grTexDownloadTable(GR_TMU0, r->colourTable->type, &r->colourTable->table);
        d.lastTable = r->colourTable.get();
    }
    grTexSource(GR_TMU0, grTexMinAddress(GR_TMU0) + r->texAddress, GR_MIPMAPLEVELMASK_BOTH,
                &r->info);
    r->lastUsed = engine().frameCounter;
}

int KX_CreateTexture(const char* name, KX_Bitmap* bitmap) {
    OwnedBitmap owned(bitmap);
    const int number = firstFreeRecord();
    if (number < 0) return number;
    TextureRecord& r = textureManager().records[std::size_t(number)];
    r.used = true;
    r.name = name ? name : "";
    if (owned) convertTexture(r, std::move(owned), engine().textureFormat);
    KX_PlaceTexture(number, 0);
    return number;
}

int KX_LoadTexture(const char* fileName) {
    if (!fileName) return resultTextureLoadError;
    const int existing = KX_FindTexture(fileName);
    if (existing >= 0) return existing;
    const int type = KX_ImageTypeOf(fileName);
    if (type == 7) return KX_Load3DF(fileName);
    if (firstFreeRecord() < 0) return resultTextureTableFull;
    std::uint8_t palette[kPaletteSize] = {};
    KX_Bitmap* bitmap = nullptr;
    switch (type) {
    case 1: bitmap = KX_LoadPCX(fileName, palette); break;
    case 3: bitmap = KX_LoadBLK(fileName); break;
    case 4: bitmap = KX_LoadPAK(fileName); break;
    case 5: bitmap = KX_LoadIFF(fileName, palette); break;
    case 6: bitmap = KX_LoadBMP(fileName, palette); break;
    default: break;
    }
    // A texture that cannot be read leaves no record behind, so that the
    // scenes can report it and the position stays empty.
    if (!bitmap) return resultTextureLoadError;
    // Files without a palette of their own keep the current one.
    if (type == 1 || type == 5 || type == 6) std::copy_n(palette, kPaletteSize, engine().palette);
    return KX_CreateTexture(fileName, bitmap);
}

int KX_Load3DF(const char* fileName) {
    if (!fileName) return resultTextureLoadError;
    const int number = firstFreeRecord();
    if (number < 0) return number;
    TextureRecord& r = textureManager().records[std::size_t(number)];
    r.used = true;
    r.name = fileName;
    Gu3dfInfo file{};
    if (!gu3dfGetInfo(fileName, &file)) {
        freeRecord(number);
        return resultTextureLoadError;
    }
    r.data.assign(file.mem_required, 0);
    file.data = r.data.data();
    if (!gu3dfLoad(fileName, &file)) {
        std::fprintf(stderr, "Couldn't load texture file %s.\n", fileName);
        freeRecord(number);
        return resultTextureLoadError;
    }
    r.width = int(file.header.width), r.height = int(file.header.height);
    r.info = {file.header.small_lod, file.header.large_lod, file.header.aspect_ratio,
              file.header.format, r.data.data()};
    aspectScales(r.info.aspectRatio, r.sScale, r.tScale);
    r.texBytes = grTexTextureMemRequired(GR_MIPMAPLEVELMASK_BOTH, &r.info);
    r.from3df = 1;
    const int format = r.info.format;
    if (format == GR_TEXFMT_YIQ_422 || format == GR_TEXFMT_AYIQ_8422 || format == GR_TEXFMT_P_8 ||
        format == GR_TEXFMT_AP_88) {
        r.colourTable = std::make_shared<TextureColourTable>();
        r.colourTable->type = format == GR_TEXFMT_P_8 || format == GR_TEXFMT_AP_88
                                  ? GR_TEXTABLE_PALETTE
                                  : GR_TEXTABLE_NCC0;
        r.colourTable->table = file.table;
    }
    KX_PlaceTexture(number, 0);
    return number;
}

} // namespace umbrek::vastrel
