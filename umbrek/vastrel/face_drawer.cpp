#include "umbrek/vastrel/face_drawer.h"

#include "umbrek/glide/glide.h"
#include "umbrek/vastrel/engine.h"
#include "umbrek/vastrel/projection.h"
#include "umbrek/vastrel/shade_modes.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace umbrek::vastrel {

namespace {

const GrVertex* board(const ScreenVertex& v) {
    static_assert(sizeof(ScreenVertex) == sizeof(GrVertex));
    return reinterpret_cast<const GrVertex*>(&v);
}

bool backFacing(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) {
    const float w = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    return std::signbit(w);
}

// The clip bits of the planes after P at a new vertex.
std::uint16_t laterPlaneBits(const ScreenVertex& v, int p) {
    const float x = v.cameraX, y = v.cameraY, z = v.z;
    std::uint16_t code = 0;
    if (p > clipRight && !(x <= z)) code |= clipRight;
    if (p > clipLeft && !(x >= -z)) code |= clipLeft;
    if (p > clipAbove && !(y <= z)) code |= clipAbove;
    if (p > clipBelow && !(y >= -z)) code |= clipBelow;
    if (p > clipFar && !(z <= engine().farDistance)) code |= clipFar;
    return code;
}

float planeDistance(const ScreenVertex& v, int p) {
    switch (p) {
    case clipNear: return v.z - engine().nearDistance;
    case clipRight: return v.z - v.cameraX;
    case clipLeft: return v.z + v.cameraX;
    case clipAbove: return v.z - v.cameraY;
    case clipBelow: return v.z + v.cameraY;
    default: return v.z - engine().farDistance;
    }
}

ScreenVertex intersect(const ScreenVertex& a, const ScreenVertex& b, int p) {
    const float da = planeDistance(a, p), t = da / (da - planeDistance(b, p));
    auto mix = [t](float from, float to) { return from + t * (to - from); };
    ScreenVertex v = a;
    v.cameraX = mix(a.cameraX, b.cameraX);
    v.cameraY = mix(a.cameraY, b.cameraY);
    v.z = mix(a.z, b.z);
    v.r = mix(a.r, b.r), v.g = mix(a.g, b.g), v.b = mix(a.b, b.b), v.a = mix(a.a, b.a);
    v.s = mix(a.s, b.s), v.t = mix(a.t, b.t);
    v.oowCopy = mix(a.oowCopy, b.oowCopy);
    v.clip = std::uint16_t(clipMade | laterPlaneBits(v, p));
    return v;
}

ScreenVertex projected(const ScreenVertex& v) {
    if (!(v.clip & clipMade)) return v;
    const Viewport& view = engine().viewport;
    ScreenVertex out = v;
    out.clip = 0;
    out.oow = 1 / v.z;
    out.x = snapToSixteenth(out.oow * v.cameraX * view.horizontalScale + view.centreX);
    out.y = snapToSixteenth(view.centreY - view.verticalScale * v.cameraY * out.oow);
    return out;
}

struct FaceDraw {
    Face* face;
    ShadeCallback callback;
    bool deferred;
    bool wire;
    bool decideOnly; // wire faces: the pieces only take the winding decision
    bool wouldDraw;  // that decision
};

void deferTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) {
    DeferredTriangles& buffer = engine().deferred;
    // Beyond the buffer: dropped and counted before anything is written.
    if (buffer.count >= int(buffer.records.size())) {
        ++buffer.dropped;
        return;
    }
    const auto n = std::size_t(buffer.count++);
    buffer.keys[n] = depthKey(a, b, c);
    buffer.records[n] = {{a, b, c}, shadeContext().material};
}

void drawPiece(FaceDraw& f, ScreenVertex a, ScreenVertex b, ScreenVertex c) {
    a = projected(a), b = projected(b), c = projected(c);
    const bool back = backFacing(a, b, c);
    if (back ? !(f.face->flags & faceBack) : !(f.face->flags & faceFront)) {
        if (f.decideOnly) f.wouldDraw = false;
        return;
    }
    if (back)
        shadeContext().material = f.face->backMaterial,
        engine().currentMaterial = f.face->backMaterial;
    if (f.decideOnly) {
        f.wouldDraw = true;
        return;
    }
    // The board takes s/w and t/w; the callback's values stay for the
    // next piece of the face.
    // Only with perspective on, as unclipped faces, so clipping changes no texel.
    if (shadeContext().perspective)
        for (ScreenVertex* v : {&a, &b, &c}) v->s *= v->oow, v->t *= v->oow;
    ++engine().trianglesDrawn;
    if (f.deferred)
        deferTriangle(a, b, c);
    else
        grDrawTriangle(board(a), board(b), board(c));
}

