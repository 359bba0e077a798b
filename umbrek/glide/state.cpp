// The rendering-state calls. Codes outside the tables leave the state as it was.
#include "umbrek/glide/board.h"
#include "umbrek/glide/texture.h"

#include <algorithm>
#include <cstring>

using namespace umbrek::glide;

namespace {

RenderState* state() {
    return ready() ? &board().state : nullptr;
}

bool validCompare(int32_t f) {
    return f >= GR_CMP_NEVER && f <= GR_CMP_ALWAYS;
}

bool validBlend(int32_t f) {
    return f == GR_BLEND_ZERO || f == GR_BLEND_SRC_ALPHA || f == GR_BLEND_DST_COLOR ||
           f == GR_BLEND_ONE || f == GR_BLEND_ONE_MINUS_SRC_ALPHA ||
           f == GR_BLEND_ONE_MINUS_DST_COLOR;
}

int32_t clampTo(FxU32 v, int limit) {
    return int32_t(std::min<FxU32>(v, FxU32(limit)));
}

} // namespace

extern "C" {

void grRenderBuffer(GrBuffer_t buffer) {
    trace("grRenderBuffer", buffer);
    if (RenderState* s = state(); s && (buffer == 0 || buffer == 1)) s->renderBuffer = buffer;
}

void grClipWindow(FxU32 minX, FxU32 minY, FxU32 maxX, FxU32 maxY) {
    trace("grClipWindow", minX, minY, maxX, maxY);
    RenderState* s = state();
    if (!s) return;
    const Board& b = board();
    s->clipX0 = clampTo(minX, b.width);
    s->clipY0 = clampTo(minY, b.height);
    s->clipX1 = std::max(s->clipX0, clampTo(maxX, b.width));
    s->clipY1 = std::max(s->clipY0, clampTo(maxY, b.height));
}

void grColorMask(FxBool rgb, FxBool alpha) {
    trace("grColorMask", rgb, alpha);
    if (RenderState* s = state()) s->colourMask = rgb != 0;
}

void grDepthMask(FxBool on) {
    trace("grDepthMask", on);
    if (RenderState* s = state()) s->depthMask = on != 0;
}

void grDepthBufferMode(GrDepthBufferMode_t mode) {
    trace("grDepthBufferMode", mode);
    RenderState* s = state();
    if (s && (mode == GR_DEPTHBUFFER_DISABLE || mode == GR_DEPTHBUFFER_WBUFFER))
        s->depthMode = uint8_t(mode);
}

void grDepthBufferFunction(GrCmpFnc_t function) {
    trace("grDepthBufferFunction", function);
    if (RenderState* s = state(); s && validCompare(function)) s->depthFunction = uint8_t(function);
}

void grDepthBiasLevel(FxI16 level) {
    trace("grDepthBiasLevel", level);
    if (RenderState* s = state()) s->depthBias = level;
}

// The board draws every triangle; the engine culls.
void grCullMode(GrCullMode_t mode) {
    trace("grCullMode", mode);
}

void grConstantColorValue(GrColor_t colour) {
    trace("grConstantColorValue", colour);
    if (RenderState* s = state()) s->constantColour = colour;
}

void guColorCombineFunction(GrColorCombineFnc_t function) {
    trace("guColorCombineFunction", function);
    RenderState* s = state();
    if (!s) return;
    switch (function) {
    case GR_COLORCOMBINE_CCRGB: s->colour = ColourSource::Constant; break;
    case GR_COLORCOMBINE_ITRGB: s->colour = ColourSource::Iterated; break;
    case GR_COLORCOMBINE_DECAL_TEXTURE: s->colour = ColourSource::Texture; break;
    case GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB: s->colour = ColourSource::TextureTimesIterated; break;
    default: break;
    }
}

// Only the combinations the engine uses: other × local with the texture as
// other and the iterated value as local, and for alpha the texture's own.
void grColorCombine(GrCombineFunction_t function, GrCombineFactor_t factor, GrCombineLocal_t local,
                    GrCombineOther_t other, FxBool invert) {
    trace("grColorCombine", function, factor, local, other, invert);
    RenderState* s = state();
    if (s && function == GR_COMBINE_FUNCTION_SCALE_OTHER && factor == GR_COMBINE_FACTOR_LOCAL &&
        local == GR_COMBINE_LOCAL_ITERATED && other == GR_COMBINE_OTHER_TEXTURE && !invert)
        s->colour = ColourSource::TextureTimesIterated;
}

void grAlphaCombine(GrCombineFunction_t function, GrCombineFactor_t factor, GrCombineLocal_t local,
                    GrCombineOther_t other, FxBool invert) {
    trace("grAlphaCombine", function, factor, local, other, invert);
    RenderState* s = state();
    if (!s || invert || other != GR_COMBINE_OTHER_TEXTURE) return;
    if (function == GR_COMBINE_FUNCTION_SCALE_OTHER && factor == GR_COMBINE_FACTOR_LOCAL &&
        local == GR_COMBINE_LOCAL_ITERATED)
        s->alpha = AlphaSource::TextureTimesIterated;
    // (other - local) × 1 + local: the texture's alpha, whatever the local.
    else if (function == GR_COMBINE_FUNCTION_BLEND && factor == GR_COMBINE_FACTOR_ONE &&
             (local == GR_COMBINE_LOCAL_ITERATED || local == GR_COMBINE_LOCAL_CONSTANT))
        s->alpha = AlphaSource::Texture;
}

void guAlphaSource(GrAlphaSource_t source) {
    trace("guAlphaSource", source);
    RenderState* s = state();
    if (s && source >= 0 && source <= 3) s->alpha = AlphaSource(source);
}

// The unit always passes its texel on (decal), the only texture combine used.
void grTexCombineFunction(GrChipID_t tmu, GrTextureCombineFnc_t function) {
    trace("grTexCombineFunction", tmu, function);
}

void grTexCombine(GrChipID_t tmu, GrCombineFunction_t rgbFunction, GrCombineFactor_t rgbFactor,
                  GrCombineFunction_t alphaFunction, GrCombineFactor_t alphaFactor,
                  FxBool rgbInvert, FxBool alphaInvert) {
    trace("grTexCombine", tmu, rgbFunction, rgbFactor, alphaFunction, alphaFactor, rgbInvert,
          alphaInvert);
}

void grAlphaBlendFunction(GrAlphaBlendFnc_t rgbSource, GrAlphaBlendFnc_t rgbDestination,
                          GrAlphaBlendFnc_t alphaSource, GrAlphaBlendFnc_t alphaDestination) {
    trace("grAlphaBlendFunction", rgbSource, rgbDestination, alphaSource, alphaDestination);
    RenderState* s = state();
    if (!s || !validBlend(rgbSource) || !validBlend(rgbDestination) || !validBlend(alphaSource) ||
        !validBlend(alphaDestination))
        return;
    s->blend[0] = uint8_t(rgbSource);
    s->blend[1] = uint8_t(rgbDestination);
    s->blend[2] = uint8_t(alphaSource);
    s->blend[3] = uint8_t(alphaDestination);
}

void grAlphaTestFunction(GrCmpFnc_t function) {
    trace("grAlphaTestFunction", function);
    if (RenderState* s = state(); s && validCompare(function)) s->alphaFunction = uint8_t(function);
}

void grAlphaTestReferenceValue(GrAlpha_t value) {
    trace("grAlphaTestReferenceValue", value);
    if (RenderState* s = state()) s->alphaReference = value;
}

void grChromakeyMode(GrChromakeyMode_t mode) {
    trace("grChromakeyMode", mode);
    RenderState* s = state();
    if (s && (mode == GR_CHROMAKEY_DISABLE || mode == GR_CHROMAKEY_ENABLE))
        s->chroma = mode == GR_CHROMAKEY_ENABLE;
}

void grChromakeyValue(GrColor_t value) {
    trace("grChromakeyValue", value);
    if (RenderState* s = state()) s->chromaValue = value;
}

void grTexMipMapMode(GrChipID_t tmu, GrMipMapMode_t mode, FxBool lodBlend) {
    trace("grTexMipMapMode", tmu, mode, lodBlend);
    RenderState* s = state();
    if (!s || tmu != GR_TMU0 || mode < GR_MIPMAP_DISABLE || mode > GR_MIPMAP_NEAREST_DITHER) return;
    s->mipMapMode = uint8_t(mode);
    s->lodBlend = lodBlend != 0;
}

void grTexFilterMode(GrChipID_t tmu, GrTextureFilterMode_t minFilter,
                     GrTextureFilterMode_t magFilter) {
    trace("grTexFilterMode", tmu, minFilter, magFilter);
    RenderState* s = state();
    auto valid = [](int32_t f) {
        return f == GR_TEXTUREFILTER_POINT_SAMPLED || f == GR_TEXTUREFILTER_BILINEAR;
    };
    if (!s || tmu != GR_TMU0 || !valid(minFilter) || !valid(magFilter)) return;
    s->minFilter = uint8_t(minFilter);
    s->magFilter = uint8_t(magFilter);
}

// Textures always wrap; wrap is the only mode accepted.
void grTexClampMode(GrChipID_t tmu, GrTextureClampMode_t s, GrTextureClampMode_t t) {
    trace("grTexClampMode", tmu, s, t);
}

void grGlideGetState(GrState* out) {
    trace("grGlideGetState");
    if (!out || !ready()) return;
    std::memset(out, 0, sizeof *out);
    std::memcpy(out, &board().state, sizeof(RenderState));
}

void grGlideSetState(const GrState* in) {
    trace("grGlideSetState");
    if (!in || !ready()) return;
    RenderState s;
    std::memcpy(static_cast<void*>(&s), in, sizeof s);
    // Only a state this board saved is taken: every code inside its table,
    // the clip inside this screen and the texture inside texture memory.
    const Board& b = board();
    Layout layout;
    const TextureSource& t = s.texture;
    const bool valid =
        uint8_t(s.colour) <= uint8_t(ColourSource::TextureTimesIterated) &&
        uint8_t(s.alpha) <= uint8_t(AlphaSource::TextureTimesIterated) && validBlend(s.blend[0]) &&
        validBlend(s.blend[1]) && validBlend(s.blend[2]) && validBlend(s.blend[3]) &&
        validCompare(s.alphaFunction) && validCompare(s.depthFunction) &&
        (s.depthMode == GR_DEPTHBUFFER_DISABLE || s.depthMode == GR_DEPTHBUFFER_WBUFFER) &&
        (s.renderBuffer == 0 || s.renderBuffer == 1) && 0 <= s.clipX0 && s.clipX0 <= s.clipX1 &&
        s.clipX1 <= b.width && 0 <= s.clipY0 && s.clipY0 <= s.clipY1 && s.clipY1 <= b.height &&
        s.minFilter <= GR_TEXTUREFILTER_BILINEAR && s.magFilter <= GR_TEXTUREFILTER_BILINEAR &&
        s.mipMapMode <= GR_MIPMAP_NEAREST_DITHER &&
        (s.fogMode == GR_FOG_DISABLE || s.fogMode == GR_FOG_WITH_TABLE) &&
        (!t.set || (describe(t.smallLod, t.largeLod, t.aspect, t.format, layout) &&
                    uint64_t(t.start) + layout.size <= b.textureMemory.size()));
    if (valid) board().state = s;
}

void grDisableAllEffects(void) {
    trace("grDisableAllEffects");
    RenderState* s = state();
    if (!s) return;
    s->blend[0] = s->blend[2] = GR_BLEND_ONE;
    s->blend[1] = s->blend[3] = GR_BLEND_ZERO;
    s->alphaFunction = GR_CMP_ALWAYS;
    s->chroma = false;
    s->depthMode = GR_DEPTHBUFFER_DISABLE;
    s->fogMode = GR_FOG_DISABLE;
}

void grFogColorValue(GrColor_t colour) {
    trace("grFogColorValue", colour);
    if (RenderState* s = state()) s->fogColour = colour;
}

void grFogMode(GrFogMode_t mode) {
    trace("grFogMode", mode);
    if (RenderState* s = state(); s && (mode == GR_FOG_DISABLE || mode == GR_FOG_WITH_TABLE))
        s->fogMode = uint8_t(mode);
}

void grFogTable(const GrFog_t* table) {
    trace("grFogTable", static_cast<const void*>(table));
    if (RenderState* s = state(); s && table) std::memcpy(s->fogTable, table, GR_FOG_TABLE_SIZE);
}

} // extern "C"
