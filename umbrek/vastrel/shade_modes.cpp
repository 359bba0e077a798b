#include "umbrek/vastrel/shade_modes.h"

#include "umbrek/glide/glide.h"
#include "umbrek/vastrel/camera.h"
#include "umbrek/vastrel/engine.h"
#include "umbrek/vastrel/glide_device.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <utility>
#include <vector>

namespace umbrek::vastrel {

namespace {

// The state calls the groups are made of, in the order a group lists them.
enum StateOp : std::uint8_t {
    colourIterated,      // guColorCombineFunction(2)
    colourDecal,         // guColorCombineFunction(4)
    colourTimesIterated, // guColorCombineFunction(6)
    textureDecal,        // grTexCombineFunction(0, 1)
    biasMinus3,
    biasMinus1,
    bias0,
    testAlways,
    testGreaterThan1, // reference 1, then the test "greater"
    alphaFromTexture, // grAlphaCombine(7, 8, 1, 1, 0)
    alphaSourceIterated,
    alphaSourceTextureTimesIterated,
    blendOpaque,
    blendAlpha,
    blendAdditive,
    blendMultiply,
    scaleByTexture, // grColorCombine, grAlphaCombine (3, 1, 0, 1, 0), grTexCombine(0, 1, 0, 1, 0,
                    // 0, 0)
    endOfState
};

enum ColourRule : std::uint8_t {
    noColour,
    materialColour,
    constantFlat,
    flatLit,
    constantCorners,
    lit,
    packed,
    packedLit,
    fogLit,
    water
};

struct Group {
    int number;
    std::array<StateOp, 8> state;
    ColourRule colour;
    bool textured;
    bool fades;
    bool blendChoice;
};

using S = StateOp;
constexpr std::array<StateOp, 8> flatState = {S::colourIterated, S::bias0, S::testAlways,
                                              S::blendOpaque, S::endOfState};
constexpr std::array<StateOp, 8> decalState = {S::colourDecal, S::textureDecal, S::bias0,
                                               S::testAlways,  S::blendOpaque,  S::endOfState};
constexpr std::array<StateOp, 8> decalCutout = {
    S::colourDecal,      S::textureDecal, S::bias0,     S::testGreaterThan1,
    S::alphaFromTexture, S::blendAlpha,   S::endOfState};
constexpr std::array<StateOp, 8> modulated = {
    S::colourTimesIterated, S::textureDecal, S::bias0,
    S::blendOpaque,         S::testAlways,   S::endOfState};
constexpr std::array<StateOp, 8> modulatedCutout = {
    S::colourTimesIterated, S::textureDecal, S::bias0,     S::testGreaterThan1,
    S::alphaFromTexture,    S::blendAlpha,   S::endOfState};
constexpr std::array<StateOp, 8> translucent = {
    S::colourDecal, S::textureDecal, S::bias0,     S::alphaSourceIterated,
    S::blendAlpha,  S::testAlways,   S::endOfState};
constexpr std::array<StateOp, 8> translucentCutout = {
    S::colourDecal,      S::textureDecal,     S::bias0,
    S::testGreaterThan1, S::alphaFromTexture, S::alphaSourceTextureTimesIterated,
    S::blendAlpha,       S::endOfState};
constexpr std::array<StateOp, 8> modulatedTranslucentCutout = {
    S::colourTimesIterated, S::textureDecal,     S::bias0,
    S::testGreaterThan1,    S::alphaFromTexture, S::alphaSourceTextureTimesIterated,
    S::blendAlpha,          S::endOfState};
constexpr std::array<StateOp, 8> additive = {
    S::colourDecal,   S::textureDecal, S::biasMinus1, S::alphaSourceIterated,
    S::blendAdditive, S::testAlways,   S::endOfState};
constexpr std::array<StateOp, 8> multiply = {S::biasMinus1,  S::scaleByTexture, S::blendMultiply,
                                             S::colourDecal, S::testAlways,     S::endOfState};
constexpr std::array<StateOp, 8> translucentColour = {S::colourIterated,      S::bias0,
                                                      S::alphaSourceIterated, S::blendAlpha,
                                                      S::testAlways,          S::endOfState};
constexpr std::array<StateOp, 8> translucentModulated = {
    S::colourTimesIterated, S::textureDecal, S::bias0,     S::alphaSourceIterated,
    S::blendAlpha,          S::testAlways,   S::endOfState};
constexpr std::array<StateOp, 8> fadingFlat = {S::colourIterated, S::alphaSourceIterated,
                                               S::testAlways, S::bias0, S::endOfState};
constexpr std::array<StateOp, 8> fadingDecal = {S::colourDecal, S::textureDecal, S::bias0,
                                                S::testAlways,  S::blendOpaque,  S::endOfState};
constexpr std::array<StateOp, 8> fadingModulated = {S::colourTimesIterated, S::textureDecal,
                                                    S::bias0, S::testAlways, S::endOfState};
constexpr std::array<StateOp, 8> fadingPacked = {S::colourIterated, S::bias0, S::testAlways,
                                                 S::endOfState};
constexpr std::array<StateOp, 8> lineState = {S::colourIterated, S::biasMinus3, S::testAlways,
                                              S::blendOpaque, S::endOfState};

// The 44 families; the L, W and P variants of a name share their family.
constexpr Group groups[] = {
    {1, lineState, materialColour, false, false, false},
    {2, flatState, constantFlat, false, false, false},
    {3, flatState, flatLit, false, false, false},
    {4, flatState, constantCorners, false, false, false},
    {5, flatState, lit, false, false, false},
    {8, decalState, noColour, true, false, false},
    {10, decalCutout, noColour, true, false, false},
    {14, modulated, constantFlat, true, false, false},
    {16, modulatedCutout, constantFlat, true, false, false},
    {18, modulated, flatLit, true, false, false},
    {20, modulatedCutout, flatLit, true, false, false},
    {26, modulated, constantCorners, true, false, false},
    {28, modulatedCutout, constantCorners, true, false, false},
    {30, modulated, lit, true, false, false},
    {34, modulatedCutout, lit, true, false, false},
    {38, translucent, noColour, true, false, false},
    {40, translucentCutout, noColour, true, false, false},
    {69, additive, noColour, true, false, false},
    {70, multiply, noColour, true, false, false},
    {71, translucentColour, lit, false, false, false},
    {72, translucentModulated, lit, true, false, false},
    {73, flatState, packed, false, false, false},
    {74, modulated, packed, true, false, false},
    {75, flatState, packedLit, false, false, false},
    {76, modulated, packedLit, true, false, false},
    {77, fadingFlat, fogLit, false, true, true},
    {78, fadingDecal, noColour, true, true, true},
    {79, translucentCutout, noColour, true, true, false},
    {80, fadingModulated, flatLit, true, true, true},
    {81, modulatedTranslucentCutout, flatLit, true, true, false},
    {82, fadingModulated, lit, true, true, true},
    {83, modulatedTranslucentCutout, lit, true, true, false},
    {84, translucent, noColour, true, true, true},
    {85, translucentCutout, noColour, true, true, false},
    {86, additive, noColour, true, true, false},
    {95, multiply, noColour, true, true, false},
    {87, translucentColour, lit, false, true, false},
    {88, translucentModulated, lit, true, true, false},
    {89, fadingPacked, packed, false, true, true},
    {90, fadingModulated, packed, true, true, true},
    {91, fadingPacked, packedLit, false, true, true},
    {92, fadingModulated, packedLit, true, true, true},
    {93, translucentModulated, water, true, false, false},
    {94, translucentModulated, water, true, true, false},
};
constexpr int groupCount = int(std::size(groups));
static_assert(groupCount == 44);

// Mode -> group number, and the deferred (see-through) modes.
constexpr std::uint8_t groupOfMode[namedShadeModes] = {
    0,  1,  2,  3,  4,  5,  8,  10, 8,  8,  10, 10, 14, 16, 14, 14, 16, 16, 18, 18, 20, 20, 18, 20,
    26, 28, 26, 26, 28, 28, 30, 34, 30, 30, 34, 34, 38, 40, 38, 38, 40, 40, 4,  5,  8,  8,  10, 10,
    14, 14, 16, 16, 18, 18, 20, 20, 26, 26, 28, 28, 30, 30, 34, 34, 38, 38, 40, 40, 3,  69, 70, 71,
    72, 73, 74, 75, 76, 77, 78, 79, 80, 81, 82, 83, 84, 85, 86, 87, 88, 89, 90, 91, 92, 93, 94, 95};

bool deferredMode(int mode) {
    switch (groupOfMode[mode]) {
    case 10:
    case 16:
    case 20:
    case 28:
    case 34:
    case 38:
    case 40:
    case 69:
    case 70:
    case 71:
    case 72:
    case 79:
    case 81:
    case 83:
    case 85:
    case 86:
    case 87:
    case 88:
    case 93:
    case 94:
    case 95: return true;
    case 3: return mode == 68;
    default: return false;
    }
}

constexpr const char* modeNames[namedShadeModes] = {"NULL_TYPE",
                                                    "T_WIREFRAME",
                                                    "T_CFLAT",
                                                    "T_FLAT",
                                                    "T_CGOURAUD",
                                                    "T_GOURAUD",
                                                    "T_LTEXTURED",
                                                    "T_LXTEXTURED",
                                                    "T_TEXTURED",
                                                    "T_WTEXTURED",
                                                    "T_XTEXTURED",
                                                    "T_XWTEXTURED",
                                                    "T_LCFLAT_TEXTURED",
                                                    "T_LXCFLAT_TEXTURED",
                                                    "T_CFLAT_TEXTURED",
                                                    "T_WCFLAT_TEXTURED",
                                                    "T_XCFLAT_TEXTURED",
                                                    "T_XWCFLAT_TEXTURED",
                                                    "T_FLAT_TEXTURED",
                                                    "T_WFLAT_TEXTURED",
                                                    "T_XFLAT_TEXTURED",
                                                    "T_XWFLAT_TEXTURED",
                                                    "T_LFLAT_TEXTURED",
                                                    "T_LXFLAT_TEXTURED",
                                                    "T_LCGOURAUD_TEXTURED",
                                                    "T_LXCGOURAUD_TEXTURED",
                                                    "T_CGOURAUD_TEXTURED8",
                                                    "T_WCGOURAUD_TEXTURED8",
                                                    "T_XCGOURAUD_TEXTURED8",
                                                    "T_XWCGOURAUD_TEXTURED8",
                                                    "T_LGOURAUD_TEXTURED",
                                                    "T_LXGOURAUD_TEXTURED",
                                                    "T_GOURAUD_TEXTURED8",
                                                    "T_WGOURAUD_TEXTURED8",
                                                    "T_XGOURAUD_TEXTURED8",
                                                    "T_XWGOURAUD_TEXTURED8",
                                                    "T_LTRANSLUCENT_TEXTURED",
                                                    "T_LXTRANSLUCENT_TEXTURED",
                                                    "T_TRANSLUCENT_TEXTURED",
                                                    "T_WTRANSLUCENT_TEXTURED",
                                                    "T_XTRANSLUCENT_TEXTURED",
                                                    "T_XWTRANSLUCENT_TEXTURED",
                                                    "T_PCGOURAUD",
                                                    "T_PGOURAUD",
                                                    "T_PTEXTURED",
                                                    "T_PWTEXTURED",
                                                    "T_PXTEXTURED",
                                                    "T_PXWTEXTURED",
                                                    "T_PCFLAT_TEXTURED",
                                                    "T_PWCFLAT_TEXTURED",
                                                    "T_PXCFLAT_TEXTURED",
                                                    "T_PXWCFLAT_TEXTURED",
                                                    "T_PFLAT_TEXTURED",
                                                    "T_PWFLAT_TEXTURED",
                                                    "T_PXFLAT_TEXTURED",
                                                    "T_PXWFLAT_TEXTURED",
                                                    "T_PCGOURAUD_TEXTURED",
                                                    "T_PWCGOURAUD_TEXTURED",
                                                    "T_PXCGOURAUD_TEXTURED",
                                                    "T_PXWCGOURAUD_TEXTURED",
                                                    "T_PGOURAUD_TEXTURED",
                                                    "T_PWGOURAUD_TEXTURED",
                                                    "T_PXGOURAUD_TEXTURED",
                                                    "T_PXWGOURAUD_TEXTURED",
                                                    "T_PTRANSLUCENT_TEXTURED",
                                                    "T_PWTRANSLUCENT_TEXTURED",
                                                    "T_PXTRANSLUCENT_TEXTURED",
                                                    "T_PXWTRANSLUCENT_TEXTURED",
                                                    "T_SOURCETRANSFORM",
                                                    "T_LIGHTMAP_ADD",
                                                    "T_LIGHTMAP_TIMES",
                                                    "T_TRANSLUCENT_GOURAUD",
                                                    "T_TRANSGOUR_TEXTURED",
                                                    "T_RGB_GOURAUD",
                                                    "T_RGB_TEXTURED",
                                                    "T_RGB_GOURAUD_DYN",
                                                    "T_RGB_TEXTURED_DYN",
                                                    "T_FOG_GOURAUD",
                                                    "T_FOG_TEXTURED",
                                                    "T_FOG_XTEXTURED",
                                                    "T_FOG_FLAT_TEXTURED",
                                                    "T_FOG_XFLAT_TEXTURED",
                                                    "T_FOG_GOURAUD_TEXTURED",
                                                    "T_FOG_XGOURAUD_TEXTURED",
                                                    "T_FOG_TRANSLUCENT_TEXTURED",
                                                    "T_FOG_XTRANSLUCENT_TEXTURED",
                                                    "T_FOG_LIGHTMAP_ADD",
                                                    "T_FOG_TRANSLUCENT_GOURAUD",
                                                    "T_FOG_TRANSGOUR_TEXTURED",
                                                    "T_FOG_RGB_GOURAUD",
                                                    "T_FOG_RGB_TEXTURED",
                                                    "T_FOG_RGB_GOURAUD_DYN",
                                                    "T_FOG_RGB_TEXTURED_DYN",
                                                    "T_WATER_SPECIAL",
                                                    "T_FOG_WATER_SPECIAL",
                                                    "T_FOG_LIGHTMAP_TIMES"};

std::array<ShadeModeEntry, shadeModeCount> registry;

void applyStateOp(StateOp op) {
    switch (op) {
    case colourIterated: guColorCombineFunction(GR_COLORCOMBINE_ITRGB); break;
    case colourDecal: guColorCombineFunction(GR_COLORCOMBINE_DECAL_TEXTURE); break;
    case colourTimesIterated: guColorCombineFunction(GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB); break;
    case textureDecal: grTexCombineFunction(GR_TMU0, GR_TEXTURECOMBINE_DECAL); break;
    case biasMinus3: grDepthBiasLevel(-3); break;
    case biasMinus1: grDepthBiasLevel(-1); break;
    case bias0: grDepthBiasLevel(0); break;
    case testAlways: grAlphaTestFunction(GR_CMP_ALWAYS); break;
    case testGreaterThan1:
        grAlphaTestReferenceValue(1);
        grAlphaTestFunction(GR_CMP_GREATER);
        break;
    case alphaFromTexture:
        grAlphaCombine(GR_COMBINE_FUNCTION_BLEND, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_CONSTANT,
                       GR_COMBINE_OTHER_TEXTURE, FXFALSE);
        break;
    case alphaSourceIterated: guAlphaSource(GR_ALPHASOURCE_ITERATED_ALPHA); break;
    case alphaSourceTextureTimesIterated:
        guAlphaSource(GR_ALPHASOURCE_TEXTURE_ALPHA_TIMES_ITERATED_ALPHA);
        break;
    case blendOpaque:
        grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
        break;
    case blendAlpha:
        grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ONE,
                             GR_BLEND_ZERO);
        break;
    case blendAdditive:
        grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE, GR_BLEND_ONE, GR_BLEND_ZERO);
        break;
    case blendMultiply:
        grAlphaBlendFunction(GR_BLEND_DST_COLOR, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
        break;
    case scaleByTexture:
        grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL,
                       GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE, FXFALSE);
        grAlphaCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL,
                       GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE, FXFALSE);
        grTexCombine(GR_TMU0, 1, 0, 1, 0, FXFALSE, FXFALSE);
        break;
    case endOfState: break;
    }
}