void clipFace(FaceDraw& f, const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
              int p) {
    if (p == 0) {
        drawPiece(f, a, b, c);
        return;
    }
    const int q = p / 2;
    const bool aOut = a.clip & p, bOut = b.clip & p, cOut = c.clip & p;
    switch (aOut | bOut << 1 | cOut << 2) {
    case 0: clipFace(f, a, b, c, q); break;
    case 7: break;
    case 6: clipFace(f, a, intersect(a, b, p), intersect(a, c, p), q); break; // only A in
    case 5: clipFace(f, intersect(b, a, p), b, intersect(b, c, p), q); break; // only B in
    case 3: clipFace(f, c, intersect(c, a, p), intersect(c, b, p), q); break; // only C in
    case 1: {                                                                 // only A out
        const ScreenVertex ba = intersect(b, a, p);
        clipFace(f, ba, b, c, q);
        clipFace(f, ba, c, intersect(c, a, p), q);
        break;
    }
    case 2: { // only B out
        const ScreenVertex ab = intersect(a, b, p);
        clipFace(f, a, ab, c, q);
        clipFace(f, ab, intersect(c, b, p), c, q);
        break;
    }
    case 4: { // only C out
        const ScreenVertex ac = intersect(a, c, p);
        clipFace(f, ac, a, b, q);
        clipFace(f, ac, b, intersect(b, c, p), q);
        break;
    }
    }
}

void clipEdge(ScreenVertex a, ScreenVertex b, int p) {
    for (; p != 0; p /= 2) {
        const bool aOut = a.clip & p, bOut = b.clip & p;
        if (aOut && bOut) return;
        if (aOut) {
            a = intersect(b, a, p);
            std::swap(a, b);
        } else if (bOut) {
            b = intersect(a, b, p);
        }
    }
    const ScreenVertex pa = projected(a), pb = projected(b);
    grDrawLine(board(pa), board(pb));
}

void drawEdges(const Face& face, const ScreenVertex& a, const ScreenVertex& b,
               const ScreenVertex& c, bool clipped) {
    const ScreenVertex* corner[3] = {&a, &b, &c};
    static constexpr std::uint8_t flag[3] = {faceEdge12, faceEdge23, faceEdge31};
    for (int i = 0; i < 3; ++i) {
        if (!(face.flags & flag[i])) continue;
        const ScreenVertex& from = *corner[i];
        const ScreenVertex& to = *corner[(i + 1) % 3];
        if (clipped)
            clipEdge(from, to, clipNear);
        else
            grDrawLine(board(from), board(to));
    }
}

const Material* materialOf(int number) {
    const std::vector<Material>& materials = engine().materials;
    if (number < 0 || number >= int(materials.size())) return nullptr;
    return &materials[std::size_t(number)];
}

// The registered entry of a material's mode; none for mode 0, for modes
// outside the registry and for materials outside the table.
const ShadeModeEntry* modeOf(int material, int& mode) {
    const Material* m = materialOf(material);
    if (!m) return nullptr;
    mode = m->shadeMode;
    if (mode <= 0 || mode >= shadeModeCount) return nullptr;
    return &shadeModes()[mode];
}

void setFlags(const ShadeModeEntry& entry) {
    ShadeContext& c = shadeContext();
    c.perspective = false;
    c.applyState = !entry.deferred;
    c.computeVertices = true;
}

