// The model-file loader: the chunk walk, the file's lists, materials,
// segments and cameras.
#include "umbrek/vastrel/model_file.h"

#include "umbrek/vastrel/camera.h"
#include "umbrek/vastrel/engine.h"
#include "umbrek/vastrel/file_bytes.h"
#include "umbrek/vastrel/file_records.h"
#include "umbrek/vastrel/keyframes.h"
#include "umbrek/vastrel/shade_tables.h"
#include "umbrek/vastrel/texture_manager.h"
#include "common/byte_order.h"

#include <algorithm>
#include <bit>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <vector>

namespace umbrek::vastrel {

namespace {

using Bytes = std::span<const std::uint8_t>;

// Reads little-endian values from the front of a chunk's payload. Callers
// check that enough bytes are left before reading records.
class Reader {
public:
    explicit Reader(Bytes bytes) : bytes_(bytes) {}

    std::size_t left() const { return bytes_.size() - at_; }
    bool has(std::size_t count) const { return left() >= count; }
    std::uint8_t u8() { return bytes_[at_++]; }
    std::uint16_t u16() { return jk::loadLe16(take(2).data()); }
    std::int16_t i16() { return std::bit_cast<std::int16_t>(u16()); }
    std::uint32_t u32() { return jk::loadLe32(take(4).data()); }
    std::int32_t i32() { return std::bit_cast<std::int32_t>(u32()); }
    float f32() { return std::bit_cast<float>(u32()); }
    Bytes take(std::size_t count) {
        const Bytes out = bytes_.subspan(at_, count);
        at_ += count;
        return out;
    }
    // Up to the zero byte, at most kxoStringBytes read (so at most 79
    // characters kept), and never past the payload.
    std::string string() {
        std::string out;
        for (std::size_t n = 0; n < kxoStringBytes && at_ < bytes_.size(); ++n) {
            const char c = char(u8());
            if (c == 0) break;
            if (out.size() < kxoStringBytes - 1) out += c;
        }
        return out;
    }
    // A count of records of SIZE bytes that all fit in what is left, else
    // -1. Negative counts are none.
    long long records(long long count, std::size_t size) const {
        if (count < 0) return 0;
        return std::uint64_t(count) * size <= left() ? count : -1;
    }

private:
    Bytes bytes_;
    std::size_t at_ = 0;
};

// A chunk: its id and the offsets of its payload in the file; `end` is where
// the chunk says it ends, which may lie beyond a cut file.
struct Chunk {
    std::uint16_t id;
    std::size_t begin, end;
};

class KxoLoader {
public:
    KxoLoader(Bytes file, int skipFlags, Model& model)
        : file_(file), skip_(skipFlags), model_(model) {
        std::fill(std::begin(textures_), std::end(textures_), materialNoTexture);
        std::fill(std::begin(shadeTables_), std::end(shadeTables_), -1);
        working_.red = working_.green = working_.blue = working_.alpha = 255.0f;
    }

    void loadRoot(const Chunk& root) {
        forEachChild(root, [this](const Chunk& c) { rootChild(c); });
        model_.lastFrame = lastFrame_;
    }

private:
    Reader payload(const Chunk& c) const {
        const std::size_t end = std::min(c.end, file_.size());
        return Reader(file_.subspan(c.begin, end - c.begin));
    }

    // The children of PARENT from offset SKIP of its payload on. A child that
    // would end beyond its parent, or claims less than its own header, ends
    // the parent's walk; so does the end of the file.
    template <class Visit>
    void forEachChild(const Chunk& parent, Visit visit, std::size_t skip = 0) {
        std::size_t at = parent.begin + skip;
        const std::size_t limit = std::min(parent.end, file_.size());
        while (at < limit && limit - at >= kxoChunkHeaderSize) {
            Reader header(file_.subspan(at, kxoChunkHeaderSize));
            const std::uint16_t id = header.u16();
            const std::uint32_t length = header.u32();
            if (length < kxoChunkHeaderSize || length > parent.end - at) return;
            visit(Chunk{id, at + kxoChunkHeaderSize, at + length});
            at += length;
        }
    }