float clamp255(float v) {
    return std::clamp(v, 0.0f, 255.0f);
}

float cornerFloat(const Face& face, int i) {
    return std::bit_cast<float>(face.cornerValue[i]);
}

void setColour(ScreenVertex& v, float r, float g, float b) {
    v.r = clamp255(r), v.g = clamp255(g), v.b = clamp255(b);
}

void unpack(ScreenVertex& v, std::uint32_t packedColour) {
    v.r = float(packedColour & 0xFF);
    v.g = float((packedColour >> 8) & 0xFF);
    v.b = float((packedColour >> 16) & 0xFF);
}

void lightCorner(const ShadeContext& c, int i) {
    Engine& e = engine();
    e.lightSum[0] = e.lightSum[1] = e.lightSum[2] = 0;
    e.device.lightVertex(c.face->corner[i], c.screen[i]);
}

// Corner i's alpha after the fog band; water starts from its own alpha.
float faded(float alpha, float z) {
    const GlideDevice& d = glideDevice();
    if (z > d.fogFar) return 0;
    if (z > d.fogNear) return alpha * (1 - std::min(1.0f, (z - d.fogNear) * d.fogScale));
    return alpha;
}

void computeVertices(const Group& g, ShadeContext& c, const Material& m) {
    Engine& e = engine();
    Face& face = *c.face;
    const auto material = std::uint16_t(c.material);
    const float mc[3] = {m.red, m.green, m.blue};
    bool needsWork[3];
    for (int i = 0; i < 3; ++i) {
        needsWork[i] = c.screen[i]->colourMaterial != material;
        c.screen[i]->a = m.alpha;
    }
    switch (g.colour) {
    case noColour: break;
    case materialColour:
        for (ScreenVertex* v : c.screen) setColour(*v, mc[0], mc[1], mc[2]);
        break;
    case constantFlat: {
        const float k = cornerFloat(face, 0);
        for (ScreenVertex* v : c.screen) setColour(*v, k * mc[0], k * mc[1], k * mc[2]);
        break;
    }
    case flatLit: {
        e.lightSum[0] = e.lightSum[1] = e.lightSum[2] = 0;
        KX_LightFace(&face);
        const float k = std::max(cornerFloat(face, 0), 0.0f);
        for (ScreenVertex* v : c.screen)
            setColour(*v, e.lightSum[0] + k * mc[0], e.lightSum[1] + k * mc[1],
                      e.lightSum[2] + k * mc[2]);
        break;
    }
    case constantCorners:
        for (int i = 0; i < 3; ++i) {
            const float k = cornerFloat(face, i);
            setColour(*c.screen[i], k * mc[0], k * mc[1], k * mc[2]);
        }
        break;
    case lit:
    case fogLit:
    case water:
        for (int i = 0; i < 3; ++i) {
            if (!needsWork[i]) continue;
            lightCorner(c, i);
            const float k = g.colour == fogLit ? 0 : std::max(cornerFloat(face, i), 0.0f);
            setColour(*c.screen[i], e.lightSum[0] + k * mc[0], e.lightSum[1] + k * mc[1],
                      e.lightSum[2] + k * mc[2]);
            c.screen[i]->colourMaterial =
                g.colour == water && cornerFloat(face, i) > 0 ? colourForThisFaceOnly : material;
        }
        break;
    case packed:
        for (int i = 0; i < 3; ++i) unpack(*c.screen[i], face.cornerValue[i]);
        break;
    case packedLit:
        for (int i = 0; i < 3; ++i) {
            unpack(*c.screen[i], face.cornerValue[i]);
            lightCorner(c, i);
            ScreenVertex& v = *c.screen[i];
            v.r = std::min(v.r + e.lightSum[0], 255.0f);
            v.g = std::min(v.g + e.lightSum[1], 255.0f);
            v.b = std::min(v.b + e.lightSum[2], 255.0f);
            v.colourMaterial = colourForThisFaceOnly;
        }
        break;
    }
    if (g.colour == water) {
        static constexpr int cornerBit[3] = {1, 4, 2};
        for (int i = 0; i < 3; ++i)
            if (face.backMaterial & cornerBit[i]) c.screen[i]->a = 255;
    }
    if (g.fades) {
        for (int i = 0; i < 3; ++i) {
            ScreenVertex& v = *c.screen[i];
            const float start = g.colour == water ? v.a : 255.0f;
            // A corner already done for this material was not faded.
            if (!needsWork[i]) {
                v.a = start;
                continue;
            }
            v.a = faded(start, v.z);
            if (v.a != start)
                v.colourMaterial = colourForThisFaceOnly;
            else if (g.colour != packedLit &&
                     !(g.colour == water && v.colourMaterial == colourForThisFaceOnly))
                v.colourMaterial = material;
        }
    }
    if (g.textured) {
        for (int i = 0; i < 3; ++i) {
            ScreenVertex& v = *c.screen[i];
            if (!m.environment) {
                v.s = face.u[i], v.t = face.v[i];
                continue;
            }
            const std::int16_t* n = face.corner[i]->worldNormal;
            const float nx = float(n[0] >> 3), ny = float(n[1] >> 3), nz = float(n[2] >> 3);
            switch (m.environmentAxes) {
            case 0: v.s = 128 + nz, v.t = 128 - ny; break;
            case 1: v.s = 128 + nx, v.t = 128 - nz; break;
            default: v.s = 128 + nx, v.t = 128 - ny; break;
            }
        }
        c.perspective = true;
    }
}

