// The model-file loader over files written for each case: a whole small
// model, the chunk walk's bounds, materials and their remapping, flagged
// textures, keys, links and cameras, and damaged files of every kind.
#include "umbrek/vastrel/camera.h"
#include "umbrek/vastrel/tests/image_writers.h"
#include "umbrek/vastrel/tests/kxo_writer.h"
#include "umbrek/vastrel/tests/model_fixture.h"

#include <bit>
#include <functional>
#include <string>

namespace umbrek::vastrel::test {
namespace {

using umbrek::test::KxoFace;
using umbrek::test::KxoMaterial;
using umbrek::test::KxoVertex;
using umbrek::test::KxoWriter;

const std::vector<KxoVertex> quad = {{-100, -50, 0, {0, 0, 1023}},
                                     {100, -50, 0, {0, 0, 1023}},
                                     {100, 50, 7, {0, 1023, 0}},
                                     {-100, 50, -3, {-1023, 0, 0}}};

KxoFace face(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint16_t material = 0) {
    KxoFace f;
    f.vertex[0] = a, f.vertex[1] = b, f.vertex[2] = c;
    f.material = f.backMaterial = material;
    f.u[0] = 0, f.u[1] = 1, f.u[2] = 1;
    f.v[0] = 0, f.v[1] = 0, f.v[2] = 1;
    f.cornerValue[0] = std::bit_cast<std::uint32_t>(1.0f);
    f.flags = 6;
    return f;
}

std::vector<std::uint8_t> pcx(int width, int height) {
    return umbrek::test::writePcx(
        umbrek::test::makeImage(width, height, [](int x, int y) { return std::uint8_t(x ^ y); }));
}

// A root holding what BODY writes.
std::vector<std::uint8_t> model(const std::function<void(KxoWriter&)>& body) {
    KxoWriter w;
    w.begin(kxoRoot);
    body(w);
    return w.end().bytes();
}

// One segment "seg" holding what BODY writes after its name.
std::vector<std::uint8_t> oneSegment(const std::function<void(KxoWriter&)>& body,
                                     std::int32_t count = 1) {
    return model([&](KxoWriter& w) {
        w.begin(kxoSegments).i32(count).string(kxoSegmentName, "seg");
        body(w);
        w.end();
    });
}

TEST_F(ModelFileTest, MinimalModelIsReadWhole) {
    Material earlier;
    KX_SetMaterialName(earlier, "earlier");
    ASSERT_EQ(KX_AddMaterial(earlier), 0); // so the file's material 0 is the engine's 1
    const float matrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 10, 20, 30, 1};
    const auto bytes = model([&](KxoWriter& w) {
        w.string(kxoModelName, "box").textureFlags({0}).names(kxoTextures, {"wide.pcx"});
        w.begin(kxoMaterials).material({.name = "skin", .shadeMode = 38, .texture = 0}).end();
        w.begin(kxoSegments).i32(1).string(kxoSegmentName, "lid").int32(kxoSegmentFlags, 0x20);
        w.vertices(quad).faces({face(0, 1, 2), face(0, 2, 3)});
        w.begin(kxoPivot).f32(1).f32(2).f32(3).end().matrix(matrix).end();
    });
    const OwnedModel m = load(bytes, 0, {{"WIDE.PCX", pcx(64, 32)}});
    ASSERT_TRUE(m);
    EXPECT_EQ(m->name, "box");
    EXPECT_EQ(m->lastFrame, -1);
    ASSERT_EQ(m->segments.size(), 1u);
    const Segment& s = m->segments[0];
    EXPECT_EQ(s.name, "lid");
    EXPECT_EQ(s.flags, 0x20u);
    ASSERT_EQ(s.vertices.size(), 4u);
    ASSERT_EQ(s.screen.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(s.vertices[i].x, quad[i].x);
        EXPECT_EQ(s.vertices[i].y, quad[i].y);
        EXPECT_EQ(s.vertices[i].z, quad[i].z);
        for (int k = 0; k < 3; ++k) EXPECT_EQ(s.vertices[i].normal[k], quad[i].normal[k]);
        EXPECT_EQ(s.vertices[i].screen, &s.screen[i]);
    }
    ASSERT_EQ(s.faces.size(), 2u);
    const Face& f = s.faces[1];
    EXPECT_EQ(f.corner[0], &s.vertices[0]);
    EXPECT_EQ(f.corner[1], &s.vertices[2]);
    EXPECT_EQ(f.corner[2], &s.vertices[3]);
    EXPECT_EQ(f.material, 1);
    EXPECT_EQ(f.backMaterial, 1);
    EXPECT_EQ(f.flags, 6);
    EXPECT_EQ(std::bit_cast<float>(f.cornerValue[0]), 1.0f);
    EXPECT_EQ(f.normal[2], 1023);
    // A 64 x 32 texture has s scale 1 and t scale 0.5.
    EXPECT_FLOAT_EQ(f.u[1], 255.0f);
    EXPECT_FLOAT_EQ(f.v[2], 127.5f);
    EXPECT_EQ(std::string(material(1).name), "skin");
    EXPECT_EQ(material(1).shadeMode, 38);
    EXPECT_EQ(material(1).texture, KX_FindTexture("wide.pcx"));
    EXPECT_EQ(material(1).shadeTable, materialNoShadeTable);
    EXPECT_EQ(material(1).alpha, 255.0f);
    EXPECT_EQ(s.pivot.x, 1.0f);
    EXPECT_EQ(s.pivot.z, 3.0f);
    EXPECT_EQ(s.fileMatrix[12], 10.0f);
    EXPECT_EQ(s.fileMatrix[14], 30.0f);
    EXPECT_EQ(m->box.minX, -100.0f);
    EXPECT_EQ(m->box.maxY, 50.0f);
    EXPECT_EQ(m->box.minZ, -3.0f);
    EXPECT_EQ(m->box.maxZ, 7.0f);
    EXPECT_EQ(s.box.maxX, 100.0f);
}

TEST_F(ModelFileTest, UnknownChunksAreSkippedByTheirLength) {
    const auto bytes = model([](KxoWriter& w) {
        w.leaf(0x7777, {1, 2, 3, 4, 5}).string(kxoModelName, "after");
        w.begin(kxoSegments).i32(1).string(kxoSegmentName, "seg");
        w.leaf(0x1FFF, std::vector<std::uint8_t>(40, 0x10)).vertices(quad).end();
    });
    const OwnedModel m = load(bytes);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->name, "after");
    EXPECT_EQ(m->segments.at(0).vertices.size(), 4u);
}