    void rootChild(const Chunk& c) {
        Reader in = payload(c);
        switch (c.id) {
        case kxoModelName: model_.name = in.string(); break;
        case kxoShadeTables:
            if (!(skip_ & kxoSkipShadeTables)) readShadeTableNames(in);
            break;
        case kxoTextureFlags:
            if (!(skip_ & kxoSkipTextures)) readTextureFlags(in);
            break;
        case kxoTextures:
            if (!(skip_ & kxoSkipTextures)) readTextureNames(in);
            break;
        case kxoMaterials:
            if (!(skip_ & kxoSkipMaterials))
                forEachChild(c, [this](const Chunk& m) { materialChild(m); });
            break;
        case kxoSegments: readSegments(c); break;
        case kxoCamera: readCamera(in); break;
        default: break; // the scale, the version and unknown chunks
        }
    }

    // Lists of names give at most as many names as the payload holds.
    static int listLength(Reader& in, int capacity) {
        if (!in.has(2)) return 0;
        return std::clamp(int(in.i16()), 0, capacity);
    }

    void readShadeTableNames(Reader& in) {
        const int n = listLength(in, kxoMaxShadeTables);
        shadeTableCount_ = 0;
        for (int i = 0; i < n && in.left(); ++i) {
            const std::string name = in.string();
            int slot = KX_LoadShadeTable(name.c_str());
            if (slot < 0) KX_ReportResult(slot, name.c_str()), slot = -1;
            shadeTables_[shadeTableCount_++] = slot;
        }
    }

    void readTextureFlags(Reader& in) {
        if (!in.has(2)) return;
        const long long n = in.records(in.i16(), 1);
        if (n < 0) return;
        std::fill(std::begin(flags_), std::end(flags_), std::uint8_t(0));
        for (long long i = 0; i < n; ++i) {
            const std::uint8_t flag = in.u8();
            if (i < kxoMaxTextures) flags_[i] = flag;
        }
    }

    void readTextureNames(Reader& in) {
        const int n = listLength(in, kxoMaxTextures);
        textureCount_ = 0;
        for (int i = 0; i < n && in.left(); ++i) {
            const std::string name = in.string();
            // Flagged textures keep one bit of transparency: they are converted
            // as argb1555 whatever the engine's mode, which is then put back.
            const int mode = engine().textureFormat;
            if (flags_[i]) KX_SetTextureFormat(1);
            int number = KX_LoadTexture(name.c_str());
            KX_SetTextureFormat(mode);
            if (number >= 0 && number < textureManager().count())
                textureManager().records[std::size_t(number)].transparent = flags_[i];
            if (number < 0) KX_ReportResult(number, name.c_str()), number = materialNoTexture;
            textures_[textureCount_++] = number;
        }
    }

    void materialChild(const Chunk& c) {
        Reader in = payload(c);
        Material& m = working_;
        switch (c.id) {
        case kxoMaterialName: KX_SetMaterialName(m, in.string().c_str()); break;
        case kxoShadeMode:
            if (in.has(4)) m.shadeMode = in.i32();
            break;
        case kxoMaterialTexture:
            if (in.has(4)) m.texture = in.i32();
            break;
        case kxoPaletteBase:
            if (in.has(1)) m.paletteBase = in.u8();
            break;
        case kxoShadeCount:
            if (in.has(4)) m.shadeCount = in.i32();
            break;
        case kxoMaterialShadeTable:
            if (in.has(1)) m.shadeTable = in.u8();
            break;
        case kxoEnvironment:
            if (in.has(2)) m.environment = in.u8(), m.environmentAxes = in.u8();
            break;
        case kxoDistanceSwitching:
            if (!in.has(13)) break;
            m.distanceSwitching = in.u8();
            for (std::uint16_t& d : m.distanceMaterial) d = in.u16();
            for (std::uint8_t& s : m.distanceShift) s = in.u8();
            break;
        case kxoColour:
            if (!in.has(16)) break;
            m.red = in.f32(), m.green = in.f32(), m.blue = in.f32(), m.alpha = in.f32();
            break;
        case kxoMaterialEnd: completeMaterial(); break;
        default: break;
        }
    }