void applyState(const Group& g, ShadeContext& c, const Material& m) {
    Engine& e = engine();
    GlideDevice& d = glideDevice();
    if (g.textured && e.lastBoundMaterial != c.material) {
        if (d.bindTexture) d.bindTexture(m.texture);
        e.lastBoundMaterial = c.material;
    }
    if (d.appliedGroup != g.number) {
        for (StateOp op : g.state) {
            if (op == endOfState) break;
            applyStateOp(op);
        }
        d.appliedGroup = g.number;
        c.blendChoice = -1;
    }
    if (!g.blendChoice) return;
    const int fadedNow =
        std::any_of(std::begin(c.screen), std::end(c.screen), [](const ScreenVertex* v) {
            return v->colourMaterial == colourForThisFaceOnly;
        });
    if (fadedNow == c.blendChoice) return;
    if (fadedNow) {
        guAlphaSource(GR_ALPHASOURCE_ITERATED_ALPHA);
        grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ONE,
                             GR_BLEND_ZERO);
    } else {
        grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
    }
    c.blendChoice = fadedNow;
}

template <int Index>
void familyCallback() {
    const Group& g = groups[Index];
    ShadeContext& c = shadeContext();
    std::vector<Material>& materials = engine().materials;
    if (c.material < 0 || c.material >= int(materials.size()) || !c.screen[0] || !c.screen[1] ||
        !c.screen[2])
        return;
    const Material& m = materials[std::size_t(c.material)];
    // The fading families decide their blending from the faded corners, so
    // their vertices come first.
    // The flush of deferred triangles applies state only, without a face.
    const bool compute = c.computeVertices && c.face;
    if (compute && g.fades) computeVertices(g, c, m);
    if (c.applyState) applyState(g, c, m);
    if (compute && !g.fades) computeVertices(g, c, m);
}

