// What the engine core needs of the loaded textures: find one by name, a
// texture's size and coordinate scales for sprites, and the reset of every
// texture's last use when the frame counter wraps. The device's texture
// manager implements it; tests give a stub.
#pragma once

namespace umbrek::vastrel {

struct TextureInfo {
    const char* name = nullptr; // none for a free record
    int width = 0, height = 0;
    float sScale = 0, tScale = 0;
};

class TextureTable {
public:
    virtual ~TextureTable() = default;
    virtual int count() const = 0;
    // Records 0 to count() - 1; a free record has no name.
    virtual TextureInfo info(int number) const = 0;
    virtual void resetLastUsed() = 0;
};

} // namespace umbrek::vastrel