    // The working record is deliberately not cleared afterwards: a material
    // that leaves a field out takes the previous one's value.
    void completeMaterial() {
        if (materialCount_ == kxoMaxMaterials) return;
        int number = resultMaterialNotFound; // a nameless material cannot be stored
        if (working_.name[0]) {
            number = KX_FindMaterial(working_.name);
            if (number < 0) {
                Material added = working_;
                const int texture = working_.texture;
                added.texture = texture >= 0 && texture < textureCount_ ? textures_[texture]
                                                                        : materialNoTexture;
                const int table = working_.shadeTable;
                added.shadeTable = table < shadeTableCount_ && shadeTables_[table] >= 0
                                       ? std::uint8_t(shadeTables_[table])
                                       : materialNoShadeTable;
                number = KX_AddMaterial(added);
            }
        }
        materials_[materialCount_++] = number;
    }

    void readSegments(const Chunk& c) {
        // The faces of a model's segments point at their vertices: one
        // segment array per model.
        if (!model_.segments.empty()) return;
        Reader in = payload(c);
        if (!in.has(4)) return;
        // Every segment is begun by a name chunk of at least 7 bytes, so a
        // larger count cannot be meant.
        const long long most = (long long)(in.left() - 4) / 7;
        const long long count = std::clamp<long long>(in.i32(), 0, most);
        model_.segments.resize(std::size_t(count));
        for (std::size_t i = 0; i < model_.segments.size(); ++i) model_.segments[i].index = int(i);
        forEachChild(
            c, [this](const Chunk& s) { segmentChild(s); }, 4);
    }

    void segmentChild(const Chunk& c) {
        Reader in = payload(c);
        if (c.id == kxoSegmentName) {
            // Names beyond the segment count start nothing; what follows
            // them belongs to no segment.
            segment_ = nullptr;
            if (segmentsStarted_ < model_.segments.size()) {
                segment_ = &model_.segments[segmentsStarted_++];
                segment_->name = in.string();
            }
            return;
        }
        if (!segment_) return; // before the first name or after the last
        Segment& seg = *segment_;
        switch (c.id) {
        case kxoSegmentFlags:
            if (in.has(4)) seg.flags = in.u32();
            break;
        case kxoVertices: readVertices(in, seg); break;
        case kxoFaces: readFaces(in, seg); break;
        case kxoPivot:
            if (in.has(12)) seg.pivot = {in.f32(), in.f32(), in.f32()};
            break;
        case kxoMatrix:
            if (in.has(64))
                for (float& f : seg.fileMatrix) f = in.f32();
            break;
        case kxoRotationKeys:
            readKeys(in, seg.rotationKeys, rotationKeySize, parseRotationKey);
            break;
        case kxoPositionKeys: readKeys(in, seg.positionKeys, splineKeySize, parseSplineKey); break;
        case kxoScaleKeys: readKeys(in, seg.scaleKeys, splineKeySize, parseSplineKey); break;
        case kxoLinks: readLinks(in, seg); break;
        default: break;
        }
    }

    static void readVertices(Reader& in, Segment& seg) {
        // Set once: the faces read after them point at these records.
        if (!seg.vertices.empty() || !in.has(4)) return;
        const long long n = in.records(in.i32(), kxoVertexSize);
        if (n <= 0) return;
        seg.screen.resize(std::size_t(n));
        seg.vertices.resize(std::size_t(n));
        for (std::size_t i = 0; i < seg.vertices.size(); ++i) {
            Vertex& v = seg.vertices[i];
            v.x = in.f32(), v.y = in.f32(), v.z = in.f32();
            for (std::int16_t& k : v.normal) k = in.i16();
            v.screen = &seg.screen[i];
        }
    }

    // A face material number through the file's list; false for a material
    // that could not be added, whose faces are left out.
    bool mapMaterial(std::uint16_t& number) const {
        if (!materialCount_) return true; // the file's numbers are the engine's
        if (number >= materialCount_) {
            number = 0;
            return true;
        }
        const int mapped = materials_[number];
        if (mapped < 0) return false;
        number = std::uint16_t(mapped);
        return true;
    }

    static void textureScales(int material, float& s, float& t) {
        s = t = 255.0f;
        const Engine& e = engine();
        if (material < 0 || std::size_t(material) >= e.materials.size() || !e.textures) return;
        const TextureInfo info = e.textures->info(e.materials[std::size_t(material)].texture);
        if (!info.name) return;
        s = 255.0f * info.sScale, t = 255.0f * info.tScale;
    }

