// Writes model files (".kxo") and shade-table files for tests, fuzz seeds
// and the archive maker. Chunks are opened and closed like brackets; closing
// one writes its length back into its header, or, for the damaged files the
// loader must survive, a length given by the caller.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace umbrek::test {

struct KxoVertex {
    float x = 0, y = 0, z = 0;
    std::int16_t normal[3] = {0, 0, 1023};
};

struct KxoFace {
    std::uint16_t material = 0, backMaterial = 0;
    std::uint32_t vertex[3] = {0, 1, 2};
    float u[3] = {}, v[3] = {};
    std::uint32_t cornerValue[3] = {};
    std::int16_t normal[3] = {0, 0, 1023};
    std::uint8_t flags = 2;
};

// A material's chunks; fields left unset are not written, so the loader's
// working record keeps what the material before it set.
struct KxoMaterial {
    std::string name;
    std::optional<std::int32_t> shadeMode = {}, texture = {}, shadeCount = {};
    std::optional<std::uint8_t> paletteBase = {}, shadeTable = {};
    std::optional<std::uint8_t> environment = {}, environmentAxes = {}; // both or neither
    std::optional<float> rgba[4] = {};
};

class KxoWriter {
public:
    KxoWriter& begin(std::uint16_t id);
    // Closes the innermost open chunk with its true length.
    KxoWriter& end();
    // Closes it claiming LENGTH instead.
    KxoWriter& endClaiming(std::uint32_t length);

    KxoWriter& u8(std::uint8_t value);
    KxoWriter& u16(std::uint16_t value);
    KxoWriter& u32(std::uint32_t value);
    KxoWriter& i32(std::int32_t value) { return u32(std::uint32_t(value)); }
    KxoWriter& f32(float value);
    KxoWriter& text(const std::string& value); // with its zero byte
    KxoWriter& raw(const std::vector<std::uint8_t>& bytes);

    // Whole chunks.
    KxoWriter& leaf(std::uint16_t id, const std::vector<std::uint8_t>& payload);
    KxoWriter& string(std::uint16_t id, const std::string& value);
    KxoWriter& int32(std::uint16_t id, std::int32_t value);
    // 2000 or 2010: a 16-bit count (COUNT, or the number of names), then the names.
    KxoWriter& names(std::uint16_t id, const std::vector<std::string>& names,
                     std::optional<std::int16_t> count = {});
    KxoWriter& textureFlags(const std::vector<std::uint8_t>& flags);
    // 2101 to 2109 as set, then 2199; inside an open 2100.
    KxoWriter& material(const KxoMaterial& m);
    KxoWriter& vertices(const std::vector<KxoVertex>& vertices);
    KxoWriter& faces(const std::vector<KxoFace>& faces);
    KxoWriter& matrix(const float (&m)[16]);
    KxoWriter& links(std::int32_t child, std::int32_t sibling, std::int32_t third);
    // 1F20 rotation keys (relative quaternion x, y, z, w per frame), 1F30 or
    // 1F40 spline keys (value x, y, z per frame).
    KxoWriter& rotationKeys(const std::vector<std::pair<std::int32_t, std::array<float, 4>>>& keys);
    KxoWriter& splineKeys(std::uint16_t id,
                          const std::vector<std::pair<std::int32_t, std::array<float, 3>>>& keys);

    std::size_t openChunks() const { return open_.size(); }
    // The file; every chunk must be closed.
    std::vector<std::uint8_t> bytes() const;

private:
    std::vector<std::uint8_t> out_;
    std::vector<std::size_t> open_;
};

// The camera chunk 3000: the 113-byte record with POSITION, TARGET, FLAGS,
// near and far, and one 58-byte key per frame number.
std::vector<std::uint8_t> cameraChunkPayload(const float (&position)[3], const float (&target)[3],
                                             std::uint8_t flags, float nearDistance,
                                             float farDistance,
                                             const std::vector<std::int32_t>& keyFrames);

// A shade-table file: VALUE, the level count LEVELS (claimed) and
// DATALEVELS x 256 bytes of data (byte i = i * 7 + level).
std::vector<std::uint8_t> writeShadeTable(std::uint32_t value, std::uint32_t levels,
                                          std::uint32_t dataLevels);

} // namespace umbrek::test
