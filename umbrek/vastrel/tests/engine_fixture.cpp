#include "umbrek/vastrel/tests/engine_fixture.h"

namespace umbrek::vastrel::test {

TextureInfo StubTextures::info(int number) const {
    const StubTexture& t = textures.at(std::size_t(number));
    return {t.name.empty() ? nullptr : t.name.c_str(), t.width, t.height, t.sScale, t.tScale};
}

void StubTextures::resetLastUsed() {
    for (StubTexture& t : textures) t.lastUsed = 0;
}

Recorded& recorded() {
    static Recorded r;
    return r;
}

void installRecordingDevice() {
    DeviceOps& ops = engine().device;
    ops.drawFaces = [](Face* faces, Vertex* vertices, ScreenVertex* screen, int count) {
        DrawCall call{faces, vertices, screen, count, {}};
        const LightList& active = engine().activeLights;
        for (int i = 0; i < active.count; ++i) {
            const int* d = active.lights[std::size_t(i)].direction;
            call.lightDirections.push_back({d[0], d[1], d[2]});
        }
        recorded().draws.push_back(call);
    };
    ops.setClipWindow = [](int x1, int y1, int x2, int y2) {
        recorded().clipWindows.push_back({x1, y1, x2, y2});
    };
    ops.lightVertex = KX_LightVertex;
}

void EngineFixture::SetUp() {
    recorded() = Recorded{};
    PlatformHooks& hooks = platformHooks();
    hooks.messageBox = [](const char* text, const char* caption) {
        recorded().messageBoxes.emplace_back(text, caption);
    };
    hooks.currentDrive = [] { return recorded().drive; };
    hooks.changeDrive = [](int drive) {
        recorded().drivesChanged.push_back(drive);
        return true;
    };
    hooks.currentFolder = [] { return recorded().folder; };
    hooks.changeFolder = [](const std::string& folder) {
        recorded().foldersChanged.push_back(folder);
        return true;
    };
    ASSERT_EQ(KX_InitEngine(64), 0);
    installRecordingDevice();
    engine().textures = &textures;
    ASSERT_EQ(KX_NewViewport(viewport, 0, 0, 639, 479, 0), 0);
    KX_SetViewport(viewport);
    ASSERT_EQ(KX_InitLightList(engine().activeLights, 8), 0);
    camera = KX_InitCamera(KX_NewCamera());
    ASSERT_NE(camera, nullptr);
}

void EngineFixture::TearDown() {
    KX_FreeCamera(camera);
    KX_FreeViewport(viewport);
    KX_FreeMaterials();
    KX_FreeEngineBuffers();
    engine().textures = nullptr;
    platformHooks() = defaultPlatformHooks();
}

std::unique_ptr<Model> segmentModel(const std::vector<Vec3>& points) {
    auto model = std::make_unique<Model>();
    Segment& seg = model->segments.emplace_back();
    seg.vertices.resize(points.size());
    seg.screen.resize(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        seg.vertices[i].x = points[i].x, seg.vertices[i].y = points[i].y;
        seg.vertices[i].z = points[i].z;
        seg.vertices[i].normal[2] = -1023;
        seg.vertices[i].screen = &seg.screen[i];
    }
    if (points.size() >= 3) {
        Face& f = seg.faces.emplace_back();
        for (int k = 0; k < 3; ++k) f.corner[k] = &seg.vertices[std::size_t(k)];
        f.flags = faceFront;
    }
    KX_ComputeModelBoxes(*model);
    return model;
}

} // namespace umbrek::vastrel::test
