// Faces of any vertices (NaN and infinities included), material numbers,
// flags, clip codes and shade modes through the face drawer and the flush of
// deferred triangles, on a 320x200 headless screen with a few materials and
// textures.
#include "umbrek/glide/glide_test.h"
#include "umbrek/vastrel/engine.h"
#include "umbrek/vastrel/face_drawer.h"
#include "umbrek/vastrel/fuzz/fuzz_input.h"
#include "umbrek/vastrel/glide_device.h"
#include "umbrek/vastrel/texture_manager.h"

#include <vector>

using namespace umbrek::vastrel;

namespace {

void start() {
    KX_InitEngine(64);
    KX_DetectGlide();
    KX_InstallGlide();
    KX_OpenVideoMode(320, 200, 60);
    Engine& e = engine();
    e.viewport.centreX = 160, e.viewport.centreY = 100;
    e.viewport.horizontalScale = e.viewport.verticalScale = 160;
    KX_AllocTextures(4);
    e.palette[3] = 63;
    for (int side : {8, 32}) {
        KX_Bitmap* b = KX_NewBitmap(side, side);
        for (int i = 0; i < side * side; ++i) KX_BitmapPixels(b)[i] = std::uint8_t(i & 1);
        KX_CreateTexture("t", b);
    }
    e.materials.assign(6, Material{});
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool started = (start(), true);
    (void)started;
    fuzz::Input in{data, size};
    Engine& e = engine();
    e.nearDistance = 1;
    e.farDistance = in.byte() & 1 ? 65536.0f : 1000.0f;
    for (Material& m : e.materials) {
        m.shadeMode = in.half() % 300;
        m.texture = std::int8_t(in.byte()) % 8;
        m.environment = in.byte() & 1;
        m.environmentAxes = in.byte() % 4;
        m.red = in.real(), m.green = in.real(), m.blue = in.real(), m.alpha = in.real();
    }
    const int count = in.byte() % 48;
    std::vector<Vertex> vertices(std::size_t(count) * 3);
    std::vector<ScreenVertex> screen(vertices.size());
    std::vector<Face> faces(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        ScreenVertex& s = screen[i];
        float* f = &s.x;
        for (int k = 0; k < 15; ++k) f[k] = in.real();
        s.colourMaterial = in.half();
        s.clip = in.half();
        vertices[i].screen = &s;
        for (std::int16_t& n : vertices[i].worldNormal) n = std::int16_t(in.half());
        for (std::int16_t& n : vertices[i].normal) n = std::int16_t(in.half());
    }
    for (int f = 0; f < count; ++f) {
        Face& face = faces[std::size_t(f)];
        face.material = in.byte() < 16 ? in.half() : std::uint16_t(in.byte() % 6);
        face.backMaterial = in.half();
        face.flags = in.byte();
        for (int k = 0; k < 3; ++k) {
            face.corner[k] = &vertices[std::size_t(3 * f + k)];
            face.u[k] = in.real(), face.v[k] = in.real();
            face.cornerValue[k] = in.word();
        }
    }
    e.deferred.count = 0;
    KX_DrawFaces(faces.data(), vertices.data(), screen.data(), count);
    KX_FlushTriangles();
    e.deferred.count = 0;
    return 0;
}