    void readFaces(Reader& in, Segment& seg) const {
        if (!in.has(4)) return;
        const long long n = in.records(in.i32(), kxoFaceSize);
        if (n < 0) return;
        std::vector<Face> faces;
        faces.reserve(std::size_t(n));
        for (long long i = 0; i < n; ++i) {
            Face f;
            f.material = in.u16();
            f.backMaterial = in.u16();
            bool keep = mapMaterial(f.material) && mapMaterial(f.backMaterial);
            for (Vertex*& corner : f.corner) {
                const std::uint32_t number = in.u32();
                if (number < seg.vertices.size())
                    corner = &seg.vertices[number];
                else
                    keep = false; // read before the vertices, or out of range
            }
            for (float& u : f.u) u = in.f32();
            for (float& v : f.v) v = in.f32();
            for (std::uint32_t& value : f.cornerValue) value = in.u32();
            for (std::int16_t& k : f.normal) k = in.i16();
            f.flags = in.u8();
            f.extra[0] = in.u8(), f.extra[1] = in.u8();
            if (!keep) continue;
            float s, t;
            textureScales(f.material, s, t);
            for (float& u : f.u) u *= s;
            for (float& v : f.v) v *= t;
            faces.push_back(f);
        }
        seg.faces = std::move(faces);
    }

    template <class Key>
    void readKeys(Reader& in, std::vector<Key>& keys, std::size_t size,
                  bool (*parse)(Bytes, Key&)) {
        if (!in.has(4)) return;
        const long long n = in.records(in.i32(), size);
        if (n < 0) return;
        keys.assign(std::size_t(n), Key{});
        for (Key& key : keys) {
            parse(in.take(size), key);
            lastFrame_ = std::max(lastFrame_, int(key.frame));
        }
    }

    void readLinks(Reader& in, Segment& seg) const {
        if (!in.has(12)) return;
        for (int* link : {&seg.child, &seg.sibling, &seg.thirdLink}) {
            const std::int32_t number = in.i32();
            *link = number >= 0 && std::size_t(number) < model_.segments.size() ? number : -1;
        }
    }

    static void readCamera(Reader& in) {
        if (!in.has(cameraRecordSize)) return;
        std::unique_ptr<Camera> camera(KX_InitCamera(KX_NewCamera()));
        if (!camera) return;
        // Clears the name, the list link and the current key.
        parseCameraRecord(in.take(cameraRecordSize), *camera);
        const long long n = in.records(camera->keyCount, cameraKeySize);
        if (n < 0) return;
        camera->keyCount = std::int32_t(n);
        camera->keys.resize(std::size_t(n));
        for (CameraKey& key : camera->keys) {
            parseCameraKey(in.take(cameraKeySize), key);
            camera->lastKeyFrame = std::max(camera->lastKeyFrame, key.frame);
        }
        KX_AddCamera(camera.release());
    }

    Bytes file_;
    int skip_;
    Model& model_;
    int lastFrame_ = -1;
    int shadeTables_[kxoMaxShadeTables];
    int shadeTableCount_ = 0;
    int textures_[kxoMaxTextures];
    int textureCount_ = 0;
    std::uint8_t flags_[kxoMaxTextures] = {};
    int materials_[kxoMaxMaterials] = {};
    int materialCount_ = 0;
    Material working_;
    std::size_t segmentsStarted_ = 0;
    Segment* segment_ = nullptr;
};

} // namespace

Model* KX_LoadKXO(const char* fileName, int skipFlags) {
    std::vector<std::uint8_t> bytes;
    if (!readEngineFile(fileName, bytes) || bytes.size() < kxoChunkHeaderSize) return nullptr;
    Reader header(bytes);
    const std::uint16_t id = header.u16();
    const std::uint32_t length = header.u32();
    if (id != kxoRoot) return nullptr;
    try {
        std::unique_ptr<Model> model(KX_NewModel());
        if (!model) return nullptr;
        KxoLoader loader(bytes, skipFlags, *model);
        loader.loadRoot(
            {kxoRoot, kxoChunkHeaderSize, std::max<std::size_t>(length, kxoChunkHeaderSize)});
        KX_ComputeModelBoxes(*model);
        return model.release();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace umbrek::vastrel
