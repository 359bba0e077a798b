#include "fennick/texture.h"

#include "fennick/bitmap.h"
#include "fennick/settings.h"

namespace fennick {

int uploadTexture(const GlEntryPoints& gl, const char* path) {
    std::optional<BmpImage> bmp = readBmpFile(path);
    if (!bmp) return -1;
    std::optional<RgbImage> image = toRgb(*bmp);
    if (!image) return -1;
    gl.glPixelStorei(glUnpackAlignment, 4);
    gl.glPixelStorei(glUnpackRowLength, 0);
    gl.glPixelStorei(glUnpackSkipRows, 0);
    gl.glPixelStorei(glUnpackSkipPixels, 0);
    const void* data = image->rgb.data();
    if (image->height == 1)
        gl.gluBuild1DMipmaps(glTexture1D, 3, image->width, glRgb, glUnsignedByte, data);
    else if (image->width == 1)
        gl.gluBuild1DMipmaps(glTexture1D, 3, image->height, glRgb, glUnsignedByte, data);
    else
        gl.gluBuild2DMipmaps(glTexture2D, 3, image->width, image->height, glRgb, glUnsignedByte,
                             data);
    return 0;
}

namespace {

int loadWithFilter(const GlEntryPoints& gl, int textureMode, GLuint texture, const char* path,
                   bool linear) {
    textureMode = textureModeAtUse(textureMode);
    if (textureMode == 0) {
        gl.glDisable(glTexture2D);
        return -1;
    }
    gl.glBindTexture(glTexture2D, texture);
    if (uploadTexture(gl, path) != 0) {
        gl.glDisable(glTexture2D);
        return -1;
    }
    gl.glTexParameteri(glTexture2D, glTextureWrapS, glRepeat);
    gl.glTexParameteri(glTexture2D, glTextureWrapT, glRepeat);
    if (linear || textureMode == 3) {
        gl.glTexParameteri(glTexture2D, glTextureMagFilter, glLinear);
    } else {
        gl.glTexParameteri(glTexture2D, glTextureMagFilter, glNearest);
        if (textureMode == 1) {
            gl.glHint(glPerspectiveCorrectionHint, glFastest);
            gl.glHint(glPolygonSmoothHint, glFastest);
        }
    }
    gl.glTexParameteri(glTexture2D, glTextureMinFilter, glNearest);
    gl.glTexEnvi(glTextureEnv, glTextureEnvMode, glBlendEnv);
    gl.glEnable(glTexture2D);
    return 0;
}

} // namespace

int loadTexture(const GlEntryPoints& gl, int textureMode, GLuint texture, const char* path) {
    return loadWithFilter(gl, textureMode, texture, path, false);
}

int loadTextureLinear(const GlEntryPoints& gl, int textureMode, GLuint texture, const char* path) {
    return loadWithFilter(gl, textureMode, texture, path, true);
}

std::string cycleTexture(TextureCycle& cycle, FileSearch& search, const std::string& folder,
                         const GlEntryPoints& gl, int textureMode, GLuint texture) {
    std::string name;
    if (!cycle.searchOpen) {
        cycle.searchOpen = search.start(texturePattern, name);
    } else if (!search.next(name)) {
        search.close();
        cycle.searchOpen = false;
        name.clear();
        if (search.start(texturePattern, name)) search.close();
    }
    std::string path = folder + name;
    loadTexture(gl, textureMode, texture, path.c_str());
    return path;
}

} // namespace fennick
