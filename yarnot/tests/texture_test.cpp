#include "yarnot/texture.h"
#include "yarnot/tests/bmp_fixture.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace yarnot {
namespace {

using test::BmpLayout;
using test::MakeBmp;

const char name[] = "C:\\art\\bump.BMP";

std::string named(const char* prefix) {
    return std::string(prefix) + "\n\"" + name + "\"";
}

TEST(Texture, FixtureTable) {
    constexpr size_t whole = SIZE_MAX;
    struct Case {
        const char* what;
        std::function<void(BmpLayout&)> change;
        size_t keep; // bytes kept of the file
        std::string message;
        std::function<void(std::vector<uint8_t>&)> patch = nullptr;
    };
    const std::string notWanted = named("Not a 256 x 256 x 24-bit image:");
    const std::string unknown = named("Don't know how to handle image file:");
    const std::string reading = named("Error reading image file:");
    const Case cases[] = {
        {"40-byte header", [](BmpLayout&) {}, whole, ""},
        {"12-byte header", [](BmpLayout& s) { s.headerSize = 12; }, whole, ""},
        {"pixels further on", [](BmpLayout& s) { s.pixelOffset = 300; }, whole, ""},
        {"256 x 128", [](BmpLayout& s) { s.height = 128; }, whole, notWanted},
        {"128 x 256, 12 bytes", [](BmpLayout& s) { s.headerSize = 12, s.width = 128; }, whole,
         notWanted},
        {"top-down", [](BmpLayout& s) { s.height = -256; }, whole, notWanted},
        {"8-bit", [](BmpLayout& s) { s.bits = 8; }, whole, notWanted},
        {"8-bit, 12 bytes", [](BmpLayout& s) { s.headerSize = 12, s.bits = 8; }, whole, notWanted},
        {"two planes", [](BmpLayout& s) { s.planes = 2; }, whole, notWanted},
        {"compressed", [](BmpLayout& s) { s.compression = 1; }, whole, notWanted},
        {"108-byte header", [](BmpLayout& s) { s.headerSize = 108; }, whole, unknown},
        {"not BM", [](BmpLayout& s) { s.magic[1] = 'A'; }, whole, named("Not a BMP image file:")},
        {"empty file", [](BmpLayout&) {}, 0, reading},
        {"headers cut short", [](BmpLayout&) {}, 33, reading},
        {"last pixel cut short", [](BmpLayout&) {}, 54 + 65536 * 3 - 1, reading},
        {"offset past the end", [](BmpLayout&) {}, whole, reading,
         [](std::vector<uint8_t>& f) { test::put32(f, 10, 0xFFFFFF00); }},
        {"offset inside the headers", [](BmpLayout&) {}, whole, "",
         [](std::vector<uint8_t>& f) { test::put32(f, 10, 0); }},
    };
    for (const Case& c : cases) {
        BmpLayout layout;
        c.change(layout);
        std::vector<uint8_t> file = MakeBmp(layout);
        if (c.keep != whole) file.resize(c.keep);
        if (c.patch) c.patch(file);
        MemorySource source(file.data(), file.size());
        auto texture = std::make_unique<Texture>();
        std::string message = "stale";
        bool ok = LoadTexture(source, name, 0, *texture, message);
        EXPECT_EQ(ok, c.message.empty()) << c.what;
        EXPECT_EQ(message, c.message) << c.what;
        if (ok && !c.patch) {
            // The first stored row is texel row 0; blue is the low byte.
            EXPECT_EQ(texture->at(0, 0), 0x000000u) << c.what;
            EXPECT_EQ(texture->at(3, 200), 0x0003C8u) << c.what;
            EXPECT_EQ(texture->at(255, 1), 0x00FF01u) << c.what;
        }
    }
}

TEST(Texture, ChannelOrderAndBlurMaskAndShift) {
    BmpLayout layout;
    layout.pixel = [](int row, int column) { return row == 0 && column == 0 ? 0xFF8103u : 0u; };
    std::vector<uint8_t> file = MakeBmp(layout);
    EXPECT_EQ(file[54], 0x03); // stored blue, green, red
    const uint32_t expected[] = {0xFF8103, 0x7F4001, 0x3F2000, 0x1F1000};
    for (int blur = 0; blur < 4; ++blur) {
        MemorySource source(file.data(), file.size());
        auto texture = std::make_unique<Texture>();
        std::string message;
        ASSERT_TRUE(LoadTexture(source, name, blur, *texture, message)) << message;
        EXPECT_EQ(texture->at(0, 0), expected[blur]) << "blur " << blur;
    }
}

TEST(Texture, FromFile) {
    const char* dir = std::getenv("TEST_TMPDIR");
    ASSERT_NE(dir, nullptr) << "TEST_TMPDIR is not set";
    std::string path = std::string(dir) + "/texture_test.bmp";
    std::vector<uint8_t> file = MakeBmp(BmpLayout{});
    jk::test::writeFile(path, file); // throws "PATH: REASON"

    auto texture = std::make_unique<Texture>();
    std::string message;
    EXPECT_TRUE(LoadTextureFile(path, 0, *texture, message)) << message;
    EXPECT_EQ(texture->at(7, 9), 0x000709u);

    std::string missing = std::string(dir) + "/missing.bmp";
    EXPECT_FALSE(LoadTextureFile(missing, 0, *texture, message));
    EXPECT_EQ(message, "Error opening image file:\n\"" + missing + "\"");
    EXPECT_FALSE(LoadTextureFile("", 0, *texture, message));
    EXPECT_EQ(message, "Please select an image file\nin the Configuration Dialog!");
}

} // namespace
} // namespace yarnot