TEST_F(ModelFileTest, AChildOverrunningItsParentEndsThatParentsWalk) {
    const auto bytes = model([](KxoWriter& w) {
        w.begin(kxoSegments).i32(1).string(kxoSegmentName, "seg").vertices(quad);
        w.begin(kxoSegmentFlags).i32(5).endClaiming(500); // beyond the segment chunk
        w.faces({face(0, 1, 2)}).end();
        w.string(kxoModelName, "root goes on");
    });
    const OwnedModel m = load(bytes);
    ASSERT_TRUE(m);
    const Segment& s = m->segments.at(0);
    EXPECT_EQ(s.vertices.size(), 4u);
    EXPECT_EQ(s.flags, 0u);
    EXPECT_TRUE(s.faces.empty());
    EXPECT_EQ(m->name, "root goes on");
}

TEST_F(ModelFileTest, OnlyARootChunkStartsAModel) {
    KxoWriter w;
    w.begin(0x0304).string(kxoModelName, "x").end();
    EXPECT_FALSE(load(w.bytes()));
    EXPECT_FALSE(load({0x03, 0x03, 6, 0})); // a header cut short
    EXPECT_FALSE(KX_LoadKXO("absent.kxo", 0));
    EXPECT_FALSE(KX_LoadKXO(nullptr, 0));
    const OwnedModel empty = load(model([](KxoWriter&) {}));
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->segments.empty());
}

