// The engine core's hot paths: the segment transform (in view and half
// behind the near plane), the star field's billboards, vertex lighting and
// keyframe evaluation.
#include "umbrek/vastrel/camera.h"
#include "umbrek/vastrel/engine.h"
#include "umbrek/vastrel/keyframes.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

using namespace umbrek::vastrel;

namespace {

class FixedTextures : public TextureTable {
public:
    int count() const override { return 1; }
    TextureInfo info(int) const override { return {"STAR", 8, 8, 1, 1}; }
    void resetLastUsed() override {}
};

FixedTextures textures;
Viewport viewport;
Camera* camera;

void start() {
    KX_InitEngine(4096);
    engine().textures = &textures;
    engine().device.setClipWindow = [](int, int, int, int) {};
    engine().device.drawFaces = [](Face*, Vertex*, ScreenVertex*, int) {};
    KX_NewViewport(viewport, 0, 0, 639, 479, 0);
    KX_SetViewport(viewport);
    KX_InitLightList(engine().activeLights, 8);
    if (!camera) camera = KX_InitCamera(KX_NewCamera());
    camera->flags = cameraTargetMode;
    KX_SetCameraPosition(camera, 0, 0, -400);
    KX_SetCamera(camera);
}

// 1,000 vertices on a 40 x 25 grid in z = 0, spread over most of the view;
// `behind` of them lie 400 behind the camera's near plane.
std::unique_ptr<Model> grid(bool halfBehind) {
    auto model = std::make_unique<Model>();
    Segment& seg = model->segments.emplace_back();
    seg.vertices.resize(1000);
    seg.screen.resize(1000);
    for (int i = 0; i < 1000; ++i) {
        Vertex& v = seg.vertices[std::size_t(i)];
        v.x = float(i % 40) * 10 - 200;
        v.y = float(i / 40) * 10 - 125;
        v.z = halfBehind && i % 2 ? -800 : 0;
        v.screen = &seg.screen[std::size_t(i)];
    }
    seg.flags = segmentNoCull;
    KX_ComputeModelBoxes(*model);
    return model;
}

void transform(benchmark::State& state, bool halfBehind) {
    start();
    auto model = grid(halfBehind);
    Entity* entity = KX_CreateEntity(model.get(), nullptr);
    for (auto _ : state) {
        KX_TransformEntity(entity);
        benchmark::DoNotOptimize(model->segments[0].screen.data());
    }
    state.SetItemsProcessed(state.iterations() * 1000);
    KX_FreeEntity(entity);
}

void BM_TransformInView(benchmark::State& state) {
    transform(state, false);
}
BENCHMARK(BM_TransformInView);

void BM_TransformHalfBehindNearPlane(benchmark::State& state) {
    transform(state, true);
}
BENCHMARK(BM_TransformHalfBehindNearPlane);

// The star field: 7 x 7 x 7 sprite entities, each transformed once a frame.
void BM_StarFieldBillboards(benchmark::State& state) {
    start();
    KX_AllocMaterials(1);
    Material m;
    KX_SetMaterialName(m, "STAR");
    KX_AddMaterial(m);
    Model* sprite = KX_MakeSpriteModel(0);
    std::vector<Entity*> stars;
    for (int i = 0; i < 343; ++i) {
        Entity* e = KX_CreateEntity(sprite, nullptr);
        KX_SetEntityPosition(e, float(i % 7) * 60 - 180, float(i / 7 % 7) * 60 - 180,
                             float(i / 49) * 60);
        stars.push_back(e);
    }
    for (auto _ : state)
        for (Entity* e : stars) KX_TransformEntity(e);
    state.SetItemsProcessed(state.iterations() * 343);
    for (Entity* e : stars) KX_FreeEntity(e);
    KX_FreeModel(sprite);
    KX_FreeMaterials();
}
BENCHMARK(BM_StarFieldBillboards)->Unit(benchmark::kMicrosecond);

void BM_LightVertex(benchmark::State& state) {
    start();
    engine().lightsIn1024ths = true;
    KX_AllocMaterials(1);
    Material m;
    KX_SetMaterialName(m, "LIT");
    KX_AddMaterial(m);
    engine().currentMaterial = 0;
    const int count = int(state.range(0));
    LightList list;
    KX_InitLightList(list, count);
    for (int i = 0; i < count; ++i) {
        KX_SetLightType(list, i, i % 2); // directional and point lights by turns
        KX_SetLightPosition(list, i, float(i) * 30, 100, -50);
        KX_SetLightRange(list, i, 1000);
        KX_SetLightIntensity(list, i, 0.2f);
        KX_EnableLight(list, i);
    }
    KX_ActivateLights(list);
    for (int i = 0; i < count; ++i)
        engine().activeLights.lights[std::size_t(i)].direction[2] = -1024;
    std::vector<Vertex> vertices(1000);
    std::vector<ScreenVertex> screen(1000);
    for (std::size_t i = 0; i < 1000; ++i) {
        vertices[i].normal[2] = -1023;
        screen[i].cameraX = float(i % 40), screen[i].cameraY = float(i / 40);
        screen[i].z = 300;
    }
    // Through the device's slot, as the shade modes call it.
    engine().device.lightVertex = KX_LightVertex;
    float total = 0;
    for (auto _ : state)
        for (std::size_t i = 0; i < 1000; ++i) {
            engine().device.lightVertex(&vertices[i], &screen[i]);
            total += engine().lightSum[0];
        }
    benchmark::DoNotOptimize(total);
    state.SetItemsProcessed(state.iterations() * 1000);
    KX_FreeMaterials();
}
BENCHMARK(BM_LightVertex)->Arg(1)->Arg(8);

// A segment with rotation, position and scale tracks of 10 keys each.
void BM_SetAnimationFrame(benchmark::State& state) {
    Model model;
    Segment& seg = model.segments.emplace_back();
    for (int k = 0; k < 10; ++k) {
        RotationKey r;
        r.frame = k * 10;
        r.relative = {0, std::sin(0.1f), 0, std::cos(0.1f)};
        seg.rotationKeys.push_back(r);
        SplineKey s;
        s.frame = k * 10;
        s.value = {float(k), float(k * k), 1};
        s.tension = 0.1f;
        seg.positionKeys.push_back(s);
        s.value = {1, 1, 1 + float(k) / 10};
        seg.scaleKeys.push_back(s);
    }
    seg.flags = segmentLoops;
    model.lastFrame = 90;
    Entity* entity = KX_CreateEntity(&model, nullptr);
    int frame = 0;
    for (auto _ : state) {
        KX_SetAnimationFrame(entity, frame);
        frame = (frame + 7) % 200;
        benchmark::DoNotOptimize(entity->states[0].rotation.data());
    }
    state.SetItemsProcessed(state.iterations());
    KX_FreeEntity(entity);
}
BENCHMARK(BM_SetAnimationFrame);

} // namespace

BENCHMARK_MAIN();
