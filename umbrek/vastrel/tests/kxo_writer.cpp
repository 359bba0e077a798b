#include "umbrek/vastrel/tests/kxo_writer.h"

#include <bit>
#include <cstring>
#include <stdexcept>

namespace umbrek::test {

namespace {

void put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out[at + std::size_t(i)] = std::uint8_t(value >> (8 * i));
}

void append32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.resize(out.size() + 4);
    put32(out, out.size() - 4, value);
}

} // namespace

KxoWriter& KxoWriter::begin(std::uint16_t id) {
    open_.push_back(out_.size());
    u16(id);
    return u32(0);
}

KxoWriter& KxoWriter::end() {
    if (open_.empty()) throw std::logic_error("kxo writer: end without begin");
    return endClaiming(std::uint32_t(out_.size() - open_.back()));
}

KxoWriter& KxoWriter::endClaiming(std::uint32_t length) {
    if (open_.empty()) throw std::logic_error("kxo writer: end without begin");
    put32(out_, open_.back() + 2, length);
    open_.pop_back();
    return *this;
}

KxoWriter& KxoWriter::u8(std::uint8_t value) {
    out_.push_back(value);
    return *this;
}

KxoWriter& KxoWriter::u16(std::uint16_t value) {
    out_.push_back(std::uint8_t(value));
    out_.push_back(std::uint8_t(value >> 8));
    return *this;
}

KxoWriter& KxoWriter::u32(std::uint32_t value) {
    append32(out_, value);
    return *this;
}

KxoWriter& KxoWriter::f32(float value) {
    return u32(std::bit_cast<std::uint32_t>(value));
}

KxoWriter& KxoWriter::text(const std::string& value) {
    out_.insert(out_.end(), value.begin(), value.end());
    return u8(0);
}

KxoWriter& KxoWriter::raw(const std::vector<std::uint8_t>& bytes) {
    out_.insert(out_.end(), bytes.begin(), bytes.end());
    return *this;
}

KxoWriter& KxoWriter::leaf(std::uint16_t id, const std::vector<std::uint8_t>& payload) {
    return begin(id).raw(payload).end();
}

KxoWriter& KxoWriter::string(std::uint16_t id, const std::string& value) {
    return begin(id).text(value).end();
}

KxoWriter& KxoWriter::int32(std::uint16_t id, std::int32_t value) {
    return begin(id).i32(value).end();
}

KxoWriter& KxoWriter::names(std::uint16_t id, const std::vector<std::string>& names,
                            std::optional<std::int16_t> count) {
    begin(id).u16(std::uint16_t(count.value_or(std::int16_t(names.size()))));
    for (const std::string& name : names) text(name);
    return end();
}

KxoWriter& KxoWriter::textureFlags(const std::vector<std::uint8_t>& flags) {
    return begin(0x2011).u16(std::uint16_t(flags.size())).raw(flags).end();
}

KxoWriter& KxoWriter::material(const KxoMaterial& m) {
    if (!m.name.empty()) string(0x2101, m.name);
    if (m.shadeMode) int32(0x2102, *m.shadeMode);
    if (m.texture) int32(0x2103, *m.texture);
    if (m.paletteBase) leaf(0x2104, {*m.paletteBase});
    if (m.shadeCount) int32(0x2105, *m.shadeCount);
    if (m.shadeTable) leaf(0x2106, {*m.shadeTable});
    if (m.environment) leaf(0x2107, {*m.environment, m.environmentAxes.value_or(0)});
    if (m.rgba[0]) {
        begin(0x2109);
        for (const auto& c : m.rgba) f32(c.value_or(255.0f));
        end();
    }
    return leaf(0x2199, {});
}

KxoWriter& KxoWriter::vertices(const std::vector<KxoVertex>& vertices) {
    begin(0x1030).i32(std::int32_t(vertices.size()));
    for (const KxoVertex& v : vertices) {
        f32(v.x).f32(v.y).f32(v.z);
        for (std::int16_t n : v.normal) u16(std::uint16_t(n));
    }
    return end();
}