TEST_F(ModelFileTest, MaterialsAreSharedByNameInheritFieldsAndRemapFaces) {
    const auto bytes = model([](KxoWriter& w) {
        w.names(kxoTextures, {"a.pcx", "b.pcx"});
        w.begin(kxoMaterials)
            .material({.name = "first", .shadeMode = 30, .texture = 1, .shadeCount = 9})
            .material({.name = "FIRST", .shadeMode = 5}) // the same name in another case
            .material({.name = "second"})                // inherits mode 5, texture 1, count 9
            .material({.name = "a_name_of_twenty_ch", .texture = 7}) // no texture 7
            .end();
        w.begin(kxoSegments).i32(1).string(kxoSegmentName, "seg").vertices(quad);
        w.faces({face(0, 1, 2, 0), face(0, 1, 2, 1), face(0, 1, 2, 2), face(0, 1, 2, 3),
                 face(0, 1, 2, 4), face(0, 1, 2, 512), face(0, 1, 2, 0xFFFF)});
        w.end();
    });
    const OwnedModel m = load(bytes, 0, {{"A.PCX", pcx(8, 8)}, {"B.PCX", pcx(16, 16)}});
    ASSERT_TRUE(m);
    EXPECT_EQ(material(0).shadeMode, 30); // the first definition stands
    EXPECT_EQ(material(0).texture, KX_FindTexture("b.pcx"));
    EXPECT_EQ(std::string(material(1).name), "second");
    EXPECT_EQ(material(1).shadeMode, 5);
    EXPECT_EQ(material(1).texture, KX_FindTexture("b.pcx"));
    EXPECT_EQ(material(1).shadeCount, 9);
    EXPECT_EQ(std::string(material(2).name), "a_name_of_twenty_c"); // cut to 18
    EXPECT_EQ(material(2).texture, materialNoTexture);
    EXPECT_EQ(material(3).name[0], 0);
    std::vector<int> numbers;
    for (const Face& f : m->segments.at(0).faces) numbers.push_back(f.material);
    // File numbers 0 and 1 are one material; 4 (past the file's four),
    // 512 and 65535 become material 0.
    EXPECT_EQ(numbers, (std::vector<int>{0, 0, 1, 2, 0, 0, 0}));
    // Without a texture the coordinates are scaled by 255.
    EXPECT_FLOAT_EQ(m->segments.at(0).faces[3].u[1], 255.0f);
}

TEST_F(ModelFileTest, FacesOfMaterialsThatCouldNotBeStoredAreLeftOut) {
    ASSERT_EQ(KX_AllocMaterials(1), 0);
    const auto bytes = model([](KxoWriter& w) {
        w.begin(kxoMaterials).material({.name = "fits"}).material({.name = "full"});
        w.leaf(kxoMaterialName, {0}).leaf(kxoMaterialEnd, {}).end(); // a nameless one
        w.begin(kxoSegments).i32(1).string(kxoSegmentName, "seg").vertices(quad);
        w.faces({face(0, 1, 2, 0), face(0, 1, 2, 1), face(0, 1, 2, 2), face(0, 1, 3, 0)}).end();
    });
    const OwnedModel m = load(bytes);
    ASSERT_TRUE(m);
    const auto& faces = m->segments.at(0).faces;
    ASSERT_EQ(faces.size(), 2u);
    EXPECT_EQ(faces[1].corner[2], &m->segments[0].vertices[3]);
}

TEST_F(ModelFileTest, SkipFlagsLeaveListsAndMaterialsOut) {
    const auto bytes = model([](KxoWriter& w) {
        w.names(kxoShadeTables, {"s.tab"}).names(kxoTextures, {"a.pcx"});
        w.begin(kxoMaterials).material({.name = "m", .texture = 0, .shadeTable = 0}).end();
    });
    const std::vector<umbrek::test::LibraryEntry> members = {
        {"A.PCX", pcx(8, 8)}, {"S.TAB", umbrek::test::writeShadeTable(1, 1, 1)}};
    ASSERT_TRUE(load(bytes, kxoSkipMaterials | kxoSkipShadeTables | kxoSkipTextures, members));
    EXPECT_EQ(KX_FindMaterial("m"), resultMaterialNotFound);
    EXPECT_EQ(KX_FindTexture("a.pcx"), resultTextureNotFound);
    EXPECT_EQ(KX_FindShadeTable("s.tab"), resultShadeTableNotFound);
    ASSERT_TRUE(load(bytes, 0, members));
    const Material& m = material(KX_FindMaterial("m"));
    EXPECT_EQ(m.texture, KX_FindTexture("a.pcx"));
    EXPECT_EQ(m.shadeTable, KX_FindShadeTable("S.TAB"));
}

