// The material table and its setters, texture look-up and image types.
#include "umbrek/vastrel/engine.h"

#include <cctype>
#include <cstring>
#include <new>
#include <string>

namespace umbrek::vastrel {

bool sameName(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b)
        if (std::toupper(static_cast<unsigned char>(*a)) !=
            std::toupper(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

int KX_AllocMaterials(int count) {
    Engine& e = engine();
    e.materials.clear();
    try {
        e.materials.resize(count > 0 ? std::size_t(count) : 0);
    } catch (const std::bad_alloc&) {
        std::vector<Material>().swap(e.materials);
        return resultOutOfMemory;
    }
    for (std::size_t i = 0; i < e.materials.size(); ++i) {
        Material& m = e.materials[i];
        KX_SetMaterialColour(m, 255, 255, 255);
        for (int slot = 1; slot <= 4; ++slot) KX_SetMaterialDistanceMaterial(m, slot, int(i));
    }
    return resultSuccess;
}

void KX_FreeMaterials() {
    std::vector<Material>().swap(engine().materials);
}

int KX_AddMaterial(const Material& material) {
    auto& table = engine().materials;
    for (std::size_t i = 0; i < table.size(); ++i)
        if (table[i].name[0] == 0) {
            table[i] = material;
            return int(i);
        }
    return resultMaterialTableFull;
}

int KX_FindMaterial(const char* name) {
    if (!name) return resultMaterialNotFound;
    const auto& table = engine().materials;
    for (std::size_t i = 0; i < table.size(); ++i)
        if (sameName(table[i].name, name)) return int(i);
    return resultMaterialNotFound;
}

int KX_FindTexture(const char* name) {
    const TextureTable* textures = engine().textures;
    if (!name || !textures) return resultTextureNotFound;
    for (int i = 0; i < textures->count(); ++i) {
        const TextureInfo info = textures->info(i);
        if (info.name && sameName(info.name, name)) return i;
    }
    return resultTextureNotFound;
}

int KX_SetMaterialName(Material& material, const char* name) {
    // The field holds 18 characters; longer names are cut.
    const std::size_t n = name ? strnlen(name, materialNameSize - 1) : 0;
    if (n) std::memcpy(material.name, name, n);
    material.name[n] = 0;
    return int(n) + 1;
}

void KX_SetMaterialShadeMode(Material& material, int mode) {
    material.shadeMode = mode;
}

void KX_SetMaterialTexture(Material& material, int texture) {
    material.texture = texture;
}

void KX_SetMaterialPaletteBase(Material& material, int base) {
    material.paletteBase = std::uint8_t(base);
}

void KX_SetMaterialShadeCount(Material& material, int count) {
    material.shadeCount = count;
}

void KX_SetMaterialEnvironment(Material& material, int on) {
    material.environment = std::uint8_t(on);
}

void KX_SetMaterialDistanceSwitching(Material& material, int on) {
    material.distanceSwitching = std::uint8_t(on);
}

void KX_SetMaterialColour(Material& material, float red, float green, float blue) {
    material.red = red, material.green = green, material.blue = blue;
}

void KX_SetMaterialAlpha(Material& material, std::uint8_t alpha) {
    material.alpha = alpha;
}

void KX_SetMaterialDistanceMaterial(Material& material, int slot, int number) {
    if (slot >= 1 && slot <= 4) material.distanceMaterial[slot - 1] = std::uint16_t(number);
}

int KX_ImageTypeOf(const char* fileName) {
    if (!fileName) return 0;
    const char* dot = std::strrchr(fileName, '.');
    if (!dot || std::strpbrk(dot, "\\/")) return 0;
    static const struct {
        const char* extension;
        int type;
    } types[] = {{".PCX", 1}, {".BLK", 3}, {".PAK", 4}, {".LBM", 5},
                 {".IFF", 5}, {".BMP", 6}, {".3DF", 7}};
    for (const auto& t : types)
        if (sameName(dot, t.extension)) return t.type;
    return 0;
}

void KX_SetTextureFormat(int format) {
    engine().textureFormat = format;
}

} // namespace umbrek::vastrel
