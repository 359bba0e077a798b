// The transform of an entity's segment tree into camera and screen space,
// with box culling and billboards, and the hand-over of visible segments to
// the device.
#include "umbrek/vastrel/camera.h"
#include "umbrek/vastrel/engine.h"
#include "umbrek/vastrel/projection.h"

#include <cstdint>
#include <vector>

namespace umbrek::vastrel {

namespace {

// Per-segment marks of one walk: linked to by another segment, visited.
enum Mark : std::uint8_t { markLinked = 1, markVisited = 2 };

struct Walk {
    Entity& entity;
    Model& model;
    const Matrix& view;
    std::vector<std::uint8_t>& marks; // every segment is transformed at most once
};

bool validLink(const Model& model, int link) {
    return link >= 0 && std::size_t(link) < model.segments.size();
}

void transformVertices(Segment& seg, const Matrix& modelView) {
    for (std::size_t i = 0; i < seg.vertices.size() && i < seg.screen.size(); ++i) {
        const Vertex& v = seg.vertices[i];
        placeVertex(seg.screen[i], transformPoint(modelView, {v.x, v.y, v.z}));
    }
}

// World-space normals for environment mapping, by the 3x3 part of the
// accumulated rotation.
void rotateNormals(Segment& seg, const Matrix& r) {
    for (Vertex& v : seg.vertices)
        for (int i = 0; i < 3; ++i)
            v.worldNormal[i] = normalComponent(v.normal[0] * r[i] + v.normal[1] * r[4 + i] +
                                               v.normal[2] * r[8 + i]);
}

void transformSegment(Walk& walk, int index, const Matrix& world, const Matrix& parentRotation);

// The segment of a link, by its own rule; bad links and repeated visits
// (cycles) are passed over.
void follow(Walk& walk, int link, const Matrix& world, const Matrix& parentRotation) {
    if (validLink(walk.model, link)) transformSegment(walk, link, world, parentRotation);
}

void transformSegment(Walk& walk, int index, const Matrix& world, const Matrix& parentRotation) {
    std::uint8_t& mark = walk.marks[std::size_t(index)];
    if (mark & markVisited) return;
    mark |= markVisited;
    Segment& seg = walk.model.segments[std::size_t(index)];
    const SegmentState& state = walk.entity.states[std::size_t(index)];
    seg.parent = parentRotation;
    follow(walk, seg.sibling, world, parentRotation);
    const Matrix rotation = multiply(parentRotation, state.rotation);
    const bool billboard = seg.flags & segmentBillboard;
    Matrix local;
    if (billboard) {
        local = multiply(
            translationMatrix(state.translation.x, state.translation.y, state.translation.z),
            state.rotation);
    } else {
        const Vec3 t = state.translation, s = state.scale, p = seg.pivot;
        local = multiply(
            translationMatrix(t.x, t.y, t.z),
            multiply(translationMatrix(p.x, p.y, p.z),
                     multiply(state.rotation, multiply(scaleMatrix(s.x, s.y, s.z),
                                                       translationMatrix(-p.x, -p.y, -p.z)))));
    }
    const Matrix m = multiply(world, local);
    follow(walk, seg.child, m, rotation);
    seg.world = m;
    // A hidden segment still hands its matrices on to its children.
    if (seg.flags & segmentHidden) {
        seg.flags &= ~segmentVisible;
        return;
    }
    const Matrix modelView = multiply(walk.view, m);
    activateLights(seg.lights, modelView);

    const Engine& e = engine();
    if (billboard) {
        const Vec3 anchor = seg.vertices.empty()
                                ? Vec3{}
                                : Vec3{seg.vertices[0].x, seg.vertices[0].y, seg.vertices[0].z};
        const Vec3 c = transformPoint(modelView, anchor);
        seg.box.cameraCentre = c;
        const float r = seg.box.radius;
        // Written so that a NaN centre is not drawn.
        if (!(seg.flags & segmentNoCull) &&
            !(c.z + r > e.nearDistance && c.z - r < e.farDistance)) {
            seg.flags &= ~segmentVisible;
            return;
        }
        seg.flags |= segmentVisible;
        const Matrix q = multiply(e.projection,
                                  multiply(scaleMatrix(walk.entity.scale.x, walk.entity.scale.y, 1),
                                           rotationZ(e.roll + state.angles.z)));
        for (std::size_t i = 1; i < seg.vertices.size() && i < seg.screen.size(); ++i) {
            const Vertex& v = seg.vertices[i];
            placeVertex(seg.screen[i],
                        {q[0] * v.x + q[4] * v.y + c.x, q[1] * v.x + q[5] * v.y + c.y, c.z});
        }
        return;
    }

    std::uint16_t allOutside = 0xFFFF;
    for (int k = 0; k < 8; ++k) {
        seg.box.cameraCorner[k] = transformPoint(modelView, seg.box.corner[k]);
        allOutside &= clipCode(seg.box.cameraCorner[k]);
    }
    seg.box.cameraCentre = transformPoint(modelView, seg.box.centre);
    if (!(seg.flags & segmentNoCull) && allOutside != 0) {
        // Wholly beyond one plane: its vertices keep their last values.
        seg.flags &= ~segmentVisible;
        return;
    }
    seg.flags |= segmentVisible;
    transformVertices(seg, modelView);
    if (seg.flags & segmentWorldNormals) rotateNormals(seg, rotation);
}

} // namespace

void KX_TransformEntity(Entity* entity) {
    if (!entity || !entity->model || (entity->flags & entityNotTransformed)) return;
    Model& model = *entity->model;
    if (entity->states.size() < model.segments.size()) return;
    const Matrix world = multiply(
        translationMatrix(entity->position.x, entity->position.y, entity->position.z),
        multiply(entity->rotation, scaleMatrix(entity->scale.x, entity->scale.y, entity->scale.z)));
    // Kept between calls: the engine has one thread, and the star field
    // transforms hundreds of entities a frame.
    static std::vector<std::uint8_t> marks;
    marks.assign(model.segments.size(), 0);
    Walk walk{*entity, model, engine().view, marks};

    // Linked segments are reached from their parent or elder sibling: the
    // walk starts at the roots, the segments nobody links to.
    for (const Segment& seg : model.segments)
        for (int link : {seg.child, seg.sibling})
            if (validLink(model, link)) marks[std::size_t(link)] |= markLinked;
    for (std::size_t i = 0; i < model.segments.size(); ++i)
        if (!(marks[i] & markLinked)) transformSegment(walk, int(i), world, entity->rotation);
    // Segments that only a cycle of links reaches have no root; they are
    // still transformed once, with the entity's matrices.
    for (std::size_t i = 0; i < model.segments.size(); ++i)
        if (!(marks[i] & markVisited)) transformSegment(walk, int(i), world, entity->rotation);
}

void KX_DrawEntity(Entity* entity) {
    if (!entity || !entity->model || (entity->flags & entityNotDrawn)) return;
    Engine& e = engine();
    for (std::size_t i = 0; i < entity->model->segments.size() && i < entity->states.size(); ++i) {
        Segment& seg = entity->model->segments[i];
        if (!(seg.flags & segmentVisible)) continue;
        bringLightsIntoSegment(seg.world, entity->position, entity->states[i].translation);
        e.device.drawFaces(seg.faces.data(), seg.vertices.data(), seg.screen.data(),
                           int(seg.faces.size()));
        if (e.fatal) return; // the frame is abandoned
    }
}

} // namespace umbrek::vastrel