TEST_F(ModelFileTest, FlaggedTextureIsConvertedWithOneAlphaBitAndTheModeIsRestored) {
    engine().textureFormat = 0;
    const auto bytes = model([](KxoWriter& w) {
        w.textureFlags({1, 0}).names(kxoTextures, {"see.pcx", "plain.pcx"});
    });
    ASSERT_TRUE(load(bytes, 0, {{"SEE.PCX", pcx(8, 8)}, {"PLAIN.PCX", pcx(8, 8)}}));
    EXPECT_EQ(engine().textureFormat, 0);
    const TextureRecord& see = textureManager().records.at(std::size_t(KX_FindTexture("see.pcx")));
    const TextureRecord& plain =
        textureManager().records.at(std::size_t(KX_FindTexture("plain.pcx")));
    EXPECT_EQ(see.info.format, GR_TEXFMT_ARGB_1555);
    EXPECT_EQ(see.transparent, 1);
    EXPECT_EQ(plain.info.format, GR_TEXFMT_RGB_565);
    EXPECT_EQ(plain.transparent, 0);
}

TEST_F(ModelFileTest, MissingTexturesAndShadeTablesLeaveTheirPositionsEmpty) {
    const auto bytes = model([](KxoWriter& w) {
        w.names(kxoShadeTables, {"gone.tab", "s.tab"}).names(kxoTextures, {"gone.pcx", "a.pcx"});
        w.begin(kxoMaterials)
            .material({.name = "m0", .texture = 0, .shadeTable = 0})
            .material({.name = "m1", .texture = 1, .shadeTable = 1})
            .end();
    });
    ASSERT_TRUE(
        load(bytes, 0, {{"A.PCX", pcx(8, 8)}, {"S.TAB", umbrek::test::writeShadeTable(1, 2, 2)}}));
    const Material& m0 = material(KX_FindMaterial("m0"));
    const Material& m1 = material(KX_FindMaterial("m1"));
    EXPECT_EQ(m0.texture, materialNoTexture);
    EXPECT_EQ(m0.shadeTable, materialNoShadeTable);
    EXPECT_EQ(m1.texture, KX_FindTexture("a.pcx"));
    EXPECT_EQ(m1.shadeTable, 0);
}

TEST_F(ModelFileTest, KeysRaiseTheLastFrameAndLinksStayInsideTheModel) {
    const auto bytes = model([](KxoWriter& w) {
        w.begin(kxoSegments).i32(3);
        w.string(kxoSegmentName, "a").links(1, -1, 2);
        w.rotationKeys({{0, {0, 0, 0, 1}}, {40, {0, 0.5f, 0, 0.5f}}});
        w.string(kxoSegmentName, "b").links(3, -7, 0); // 3 and -7 name no segment
        w.splineKeys(kxoPositionKeys, {{5, {1, 2, 3}}, {75, {4, 5, 6}}});
        w.string(kxoSegmentName, "c").splineKeys(kxoScaleKeys, {{60, {1, 1, 1}}});
        w.end();
    });
    const OwnedModel m = load(bytes);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->lastFrame, 75);
    const auto& s = m->segments;
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(s[0].child, 1);
    EXPECT_EQ(s[0].sibling, -1);
    EXPECT_EQ(s[0].thirdLink, 2);
    EXPECT_EQ(s[1].child, -1);
    EXPECT_EQ(s[1].sibling, -1);
    EXPECT_EQ(s[1].thirdLink, 0);
    ASSERT_EQ(s[0].rotationKeys.size(), 2u);
    EXPECT_EQ(s[0].rotationKeys[1].frame, 40);
    EXPECT_EQ(s[0].rotationKeys[1].relative.y, 0.5f);
    ASSERT_EQ(s[1].positionKeys.size(), 2u);
    EXPECT_EQ(s[1].positionKeys[1].value.z, 6.0f);
    EXPECT_EQ(s[2].scaleKeys.at(0).frame, 60);
}