KxoWriter& KxoWriter::faces(const std::vector<KxoFace>& faces) {
    begin(0x1040).i32(std::int32_t(faces.size()));
    for (const KxoFace& f : faces) {
        u16(f.material).u16(f.backMaterial);
        for (std::uint32_t v : f.vertex) u32(v);
        for (float u : f.u) f32(u);
        for (float v : f.v) f32(v);
        for (std::uint32_t c : f.cornerValue) u32(c);
        for (std::int16_t n : f.normal) u16(std::uint16_t(n));
        u8(f.flags).u8(0).u8(0);
    }
    return end();
}

KxoWriter& KxoWriter::matrix(const float (&m)[16]) {
    begin(0x1F10);
    for (float f : m) f32(f);
    return end();
}

KxoWriter& KxoWriter::links(std::int32_t child, std::int32_t sibling, std::int32_t third) {
    return begin(0x1F50).i32(child).i32(sibling).i32(third).end();
}

KxoWriter&
KxoWriter::rotationKeys(const std::vector<std::pair<std::int32_t, std::array<float, 4>>>& keys) {
    begin(0x1F20).i32(std::int32_t(keys.size()));
    for (const auto& [frame, q] : keys) {
        std::vector<std::uint8_t> record(122, 0);
        put32(record, 0, std::uint32_t(frame));
        for (int i = 0; i < 4; ++i)
            put32(record, 26 + 4 * std::size_t(i), std::bit_cast<std::uint32_t>(q[std::size_t(i)]));
        raw(record);
    }
    return end();
}

KxoWriter&
KxoWriter::splineKeys(std::uint16_t id,
                      const std::vector<std::pair<std::int32_t, std::array<float, 3>>>& keys) {
    begin(id).i32(std::int32_t(keys.size()));
    for (const auto& [frame, value] : keys) {
        std::vector<std::uint8_t> record(102, 0);
        put32(record, 0, std::uint32_t(frame));
        for (int i = 0; i < 3; ++i)
            put32(record, 26 + 4 * std::size_t(i),
                  std::bit_cast<std::uint32_t>(value[std::size_t(i)]));
        raw(record);
    }
    return end();
}

std::vector<std::uint8_t> KxoWriter::bytes() const {
    if (!open_.empty()) throw std::logic_error("kxo writer: a chunk is still open");
    return out_;
}

std::vector<std::uint8_t> cameraChunkPayload(const float (&position)[3], const float (&target)[3],
                                             std::uint8_t flags, float nearDistance,
                                             float farDistance,
                                             const std::vector<std::int32_t>& keyFrames) {
    std::vector<std::uint8_t> out(113, 0);
    const auto real = [&out](std::size_t at, float value) {
        put32(out, at, std::bit_cast<std::uint32_t>(value));
    };
    for (std::size_t i = 0; i < 3; ++i) real(4 + 4 * i, position[i]), real(16 + 4 * i, target[i]);
    out[72] = flags;
    real(85, nearDistance);
    real(89, farDistance);
    put32(out, 105, std::uint32_t(keyFrames.size()));
    for (std::int32_t frame : keyFrames) {
        const std::size_t at = out.size();
        out.resize(at + 58, 0);
        put32(out, at, std::uint32_t(frame));
        out[at + 4] = std::uint8_t(frame); // something in the carried bytes
    }
    return out;
}

std::vector<std::uint8_t> writeShadeTable(std::uint32_t value, std::uint32_t levels,
                                          std::uint32_t dataLevels) {
    std::vector<std::uint8_t> out;
    append32(out, value);
    append32(out, levels);
    for (std::uint32_t level = 0; level < dataLevels; ++level)
        for (std::uint32_t i = 0; i < 256; ++i) out.push_back(std::uint8_t(i * 7 + level));
    return out;
}

} // namespace umbrek::test
