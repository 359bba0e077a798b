#include "umbrek/overlay_drawing.h"

#include "umbrek/glide/glide.h"
#include "umbrek/vastrel/engine.h"
#include "umbrek/vastrel/glide_device.h"
#include "umbrek/vastrel/shade_modes.h"

#include <array>

namespace umbrek {

using namespace vastrel;

namespace {

const Material* materialOf(int number) {
    const std::vector<Material>& materials = engine().materials;
    if (number < 0 || number >= int(materials.size())) return nullptr;
    return &materials[std::size_t(number)];
}

void applyOverlayState(ShadeContext& c, const Material& m) {
    Engine& e = engine();
    GlideDevice& d = glideDevice();
    // The engine's caches, not copies of our own: any other material or group
    // applied in between must make these apply again.
    if (e.lastBoundMaterial != c.material) {
        if (d.bindTexture) d.bindTexture(m.texture);
        e.lastBoundMaterial = c.material;
    }
    if (d.appliedGroup == overlayStateGroup) return;
    guColorCombineFunction(GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB);
    grTexCombineFunction(GR_TMU0, GR_TEXTURECOMBINE_DECAL);
    grDepthBiasLevel(0);
    guAlphaSource(GR_ALPHASOURCE_ITERATED_ALPHA);
    grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE, GR_BLEND_ONE, GR_BLEND_ZERO);
    grAlphaTestFunction(GR_CMP_ALWAYS);
    d.appliedGroup = overlayStateGroup;
    c.blendChoice = -1;
}

// The engine's own callback of the replaced mode: its vertex phase is the
// engine's vertex colour set-up for packed corners (colours from the face's
// packed values, the material's opacity, the texture rule, perspective on).
ShadeCallback engineSetup = nullptr;

const GrVertex* board(const ScreenVertex& v) {
    static_assert(sizeof(ScreenVertex) == sizeof(GrVertex));
    return reinterpret_cast<const GrVertex*>(&v);
}

} // namespace

void overlayStateSetup() {
    ShadeContext& c = shadeContext();
    const Material* m = materialOf(c.material);
    if (!m || !c.screen[0] || !c.screen[1] || !c.screen[2]) return;
    if (c.applyState) applyOverlayState(c, *m);
    if (!c.computeVertices || !c.face || !engineSetup) return;
    const bool applyState = c.applyState;
    c.applyState = false;
    engineSetup();
    c.applyState = applyState;
}

void installOverlayStateSetup(int mode) {
    if (mode < 0 || mode >= shadeModeCount) return;
    ShadeModeEntry& entry = shadeModes()[mode];
    if (entry.callback != overlayStateSetup) engineSetup = entry.callback;
    KX_RegisterShadeMode(mode, overlayStateSetup, entry.deferred);
}

void drawEntityScreenRect(Entity* entity, float x1, float y1, float x2, float y2, float oow) {
    if (!entity || !entity->model || entity->model->segments.empty()) return;
    Segment& seg = entity->model->segments.front();
    if (seg.vertices.size() < 5 || seg.screen.size() < 5 || seg.faces.size() < 2) return;
    Engine& e = engine();
    const int material = seg.faces[0].material;
    const Material* m = materialOf(material);
    if (!m || m->shadeMode <= 0 || m->shadeMode >= shadeModeCount) return;
    const ShadeModeEntry& entry = shadeModes()[m->shadeMode];
    float sScale = 1, tScale = 1;
    if (e.textures && m->texture >= 0 && m->texture < e.textures->count()) {
        const TextureInfo info = e.textures->info(m->texture);
        sScale = info.sScale, tScale = info.tScale;
    }
    const GlideDevice& d = glideDevice();
    const float sLow = d.textureCoordinateMin * sScale, sHigh = d.textureCoordinateMax * sScale;
    const float tLow = d.textureCoordinateMin * tScale, tHigh = d.textureCoordinateMax * tScale;
    // The sprite's corners 1-4 lie at (-w, -h), (w, -h), (w, h), (-w, h) with
    // y up: on the screen bottom left, bottom right, top right, top left.
    struct Corner {
        float x, y, s, t;
    };
    const Corner corners[4] = {
        {x1, y2, sLow, tHigh}, {x2, y2, sHigh, tHigh}, {x2, y1, sHigh, tLow}, {x1, y1, sLow, tLow}};
    for (std::size_t i = 0; i < 4; ++i) {
        ScreenVertex& v = seg.screen[i + 1];
        v = ScreenVertex{};
        v.x = corners[i].x, v.y = corners[i].y;
        v.z = oow != 0 ? 1 / oow : 0;
        v.oow = v.oowCopy = oow;
        v.clip = 0;
        v.colourMaterial = noColourMaterial;
        v.r = v.g = v.b = 255;
    }
    for (std::size_t k = 0; k < 2; ++k) {
        // A copy of the face carries the rectangle's texture coordinates, so
        // the model keeps its own for drawing it as a sprite.
        Face face = seg.faces[k];
        for (int i = 0; i < 3; ++i) {
            if (!face.corner[i] || !face.corner[i]->screen) return;
            const auto at = std::size_t(face.corner[i] - seg.vertices.data());
            if (at < 1 || at > 4) return;
            face.u[i] = corners[at - 1].s, face.v[i] = corners[at - 1].t;
        }
        setCurrentFace(&face, material);
        ShadeContext& c = shadeContext();
        c.applyState = true, c.computeVertices = true, c.perspective = false;
        if (entry.callback) entry.callback();
        std::array<ScreenVertex, 3> v = {*c.screen[0], *c.screen[1], *c.screen[2]};
        if (c.perspective)
            for (ScreenVertex& corner : v) corner.s *= corner.oow, corner.t *= corner.oow;
        ++e.trianglesDrawn;
        grDrawTriangle(board(v[0]), board(v[1]), board(v[2]));
    }
    setCurrentFace(nullptr, -1);
}

} // namespace umbrek
