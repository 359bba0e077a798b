// The render device's hot paths on the headless 640x480 board (the figures
// include the board's fill): a lit, textured mesh of 2,000 small faces in
// view and crossing the near plane, the flush of 7,000 deferred additive
// triangles, texture selection in a memory that evicts on every fourth
// selection, and text.
#include "umbrek/glide/glide_test.h"
#include "umbrek/vastrel/engine.h"
#include "umbrek/vastrel/face_drawer.h"
#include "umbrek/vastrel/glide_device.h"
#include "umbrek/vastrel/texture_manager.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

using namespace umbrek::vastrel;

namespace {

void openDevice(std::uint32_t textureMemory = 4u << 20) {
    umbrek::glide::resetOptions();
    umbrek::glide::options().textureMemory = textureMemory;
    KX_DetectGlide();
    KX_InstallGlide();
    KX_OpenVideoMode(640, 480, 60);
    KX_SetRenderBuffer(1);
    Engine& e = engine();
    e.viewport.centreX = 320, e.viewport.centreY = 240;
    e.viewport.horizontalScale = e.viewport.verticalScale = 320;
    e.nearDistance = 1, e.farDistance = 65535;
    allocateDeferredTriangles(7000);
    KX_AllocTextures(textureTableSize);
}

void closeDevice() {
    KX_FreeTextures();
    KX_ShutdownGlide();
    umbrek::glide::resetOptions();
    engine().materials.clear();
}

KX_Bitmap* checkerBitmap(int side) {
    KX_Bitmap* b = KX_NewBitmap(side, side);
    for (int i = 0; i < side * side; ++i) KX_BitmapPixels(b)[i] = std::uint8_t(1 + (i / 4) % 7);
    return b;
}

// Separate small triangles over the screen, each with its own corners; with
// `crossing`, each face's first corner lies behind the near plane.
struct Mesh {
    std::vector<Vertex> vertices;
    std::vector<ScreenVertex> screen;
    std::vector<Face> faces;
    Mesh(int count, bool crossing, int material)
        : vertices(3 * count), screen(3 * count), faces(count) {
        const Engine& e = engine();
        for (int f = 0; f < count; ++f) {
            const float cx = -0.9f + 1.8f * float(f % 50) / 50,
                        cy = -0.9f + 1.8f * float(f / 50) / 40;
            const float corner[3][3] = {
                {cx, cy, crossing ? 0.05f : 1}, {cx + 0.02f, cy, 1}, {cx, cy + 0.02f, 1}};
            Face& face = faces[std::size_t(f)];
            for (int k = 0; k < 3; ++k) {
                const std::size_t i = std::size_t(3 * f + k);
                ScreenVertex& s = screen[i];
                const float z = corner[k][2] * 10;
                s.cameraX = corner[k][0] * z, s.cameraY = corner[k][1] * z, s.z = z;
                s.clip = z < e.nearDistance ? clipNear : 0;
                s.oow = s.oowCopy = 1 / z;
                s.x = e.viewport.centreX + e.viewport.horizontalScale * corner[k][0];
                s.y = e.viewport.centreY - e.viewport.verticalScale * corner[k][1];
                s.colourMaterial = noColourMaterial;
                vertices[i].screen = &s;
                vertices[i].normal[2] = -1023;
                face.corner[k] = &vertices[i];
                face.u[k] = float(k) * 32, face.v[k] = float(k % 2) * 32;
                face.cornerValue[k] = 0x3F800000; // 1.0f
            }
            face.material = std::uint16_t(material);
            face.flags = faceFront | faceBack;
        }
    }
};

void addMaterial(int mode, int texture) {
    Material m;
    m.shadeMode = mode;
    m.texture = texture;
    m.red = m.green = m.blue = 200;
    m.alpha = 255;
    engine().materials.push_back(m);
}

void DrawFaces(benchmark::State& state) {
    openDevice();
    engine().palette[3] = 63;
    const int texture = KX_CreateTexture("checker", checkerBitmap(64));
    addMaterial(30, texture);
    Mesh mesh(2000, state.range(0) != 0, 0);
    for (auto _ : state) {
        for (ScreenVertex& s : mesh.screen) s.colourMaterial = noColourMaterial;
        engine().trianglesDrawn = 0;
        KX_DrawFaces(mesh.faces.data(), mesh.vertices.data(), mesh.screen.data(), 2000);
    }
    state.SetItemsProcessed(state.iterations() * 2000);
    state.counters["triangles"] = engine().trianglesDrawn;
    closeDevice();
}
BENCHMARK(DrawFaces)->Arg(0)->Arg(1)->ArgName("crossing")->Unit(benchmark::kMillisecond);

void FlushDeferredSprites(benchmark::State& state) {
    openDevice();
    const int texture = KX_CreateTexture("glow", checkerBitmap(16));
    addMaterial(69, texture);
    Mesh mesh(7000, false, 0);
    for (std::size_t i = 0; i < mesh.screen.size(); ++i) mesh.screen[i].z = float(i % 997) + 5;
    for (auto _ : state) {
        state.PauseTiming();
        engine().deferred.count = 0;
        KX_DrawFaces(mesh.faces.data(), mesh.vertices.data(), mesh.screen.data(), 7000);
        state.ResumeTiming();
        KX_FlushTriangles();
    }
    state.SetItemsProcessed(state.iterations() * 7000);
    closeDevice();
}
BENCHMARK(FlushDeferredSprites)->Unit(benchmark::kMillisecond);

void SelectTextures(benchmark::State& state) {
    // Four palettised 64x64 textures of 4,096 bytes; room for three.
    openDevice(3 * 4096 + 64);
    engine().textureFormat = 11;
    int t[4];
    for (int& n : t) n = KX_CreateTexture("t", checkerBitmap(64));
    engine().textureFormat = 0;
    // Hot A and B, then C and D taking turns: every fourth selection evicts.
    const int pattern[8] = {t[0], t[1], t[0], t[2], t[0], t[1], t[0], t[3]};
    std::int32_t frame = 0;
    for (auto _ : state)
        for (const int n : pattern) {
            engine().frameCounter = ++frame;
            KX_SelectTexture(n);
        }
    state.SetItemsProcessed(state.iterations() * 8);
    closeDevice();
}
BENCHMARK(SelectTextures);

void DrawText(benchmark::State& state) {
    openDevice();
    const char* text = "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG 0123456789 (SCORE)!";
    const int length = int(std::strlen(text));
    for (auto _ : state) KX_DrawText(8, 8, nullptr, text);
    state.SetItemsProcessed(state.iterations() * length);
    closeDevice();
}
BENCHMARK(DrawText);

} // namespace

BENCHMARK_MAIN();