template <std::size_t... I>
constexpr std::array<ShadeCallback, groupCount> makeCallbacks(std::index_sequence<I...>) {
    return {&familyCallback<int(I)>...};
}

constexpr std::array<ShadeCallback, groupCount> callbacks =
    makeCallbacks(std::make_index_sequence<groupCount>());

int groupIndex(int number) {
    for (int i = 0; i < groupCount; ++i)
        if (groups[i].number == number) return i;
    return -1;
}

} // namespace

ShadeContext& shadeContext() {
    static ShadeContext context;
    return context;
}

ShadeModeEntry* shadeModes() {
    return registry.data();
}

int KX_RegisterShadeMode(int mode, ShadeCallback callback, bool deferred) {
    if (mode >= 0 && mode < shadeModeCount) registry[std::size_t(mode)] = {callback, deferred};
    return mode;
}

void KX_InitShadeModes() {
    registry.fill({});
    for (int mode = 1; mode < namedShadeModes; ++mode)
        KX_RegisterShadeMode(mode, callbacks[std::size_t(groupIndex(groupOfMode[mode]))],
                             deferredMode(mode));
}

const char* shadeModeName(int mode) {
    return mode >= 0 && mode < namedShadeModes ? modeNames[mode] : nullptr;
}

int shadeModeGroup(int mode) {
    if (mode < 0 || mode >= shadeModeCount || !registry[std::size_t(mode)].callback) return -1;
    for (int i = 0; i < groupCount; ++i)
        if (callbacks[std::size_t(i)] == registry[std::size_t(mode)].callback)
            return groups[i].number;
    return -1;
}

void setCurrentFace(Face* face, int material) {
    ShadeContext& c = shadeContext();
    c.face = face;
    c.material = material;
    for (int i = 0; i < 3; ++i)
        c.screen[i] = face && face->corner[i] ? face->corner[i]->screen : nullptr;
    Engine& e = engine();
    e.currentFace = face;
    e.currentMaterial = material;
}

} // namespace umbrek::vastrel