void drawFace(Face& face) {
    ScreenVertex* s[3];
    for (int i = 0; i < 3; ++i) {
        if (!face.corner[i] || !face.corner[i]->screen) return;
        s[i] = face.corner[i]->screen;
    }
    ScreenVertex &a = *s[0], &b = *s[1], &c = *s[2];
    int mode = 0;
    if (a.clip | b.clip | c.clip) {
        if (a.clip & b.clip & c.clip) return;
        const ShadeModeEntry* entry = modeOf(face.material, mode);
        if (!entry) return;
        setCurrentFace(&face, face.material);
        setFlags(*entry);
        if (entry->callback) entry->callback();
        FaceDraw f{&face, entry->callback, entry->deferred, mode == 1, mode == 1, false};
        if (f.wire) {
            clipFace(f, a, b, c, clipNear);
            if (f.wouldDraw) drawEdges(face, a, b, c, true);
        } else {
            clipFace(f, a, b, c, clipNear);
        }
        return;
    }
    const bool back = backFacing(a, b, c);
    if (back ? !(face.flags & faceBack) : !(face.flags & faceFront)) return;
    const int material = back ? face.backMaterial : face.material;
    const ShadeModeEntry* entry = modeOf(material, mode);
    if (!entry) return;
    setCurrentFace(&face, material);
    setFlags(*entry);
    DeferredTriangles& deferred = engine().deferred;
    if (entry->deferred && deferred.count >= int(deferred.records.size())) {
        ++deferred.dropped;
        return;
    }
    if (entry->callback) entry->callback();
    if (shadeContext().perspective)
        for (ScreenVertex* v : s) v->s *= v->oow, v->t *= v->oow;
    ++engine().trianglesDrawn;
    if (entry->deferred)
        deferTriangle(a, b, c);
    else if (mode == 1)
        drawEdges(face, a, b, c, false);
    else
        grDrawTriangle(board(a), board(b), board(c));
}

} // namespace

std::uint32_t depthKey(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) {
    float z;
    switch (engine().depthKeyRule) {
    case 1: z = std::max({a.z, b.z, c.z}); break;
    case 2: z = std::min({a.z, b.z, c.z}); break;
    default: z = (a.z + b.z + c.z) * 0.33333f; break;
    }
    if (!(z > 0)) return 0;
    if (z >= 4294967295.0f) return 0xFFFFFFFFu;
    return std::uint32_t(z);
}

void radixSortDescending(const std::uint32_t* keys, int n, int passes, std::uint32_t* order,
                         std::uint32_t* scratch) {
    // Passes alternate between the two arrays so that the last writes ORDER.
    std::uint32_t* out = passes % 2 ? order : scratch;
    std::uint32_t* in = out == order ? scratch : order;
    for (int pass = 0; pass < passes; ++pass) {
        int count[256] = {};
        const int shift = 8 * pass;
        for (int i = 0; i < n; ++i) {
            const std::uint32_t record = pass == 0 ? std::uint32_t(i) : in[i];
            ++count[(keys[record] >> shift) & 0xFF];
        }
        int start[256];
        int s = n;
        for (int v = 0; v < 256; ++v) s -= count[v], start[v] = s;
        for (int i = 0; i < n; ++i) {
            const std::uint32_t record = pass == 0 ? std::uint32_t(i) : in[i];
            out[start[(keys[record] >> shift) & 0xFF]++] = record;
        }
        std::swap(in, out);
    }
}

void KX_DrawFaces(Face* faces, Vertex*, ScreenVertex*, int count) {
    if (!faces) return;
    for (int i = 0; i < count; ++i) drawFace(faces[i]);
}

void KX_FlushTriangles() {
    Engine& e = engine();
    DeferredTriangles& buffer = e.deferred;
    const int n = std::min(buffer.count, int(buffer.records.size()));
    if (n <= 0) return;
    if (e.depthKeyRule != 0)
        radixSortDescending(buffer.keys.data(), n, e.farDistance < 65536.0f ? 2 : 4,
                            buffer.order.data(), buffer.scratch.data());
    else
        for (int i = 0; i < n; ++i) buffer.order[std::size_t(i)] = std::uint32_t(i);
    ShadeContext& c = shadeContext();
    for (int i = 0; i < n; ++i) {
        DeferredTriangle& t = buffer.records[buffer.order[std::size_t(i)]];
        int mode = 0;
        const ShadeModeEntry* entry = modeOf(t.material, mode);
        c.face = nullptr;
        c.material = t.material;
        e.currentMaterial = t.material;
        for (int k = 0; k < 3; ++k) c.screen[k] = &t.corner[k];
        c.applyState = true, c.computeVertices = false;
        if (entry && entry->callback) entry->callback();
        grDrawTriangle(board(t.corner[0]), board(t.corner[1]), board(t.corner[2]));
    }
}

} // namespace umbrek::vastrel