TEST_F(ModelFileTest, CameraChunkAddsACameraWithItsKeys) {
    const float position[3] = {1, 2, 3}, target[3] = {4, 5, 6};
    const auto bytes = model([&](KxoWriter& w) {
        w.leaf(kxoCamera,
               umbrek::test::cameraChunkPayload(position, target, 1, 2.5f, 900, {0, 30, 12}));
    });
    ASSERT_TRUE(load(bytes));
    const Camera* c = KX_FirstCamera();
    ASSERT_TRUE(c);
    EXPECT_EQ(c->next, nullptr);
    EXPECT_EQ(c->position.z, 3.0f);
    EXPECT_EQ(c->target.x, 4.0f);
    EXPECT_EQ(c->flags, 1);
    EXPECT_EQ(c->nearDistance, 2.5f);
    EXPECT_EQ(c->farDistance, 900.0f);
    EXPECT_EQ(c->currentKey, 0);
    EXPECT_TRUE(c->name.empty());
    ASSERT_EQ(c->keys.size(), 3u);
    EXPECT_EQ(c->keys[1].frame, 30);
    EXPECT_EQ(c->keys[1].rest[0], 30);
    EXPECT_EQ(c->lastKeyFrame, 30);
}

TEST_F(ModelFileTest, ATruncatedFileKeepsWhatWasRead) {
    const auto whole = model([](KxoWriter& w) {
        w.string(kxoModelName, "cut");
        w.begin(kxoSegments).i32(2).string(kxoSegmentName, "a").vertices(quad);
        w.faces({face(0, 1, 2)}).string(kxoSegmentName, "b").vertices(quad);
        w.faces({face(0, 1, 2), face(1, 2, 3)}).end();
    });
    // Cut inside the second segment's faces: that chunk is lost, the rest stands.
    const std::vector<std::uint8_t> cut(whole.begin(), whole.end() - 30);
    const OwnedModel m = load(cut);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->name, "cut");
    ASSERT_EQ(m->segments.size(), 2u);
    EXPECT_EQ(m->segments[0].faces.size(), 1u);
    EXPECT_EQ(m->segments[1].vertices.size(), 4u);
    EXPECT_TRUE(m->segments[1].faces.empty());
    // The member is cut, not the library: the loader does not read on into
    // the next member's bytes.
    auto tail = whole;
    tail.resize(whole.size() - 30);
    const OwnedModel again = load(tail, 0, {{"ZZZ", std::vector<std::uint8_t>(200, 0x40)}});
    ASSERT_TRUE(again);
    EXPECT_TRUE(again->segments.at(1).faces.empty());
}

