#include "umbrek/tests/scene_archive.h"

#include "umbrek/vastrel/model_file.h"
#include "umbrek/vastrel/tests/image_writers.h"
#include "umbrek/vastrel/tests/kxo_writer.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <stdexcept>

namespace umbrek::test {

namespace {

using namespace umbrek::vastrel;

constexpr float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

KxoFace face(std::uint32_t a, std::uint32_t b, std::uint32_t c, const float (&u)[3],
             const float (&v)[3], std::uint16_t material = 0) {
    KxoFace f;
    f.vertex[0] = a, f.vertex[1] = b, f.vertex[2] = c;
    f.material = f.backMaterial = material;
    for (int i = 0; i < 3; ++i) {
        f.u[i] = u[i], f.v[i] = v[i];
        f.cornerValue[i] = std::bit_cast<std::uint32_t>(1.0f);
    }
    f.flags = 6;
    return f;
}

// A root with a name, one texture (flagged or not) and the given materials.
KxoWriter& header(KxoWriter& w, const char* name, const std::string& texture, bool flagged,
                  const std::vector<KxoMaterial>& materials) {
    w.begin(kxoRoot).string(kxoModelName, name);
    w.textureFlags({std::uint8_t(flagged)}).names(kxoTextures, {texture});
    w.begin(kxoMaterials);
    for (const KxoMaterial& m : materials) w.material(m);
    return w.end();
}

// One segment: a quad of half-size (w, h) facing +z.
void quadSegment(KxoWriter& w, const char* name, float hw, float hh, std::uint32_t flags = 0) {
    w.string(kxoSegmentName, name).int32(kxoSegmentFlags, std::int32_t(flags));
    w.vertices({{-hw, -hh, 0}, {hw, -hh, 0}, {hw, hh, 0}, {-hw, hh, 0}});
    w.faces({face(0, 1, 2, {0, 1, 1}, {1, 1, 0}), face(0, 2, 3, {0, 1, 0}, {1, 0, 0})});
    w.matrix(identity);
}

std::vector<std::uint8_t> quadModel(const char* name, const std::string& texture, bool flagged,
                                    const std::vector<KxoMaterial>& materials, float hw, float hh) {
    KxoWriter w;
    header(w, name, texture, flagged, materials);
    w.begin(kxoSegments).i32(1);
    quadSegment(w, name, hw, hh);
    return w.end().end().bytes();
}

// Four segments, each an 8-sided open ring of radius 30 and length 40.
std::vector<std::uint8_t> tubesModel() {
    KxoWriter w;
    KxoMaterial metal{.name = "metal.pcx", .shadeMode = 38, .texture = 0};
    metal.environment = 1, metal.environmentAxes = 0;
    header(w, "tubes", "metal.pcx", false, {metal});
    w.begin(kxoSegments).i32(4);
    for (int l = 0; l < 4; ++l) {
        w.string(kxoSegmentName, "ring" + std::to_string(l)).int32(kxoSegmentFlags, 0x20);
        std::vector<KxoVertex> ring;
        for (int end = 0; end < 2; ++end)
            for (int k = 0; k < 8; ++k) {
                const float a = float(k) * 0.785398f;
                const std::int16_t nx = std::int16_t(1023 * std::cos(a)),
                                   ny = std::int16_t(1023 * std::sin(a));
                ring.push_back({30 * std::cos(a),
                                30 * std::sin(a),
                                float(l * 40 + end * 40 - 80),
                                {nx, ny, 0}});
            }
        std::vector<KxoFace> faces;
        for (std::uint32_t k = 0; k < 8; ++k) {
            const std::uint32_t n = (k + 1) % 8;
            faces.push_back(face(k, n, n + 8, {0, 1, 1}, {0, 0, 1}));
            faces.push_back(face(k, n + 8, k + 8, {0, 1, 0}, {0, 1, 1}));
        }
        w.vertices(ring).faces(faces).matrix(identity);
    }
    return w.end().end().bytes();
}

std::vector<std::uint8_t> pcx(const IndexedImage& image) {
    return writePcx(image);
}

// A flare: brightest in the middle, index = 255 - 8 x distance.
IndexedImage flare() {
    return makeImage(32, 32, [](int x, int y) {
        const double d = std::hypot(x - 15.5, y - 15.5);
        return std::uint8_t(std::max(0.0, 255 - 8 * d));
    });
}

} // namespace

std::vector<LibraryEntry> sceneMembers() {
    const KxoMaterial logo{.name = "zephrinmap",
                           .shadeMode = 38,
                           .texture = 0,
                           .rgba = {255.0f, 255.0f, 255.0f, 255.0f}};
    const KxoMaterial rmat{.name = "rmat", .shadeMode = 30, .texture = 0};
    const KxoMaterial donut{.name = "donutmat"};
    const KxoMaterial spin{.name = "zephrinspin.pcx", .shadeMode = 8, .texture = 0};
    const KxoMaterial checker{.name = "checker", .shadeMode = 8, .texture = 0};
    return {
        {"ZEPHRIN.KXO", quadModel("zephrin", "zlogo.pcx", false, {logo}, 100, 50)},
        {"R.KXO", quadModel("r", "metal.pcx", false, {rmat, donut}, 10, 10)},
        {"TUBES.KXO", tubesModel()},
        {"CHECKER.KXO", quadModel("checker", "checker.pcx", true, {checker}, 20, 20)},
        {"ZEPHRINSPIN.KXO", quadModel("zephrinspin", "spin.pcx", false, {spin}, 10, 10)},
        {"FLARE1.PCX", pcx(flare())},
        {"FLARE2.PCX", pcx(flare())},
        {"FLARE3.PCX", pcx(flare())},
        {"BLACK.PCX", pcx(makeImage(8, 8, [](int, int) { return std::uint8_t(0); }))},
        {"ZLOGO.PCX", pcx(makeImage(64, 32, [](int x, int y) { return std::uint8_t(x * 4 ^ y); }))},
        {"METAL.PCX",
         pcx(makeImage(64, 64,
                       [](int x, int y) { return std::uint8_t((x / 8 + y / 8) % 2 * 200 + 40); }))},
        {"CHECKER.PCX",
         pcx(makeImage(16, 16, [](int x, int y) { return std::uint8_t((x ^ y) * 16); }))},
        {"SPIN.PCX", pcx(makeImage(16, 16, [](int x, int) { return std::uint8_t(x * 16); }))},
    };
}

LibraryEntry& sceneMember(std::vector<LibraryEntry>& members, const std::string& name) {
    for (LibraryEntry& e : members)
        if (e.name == name) return e;
    throw std::runtime_error("no member " + name);
}

void dropSceneMember(std::vector<LibraryEntry>& members, const std::string& name) {
    std::erase_if(members, [&](const LibraryEntry& e) { return e.name == name; });
}

} // namespace umbrek::test
