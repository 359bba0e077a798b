// Models, entities and their setters, and the sprite model.
#include "umbrek/vastrel/engine.h"
#include "umbrek/vastrel/keyframes.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <new>

namespace umbrek::vastrel {

namespace {

SegmentState* segmentState(Entity* entity, int segment) {
    if (!entity || segment < 0 || std::size_t(segment) >= entity->states.size()) return nullptr;
    return &entity->states[std::size_t(segment)];
}

std::string upperCase(const char* text) {
    std::string out(text);
    for (char& c : out) c = char(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

} // namespace

Model* KX_NewModel() {
    return new (std::nothrow) Model();
}

void KX_FreeModel(Model* model) {
    delete model;
}

Model* KX_MakeSpriteModel(int materialNumber) {
    const Engine& e = engine();
    if (materialNumber < 0 || std::size_t(materialNumber) >= e.materials.size() || !e.textures)
        return nullptr;
    // A material whose texture failed to load has no valid texture number.
    const int texture = e.materials[std::size_t(materialNumber)].texture;
    if (texture < 0 || texture >= e.textures->count()) return nullptr;
    const TextureInfo info = e.textures->info(texture);
    const float w = float(info.width), h = float(info.height);
    const float s = 254 * info.sScale, t = 254 * info.tScale, low = 1.5f;

    try {
        auto model = std::make_unique<Model>();
        model->lastFrame = -1;
        Segment& seg = model->segments.emplace_back();
        seg.flags = segmentBillboard;
        seg.vertices.resize(5);
        seg.screen.resize(5);
        const float corners[5][2] = {{0, 0}, {-w, -h}, {w, -h}, {w, h}, {-w, h}};
        for (std::size_t i = 0; i < 5; ++i) {
            Vertex& v = seg.vertices[i];
            v.x = corners[i][0], v.y = corners[i][1], v.z = 0;
            v.normal[2] = 1023;
            v.screen = &seg.screen[i];
        }
        struct Corner {
            int vertex;
            float u, v;
        };
        const Corner faces[2][3] = {{{2, s, t}, {1, low, t}, {3, s, low}},
                                    {{3, s, low}, {1, low, t}, {4, low, low}}};
        for (const auto& corners3 : faces) {
            Face& f = seg.faces.emplace_back();
            f.material = f.backMaterial = std::uint16_t(materialNumber);
            f.flags = faceFront | faceBack;
            f.normal[2] = 1023;
            for (int k = 0; k < 3; ++k) {
                f.corner[k] = &seg.vertices[std::size_t(corners3[k].vertex)];
                f.u[k] = corners3[k].u, f.v[k] = corners3[k].v;
            }
        }
        seg.box.radius = 2 * std::max(w, h);
        return model.release();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

Entity* KX_CreateEntity(Model* model, const char* name) {
    try {
        auto entity = std::make_unique<Entity>();
        if (name) entity->name = upperCase(name);
        entity->model = model;
        if (model) {
            entity->states.resize(model->segments.size());
            entity->scratch.assign(model->segments.size(), 0);
            for (std::size_t i = 0; i < model->segments.size(); ++i) {
                const Matrix& rest = model->segments[i].fileMatrix;
                entity->states[i].translation = {rest[12], rest[13], rest[14]};
            }
            if (model->lastFrame >= 0) {
                KX_PrepareRotationKeys(entity.get());
                KX_SetAnimationFrame(entity.get(), 0);
            }
        }
        return entity.release();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void KX_FreeEntity(Entity* entity) {
    delete entity;
}

void KX_SetEntityPosition(Entity* entity, float x, float y, float z) {
    if (entity) entity->position = {x, y, z};
}

void KX_SetEntityScale(Entity* entity, float x, float y, float z) {
    if (entity) entity->scale = {x, y, z};
}

void KX_SetEntityRotation(Entity* entity, float a, float b, float c) {
    if (!entity) return;
    entity->rotation = eulerMatrix(a, b, c);
    entity->angles = {a, b, c};
}

void KX_RotateEntity(Entity* entity, float a, float b, float c) {
    if (!entity) return;
    entity->angles = entity->angles + Vec3{a, b, c};
    // Turned in the entity's own frame, one axis at a time in this order.
    entity->rotation =
        multiply(multiply(multiply(entity->rotation, rotationY(b)), rotationX(a)), rotationZ(c));
    if (entity->orthonormaliseCountdown-- < 2) {
        orthonormalise(entity->rotation);
        entity->orthonormaliseCountdown = 2000;
    }
}

void KX_SetSegmentPosition(Entity* entity, int segment, float x, float y, float z) {
    if (SegmentState* s = segmentState(entity, segment)) s->translation = {x, y, z};
}

void KX_MoveSegment(Entity* entity, int segment, float dx, float dy, float dz) {
    if (SegmentState* s = segmentState(entity, segment))
        s->translation = s->translation + Vec3{dx, dy, dz};
}

void KX_SetSegmentScale(Entity* entity, int segment, float x, float y, float z) {
    if (SegmentState* s = segmentState(entity, segment)) s->scale = {x, y, z};
}

void KX_SetSegmentRotation(Entity* entity, int segment, float a, float b, float c) {
    if (SegmentState* s = segmentState(entity, segment)) {
        s->rotation = eulerMatrix(a, b, c);
        s->angles = {a, b, c};
    }
}

} // namespace umbrek::vastrel