// Files whose numbers point outside what they hold: each is dropped at the
// chunk it concerns, and what is sound around it is kept.
TEST_F(ModelFileTest, DamagedNumbersAreDroppedWhereTheyStand) {
    struct Case {
        const char* what;
        std::function<void(KxoWriter&)> segmentBody;
        std::int32_t count;
        std::size_t segments, vertices, faces;
    };
    const auto tooMany = [](KxoWriter& w) { w.i32(1'000'000); };
    const Case cases[] = {
        {"faces before vertices", [](KxoWriter& w) { w.faces({face(0, 1, 2)}).vertices(quad); }, 1,
         1, 4, 0},
        {"vertex number out of range",
         [](KxoWriter& w) {
             w.vertices(quad).faces({face(0, 1, 4), face(0, 1, 3)});
         },
         1, 1, 4, 1},
        {"vertex count beyond the chunk",
         [&](KxoWriter& w) {
             w.begin(kxoVertices);
             tooMany(w);
             w.f32(1).end();
         },
         1, 1, 0, 0},
        {"face count beyond the chunk",
         [](KxoWriter& w) {
             w.vertices(quad).begin(kxoFaces).i32(3).raw({1, 2}).end();
         },
         1, 1, 4, 0},
        {"negative counts",
         [](KxoWriter& w) {
             w.begin(kxoVertices).i32(-4).end().begin(kxoFaces).i32(-1).end();
             w.begin(kxoRotationKeys).i32(-2).end();
         },
         1, 1, 0, 0},
        {"key count beyond the chunk",
         [](KxoWriter& w) {
             w.begin(kxoPositionKeys).i32(3).raw({0, 0, 0}).end();
         },
         1, 1, 0, 0},
        {"second vertex chunk",
         [](KxoWriter& w) { w.vertices(quad).faces({face(0, 1, 2)}).vertices({{}}); }, 1, 1, 4, 1},
        {"more names than segments",
         [](KxoWriter& w) { w.string(kxoSegmentName, "extra").vertices(quad); }, 1, 1, 0, 0},
        {"segment count beyond the chunk", [](KxoWriter&) {}, 1'000'000'000, 1, 0, 0},
        {"negative segment count", [](KxoWriter&) {}, -5, 0, 0, 0},
        {"zero-length chunk", [](KxoWriter& w) { w.begin(0x1234).endClaiming(0).vertices(quad); },
         1, 1, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const OwnedModel m = load(oneSegment(c.segmentBody, c.count));
        ASSERT_TRUE(m);
        ASSERT_EQ(m->segments.size(), c.segments);
        if (!c.segments) continue;
        EXPECT_EQ(m->segments[0].vertices.size(), c.vertices);
        EXPECT_EQ(m->segments[0].faces.size(), c.faces);
        EXPECT_EQ(m->lastFrame, -1);
    }
    // Segment chunks before any name belong to no segment.
    const auto early = model([](KxoWriter& w) {
        w.begin(kxoSegments).i32(1).vertices(quad).int32(kxoSegmentFlags, 9);
        w.string(kxoSegmentName, "late").end();
    });
    const OwnedModel m = load(early);
    ASSERT_TRUE(m);
    EXPECT_TRUE(m->segments.at(0).vertices.empty());
    EXPECT_EQ(m->segments[0].flags, 0u);
    EXPECT_EQ(m->segments[0].name, "late");
}

TEST_F(ModelFileTest, ListsAndStringsStayInsideTheirChunks) {
    const std::string longName(200, 'n');
    const auto bytes = model([&](KxoWriter& w) {
        w.string(kxoModelName, longName);
        w.names(kxoTextures, {"a.pcx"}, 30000);           // claims more names than it holds
        w.begin(kxoTextureFlags).u16(400).raw({1}).end(); // more flags than bytes: ignored
        w.names(kxoShadeTables, {"x"}, -3);
        w.begin(kxoMaterials).begin(kxoMaterialName).raw({'a', 'b'}).end(); // no zero byte
        w.leaf(kxoShadeMode, {1}).leaf(kxoColour, {0, 0}).leaf(kxoMaterialEnd, {}).end();
        w.begin(kxoCamera).raw(std::vector<std::uint8_t>(50, 0)).end(); // short record
        w.leaf(kxoCamera, [] {
            const float p[3] = {}, t[3] = {};
            auto c = umbrek::test::cameraChunkPayload(p, t, 0, 1, 2, {1});
            c[105] = 9; // nine keys claimed, one there
            return c;
        }());
    });
    const OwnedModel m = load(bytes, 0, {{"A.PCX", pcx(8, 8)}});
    ASSERT_TRUE(m);
    EXPECT_EQ(m->name, std::string(79, 'n'));
    EXPECT_GE(KX_FindTexture("a.pcx"), 0);
    const int ab = KX_FindMaterial("ab");
    ASSERT_GE(ab, 0);
    EXPECT_EQ(material(ab).shadeMode, 0);
    EXPECT_EQ(material(ab).red, 255.0f);
    EXPECT_EQ(KX_FirstCamera(), nullptr);
}

} // namespace
} // namespace umbrek::vastrel::test
