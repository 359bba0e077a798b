// Textures from bitmap files: upload with mipmaps, the filter set of each
// texture mode, and the Space action that steps through "G3D_*.bmp" beside
// the plug-in.
#pragma once

#include "fennick/gl_entry_points.h"

#include <string>

namespace fennick {

// Reads a bitmap and builds its mipmaps (one-dimensional when the image is
// one pixel high or wide): 0, or -1 when the file gives no image.
int uploadTexture(const GlEntryPoints& gl, const char* path);

// TextureMode 0 turns texturing off; 1 nearest (with the fastest hints), 2
// nearest, 3 bilinear. The linear variant magnifies linearly in every mode
// but 0. 0 when the texture is bound and enabled, else -1 with texturing off.
int loadTexture(const GlEntryPoints& gl, int textureMode, GLuint texture, const char* path);
int loadTextureLinear(const GlEntryPoints& gl, int textureMode, GLuint texture, const char* path);

// One file search at a time over a folder, in the platform's order.
class FileSearch {
public:
    virtual ~FileSearch() = default;
    // Starts a search; false when nothing matches (the search is then closed).
    virtual bool start(const std::string& pattern, std::string& first) = 0;
    virtual bool next(std::string& name) = 0;
    virtual void close() = 0;
};

constexpr const char texturePattern[] = "G3D_*.bmp";

// The search stays open across calls (and module runs); after the last match
// the first comes twice, as a, b, c, a, a, b, c...
struct TextureCycle {
    bool searchOpen = false;
};

// Loads the next match from folder (which ends in a separator) into texture;
// with no match the folder alone is tried, which turns texturing off. Gives
// the path it tried.
std::string cycleTexture(TextureCycle& cycle, FileSearch& search, const std::string& folder,
                         const GlEntryPoints& gl, int textureMode, GLuint texture);

} // namespace fennick
