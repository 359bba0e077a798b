// Any bytes as a model file: the member of an in-memory library that also
// holds a small PCX under the texture names the seeds use and a shade table,
// loaded with the headless board and the texture manager (small tables, so
// that full ones are met too), then made an entity, animated, transformed and
// drawn, so that whatever the loader keeps is also safe to draw.
#include "umbrek/fixtures/scene_archive.h"
#include "umbrek/glide/glide_test.h"
#include "umbrek/vastrel/camera.h"
#include "umbrek/vastrel/data_library.h"
#include "umbrek/vastrel/engine.h"
#include "umbrek/vastrel/face_drawer.h"
#include "umbrek/vastrel/glide_device.h"
#include "umbrek/vastrel/keyframes.h"
#include "umbrek/vastrel/model_file.h"
#include "umbrek/vastrel/shade_tables.h"
#include "umbrek/vastrel/tests/image_writers.h"
#include "umbrek/vastrel/tests/library_writer.h"
#include "umbrek/vastrel/texture_manager.h"

#include <vector>

using namespace umbrek::vastrel;

namespace {

std::vector<umbrek::test::LibraryEntry>& companions() {
    static std::vector<umbrek::test::LibraryEntry> members = [] {
        const auto pcx = umbrek::test::writePcx(
            umbrek::test::makeImage(16, 8, [](int x, int y) { return std::uint8_t(x * y); }));
        std::vector<umbrek::test::LibraryEntry> m;
        for (const char* name : {"ZLOGO.PCX", "METAL.PCX", "CHECKER.PCX", "A.PCX"})
            m.emplace_back(name, pcx);
        m.emplace_back("ZEPHRIN.TAB", umbrek::fixtures::logoShadeTable());
        return m;
    }();
    return members;
}

Camera* start() {
    KX_InitEngine(4096);
    KX_DetectGlide();
    KX_InstallGlide();
    KX_OpenVideoMode(320, 200, 60);
    static Viewport viewport;
    KX_NewViewport(viewport, 0, 0, 319, 199, 8);
    KX_SetViewport(viewport);
    KX_InitLightList(engine().activeLights, 8);
    Camera* view = KX_InitCamera(KX_NewCamera());
    KX_SetCameraPosition(view, 0, 30, 400);
    KX_SetCameraFlags(view, cameraTargetMode);
    return view;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Camera* const view = start();
    std::vector<umbrek::test::LibraryEntry> members = companions();
    members.emplace_back("FUZZ.KXO", std::vector<std::uint8_t>(data, data + size));
    const std::vector<std::uint8_t> library = umbrek::test::writeLibrary(members);
    KX_SetDataLibraryBytes(library.data(), library.size());
    KX_AllocTextures(6);
    KX_AllocMaterials(24);
    KX_AllocShadeTables(2);

    if (Model* model = KX_LoadKXO("fuzz.kxo", 0)) {
        if (Entity* entity = KX_CreateEntity(model, "fuzz")) {
            if (model->lastFrame > 0) KX_SetAnimationFrame(entity, model->lastFrame / 2);
            KX_RotateEntity(entity, 10, 20, 30);
            KX_BeginFrame();
            KX_SetCamera(view);
            KX_TransformEntity(entity);
            KX_DrawEntity(entity);
            KX_FlushTriangles();
            engine().deferred.count = 0;
            KX_FreeEntity(entity);
        }
        KX_FreeModel(model);
    }
    while (Camera* c = KX_FirstCamera()) KX_FreeCamera(c);
    KX_FreeShadeTables();
    KX_FreeTextures();
    KX_FreeMaterials();
    KX_SetDataLibrary(nullptr);
    return 0;
}
