// Loading the models of Umbrek's archive from a library in memory, textures
// and the shade table included, into fresh tables each time: the part of the
// scene's start-up that reads model files.
#include "umbrek/fixtures/scene_archive.h"
#include "umbrek/vastrel/data_library.h"
#include "umbrek/vastrel/engine.h"
#include "umbrek/vastrel/glide_device.h"
#include "umbrek/vastrel/model_file.h"
#include "umbrek/vastrel/shade_tables.h"
#include "umbrek/vastrel/texture_manager.h"

#include <benchmark/benchmark.h>

using namespace umbrek::vastrel;

namespace {

void loadModels(benchmark::State& state, std::vector<const char*> names) {
    KX_DetectGlide();
    KX_InstallGlide();
    KX_OpenVideoMode(640, 480, 60);
    const std::vector<std::uint8_t> archive =
        umbrek::fixtures::writeArchive(umbrek::fixtures::ArchiveVariant::complete);
    KX_SetDataLibraryBytes(archive.data(), archive.size());
    std::size_t faces = 0;
    for (auto _ : state) {
        KX_AllocTextures(textureTableSize);
        KX_AllocMaterials(132);
        KX_AllocShadeTables(4);
        faces = 0;
        for (const char* name : names) {
            Model* model = KX_LoadKXO(name, 0);
            for (const Segment& s : model->segments) faces += s.faces.size();
            KX_FreeModel(model);
        }
    }
    state.counters["faces"] = double(faces);
    KX_FreeShadeTables();
    KX_FreeTextures();
    KX_FreeMaterials();
    KX_SetDataLibrary(nullptr);
    KX_ShutdownGlide();
}

} // namespace

BENCHMARK_CAPTURE(loadModels, tubes, {"tubes.kxo"})->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(loadModels, scene,
                  {"zephrin.kxo", "r.kxo", "tubes.kxo", "checker.kxo", "zephrinspin.kxo"})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
