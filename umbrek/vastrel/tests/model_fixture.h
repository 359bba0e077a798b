// The engine set up as Umbrek sets it up for its models (headless board,
// texture, material and shade-table tables), over a data library in memory
// whose members each test names.
#pragma once

#include "umbrek/vastrel/camera.h"
#include "umbrek/vastrel/data_library.h"
#include "umbrek/vastrel/engine.h"
#include "umbrek/vastrel/model_file.h"
#include "umbrek/vastrel/shade_tables.h"
#include "umbrek/vastrel/tests/library_writer.h"
#include "umbrek/vastrel/tests/open_device.h"
#include "umbrek/vastrel/texture_manager.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace umbrek::vastrel::test {

struct ModelFree {
    void operator()(Model* model) const { KX_FreeModel(model); }
};
using OwnedModel = std::unique_ptr<Model, ModelFree>;

class ModelFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        umbrek::glide::resetOptions();
        openTestDevice();
        ASSERT_EQ(KX_AllocTextures(textureTableSize), 0);
        ASSERT_EQ(KX_AllocMaterials(132), 0);
        ASSERT_EQ(KX_AllocShadeTables(4), 0);
    }

    void TearDown() override {
        KX_SetDataLibrary(nullptr);
        while (Camera* c = KX_FirstCamera()) KX_FreeCamera(c);
        KX_FreeShadeTables();
        KX_FreeMaterials();
        closeTestDevice();
    }

    // Selects a library of these members (kept alive by the fixture).
    void library(const std::vector<umbrek::test::LibraryEntry>& members) {
        libraryBytes_ = umbrek::test::writeLibrary(members);
        KX_SetDataLibraryBytes(libraryBytes_.data(), libraryBytes_.size());
    }

    // Loads BYTES as the library's only model member (beside OTHERS).
    OwnedModel load(const std::vector<std::uint8_t>& bytes, int skipFlags = 0,
                    std::vector<umbrek::test::LibraryEntry> others = {}) {
        others.emplace_back("MODEL.KXO", bytes);
        library(others);
        return OwnedModel(KX_LoadKXO("model.kxo", skipFlags));
    }

    static const Material& material(int number) {
        return engine().materials.at(std::size_t(number));
    }

private:
    std::vector<std::uint8_t> libraryBytes_;
};

} // namespace umbrek::vastrel::test
