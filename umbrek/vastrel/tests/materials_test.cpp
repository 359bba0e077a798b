// The material table, texture look-up, image types and the sprite model.
#include "umbrek/vastrel/tests/engine_fixture.h"

#include <string>

using namespace umbrek::vastrel;
using namespace umbrek::vastrel::test;

namespace {

using Materials = EngineFixture;

Material named(const char* name) {
    Material m;
    KX_SetMaterialName(m, name);
    return m;
}

TEST_F(Materials, TheTableStartsWithDefaultsFillsInOrderAndFindsInAnyCase) {
    EXPECT_EQ(KX_AddMaterial(named("A")), resultMaterialTableFull) << "no table yet";
    EXPECT_EQ(KX_FindMaterial("A"), resultMaterialNotFound);
    ASSERT_EQ(KX_AllocMaterials(3), 0);
    const Material& second = engine().materials[1];
    EXPECT_EQ(second.name[0], 0);
    EXPECT_EQ(second.red, 255);
    EXPECT_EQ(second.green, 255);
    EXPECT_EQ(second.blue, 255);
    EXPECT_EQ(second.alpha, 0);
    EXPECT_EQ(second.distanceSwitching, 0);
    for (std::uint16_t d : second.distanceMaterial) EXPECT_EQ(d, 1);

    Material logo = named("LOGO");
    KX_SetMaterialColour(logo, 1, 2, 3);
    KX_SetMaterialAlpha(logo, 200);
    EXPECT_EQ(KX_AddMaterial(named("SKY")), 0);
    EXPECT_EQ(KX_AddMaterial(logo), 1);
    EXPECT_EQ(KX_AddMaterial(named("floor")), 2);
    EXPECT_EQ(KX_AddMaterial(named("more")), resultMaterialTableFull);
    EXPECT_EQ(KX_FindMaterial("logo"), 1);
    EXPECT_EQ(KX_FindMaterial("FLOOR"), 2);
    EXPECT_EQ(KX_FindMaterial("LOG"), resultMaterialNotFound);
    EXPECT_EQ(KX_FindMaterial("LOGOS"), resultMaterialNotFound);
    EXPECT_EQ(KX_FindMaterial(nullptr), resultMaterialNotFound);
    EXPECT_EQ(engine().materials[1].alpha, 200);
    EXPECT_EQ(engine().materials[1].blue, 3);

    KX_FreeMaterials();
    EXPECT_EQ(KX_FindMaterial("logo"), resultMaterialNotFound);
}

TEST_F(Materials, NamesAreCutToEighteenCharacters) {
    Material m;
    EXPECT_EQ(KX_SetMaterialName(m, "SHORT"), 6);
    EXPECT_STREQ(m.name, "SHORT");
    const std::string longName(5000, 'X');
    EXPECT_EQ(KX_SetMaterialName(m, longName.c_str()), 19);
    EXPECT_EQ(std::string(m.name), std::string(18, 'X'));
    EXPECT_EQ(KX_SetMaterialName(m, nullptr), 1);
    EXPECT_STREQ(m.name, "");

    KX_SetMaterialDistanceMaterial(m, 4, 9);
    KX_SetMaterialDistanceMaterial(m, 0, 7);
    KX_SetMaterialDistanceMaterial(m, 5, 7);
    EXPECT_EQ(m.distanceMaterial[3], 9);
    EXPECT_EQ(m.distanceMaterial[0], 0);
}

TEST(ImageType, ComesFromTheExtensionInAnyCase) {
    const struct {
        const char* name;
        int type;
    } cases[] = {{"a.pcx", 1},
                 {"A.BLK", 3},
                 {"x.Pak", 4},
                 {"logo.iff", 5},
                 {"sky.LBM", 5},
                 {"c:\\data\\b.bmp", 6},
                 {"t.3df", 7},
                 {"pic.tga", 0},
                 {"noextension", 0},
                 {"dir.bmp/file", 0},
                 {"a.bmp.txt", 0},
                 {".BMP", 6},
                 {"", 0},
                 {nullptr, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(KX_ImageTypeOf(c.name), c.type) << (c.name ? c.name : "none");
}

TEST_F(Materials, TexturesAreFoundByNameInAnyCase) {
    textures.textures = {{"SKY.BMP", 64, 64}, {"", 0, 0}, {"Logo.3df", 128, 32}};
    EXPECT_EQ(KX_FindTexture("logo.3DF"), 2);
    EXPECT_EQ(KX_FindTexture("sky.bmp"), 0);
    EXPECT_EQ(KX_FindTexture("sky"), resultTextureNotFound);
    EXPECT_EQ(KX_FindTexture(nullptr), resultTextureNotFound);
    engine().textures = nullptr;
    EXPECT_EQ(KX_FindTexture("sky.bmp"), resultTextureNotFound);
}

TEST_F(Materials, ASpriteModelIsAQuadOfTheTexturesSize) {
    textures.textures = {{"STAR.3DF", 32, 16, 1, 0.5f}};
    KX_AllocMaterials(4);
    Material star = named("STAR");
    KX_SetMaterialTexture(star, 0);
    ASSERT_EQ(KX_AddMaterial(star), 0);
    Material broken = named("BROKEN");
    KX_SetMaterialTexture(broken, -7); // its texture failed to load
    ASSERT_EQ(KX_AddMaterial(broken), 1);
    Material beyond = named("BEYOND");
    KX_SetMaterialTexture(beyond, 1);
    ASSERT_EQ(KX_AddMaterial(beyond), 2);

    EXPECT_EQ(KX_MakeSpriteModel(1), nullptr);
    EXPECT_EQ(KX_MakeSpriteModel(2), nullptr);
    EXPECT_EQ(KX_MakeSpriteModel(-15), nullptr);
    std::unique_ptr<Model, ModelFree> sprite(KX_MakeSpriteModel(0));
    ASSERT_TRUE(sprite);
    EXPECT_EQ(sprite->lastFrame, -1);
    ASSERT_EQ(sprite->segments.size(), 1u);
    const Segment& seg = sprite->segments[0];
    EXPECT_EQ(seg.flags, segmentBillboard);
    EXPECT_EQ(seg.box.radius, 64);
    const float want[5][2] = {{0, 0}, {-32, -16}, {32, -16}, {32, 16}, {-32, 16}};
    ASSERT_EQ(seg.vertices.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(seg.vertices[i].x, want[i][0]);
        EXPECT_EQ(seg.vertices[i].y, want[i][1]);
        EXPECT_EQ(seg.vertices[i].normal[2], 1023);
        EXPECT_EQ(seg.vertices[i].screen, &seg.screen[i]);
    }
    const struct {
        int corner[3];
        float u[3], v[3];
    } faces[] = {{{2, 1, 3}, {254, 1.5f, 254}, {127, 127, 1.5f}},
                 {{3, 1, 4}, {254, 1.5f, 1.5f}, {1.5f, 127, 1.5f}}};
    ASSERT_EQ(seg.faces.size(), 2u);
    for (std::size_t f = 0; f < 2; ++f) {
        const Face& face = seg.faces[f];
        EXPECT_EQ(face.material, 0);
        EXPECT_EQ(face.backMaterial, 0);
        EXPECT_EQ(face.flags, 6);
        EXPECT_EQ(face.normal[2], 1023);
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(face.corner[k], &seg.vertices[std::size_t(faces[f].corner[k])]);
            EXPECT_EQ(face.u[k], faces[f].u[k]);
            EXPECT_EQ(face.v[k], faces[f].v[k]);
        }
    }
}

} // namespace
