#include "umbrek/glide/three_df.h"
#include "umbrek/glide/texture.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace umbrek::glide {

namespace {

struct NamedFormat {
    const char* name;
    int32_t format;
};
constexpr NamedFormat formats[] = {{"rgb332", GR_TEXFMT_RGB_332},
                                   {"yiq", GR_TEXFMT_YIQ_422},
                                   {"a8", GR_TEXFMT_ALPHA_8},
                                   {"i8", GR_TEXFMT_INTENSITY_8},
                                   {"ai44", GR_TEXFMT_ALPHA_INTENSITY_44},
                                   {"p8", GR_TEXFMT_P_8},
                                   {"argb8332", GR_TEXFMT_ARGB_8332},
                                   {"ayiq8422", GR_TEXFMT_AYIQ_8422},
                                   {"rgb565", GR_TEXFMT_RGB_565},
                                   {"argb1555", GR_TEXFMT_ARGB_1555},
                                   {"argb4444", GR_TEXFMT_ARGB_4444},
                                   {"ai88", GR_TEXFMT_ALPHA_INTENSITY_88},
                                   {"ap88", GR_TEXFMT_AP_88}};

struct AspectPair {
    int w, h;
};
constexpr AspectPair aspects[] = {{8, 1}, {4, 1}, {2, 1}, {1, 1}, {1, 2}, {1, 4}, {1, 8}};

// The header's lines are short; a longer one is not a 3DF header.
constexpr size_t maxLine = 128;

// The next line without its end ("\n" or "\r\n"); false at the end of the
// bytes or past maxLine.
bool nextLine(const uint8_t* bytes, size_t size, size_t& pos, std::string& line) {
    line.clear();
    while (pos < size && line.size() <= maxLine) {
        const char c = char(bytes[pos++]);
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return true;
        }
        line += c;
    }
    return false;
}

// "prefix a b" with a and b whole numbers up to 9999.
bool twoNumbers(const std::string& line, const char* prefix, int& a, int& b) {
    const size_t n = std::strlen(prefix);
    if (line.compare(0, n, prefix) != 0) return false;
    int values[2] = {-1, -1};
    size_t i = n;
    for (int& v : values) {
        while (i < line.size() && line[i] == ' ') ++i;
        size_t digits = 0;
        v = 0;
        while (i < line.size() && line[i] >= '0' && line[i] <= '9' && digits < 5) {
            v = v * 10 + (line[i++] - '0');
            ++digits;
        }
        if (digits == 0 || digits == 5) return false;
    }
    while (i < line.size() && line[i] == ' ') ++i;
    if (i != line.size()) return false;
    a = values[0];
    b = values[1];
    return true;
}

// The LOD code of a long side of 1..256 texels, or -1.
int lodOf(int texels) {
    for (int lod = GR_LOD_256; lod <= GR_LOD_1; ++lod)
        if ((256 >> lod) == texels) return lod;
    return -1;
}

uint32_t bigEndian(const uint8_t* p, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = v << 8 | p[i];
    return v;
}

} // namespace

const char* formatName(int32_t format) {
    for (const NamedFormat& f : formats)
        if (f.format == format) return f.name;
    return nullptr;
}

int32_t formatOfName(std::string_view name) {
    for (const NamedFormat& f : formats)
        if (name == f.name) return f.format;
    return -1;
}

size_t tableBytes(int32_t format) {
    if (format == GR_TEXFMT_YIQ_422 || format == GR_TEXFMT_AYIQ_8422) return (16 + 12 + 12) * 2;
    if (format == GR_TEXFMT_P_8 || format == GR_TEXFMT_AP_88) return 256 * 4;
    return 0;
}

bool read3dfInfo(const uint8_t* bytes, size_t size, Gu3dfInfo& info, size_t& headerSize) {
    if (!bytes) return false;
    size_t pos = 0;
    std::string line;
    if (!nextLine(bytes, size, pos, line) || line != "3df v1.1") return false;
    if (!nextLine(bytes, size, pos, line)) return false;
    const int32_t format = formatOfName(line);
    if (format < 0) return false;
    int smallest = 0, largest = 0, aw = 0, ah = 0;
    if (!nextLine(bytes, size, pos, line) || !twoNumbers(line, "lod range:", smallest, largest))
        return false;
    if (!nextLine(bytes, size, pos, line) || !twoNumbers(line, "aspect ratio:", aw, ah))
        return false;
    const int smallLod = lodOf(smallest), largeLod = lodOf(largest);
    if (smallLod < 0 || largeLod < 0 || smallest > largest) return false;
    int aspect = -1;
    for (int i = 0; i < int(std::size(aspects)); ++i)
        if (aspects[i].w == aw && aspects[i].h == ah) aspect = i;
    if (aspect < 0) return false;
    Layout layout;
    if (!describe(smallLod, largeLod, aspect, format, layout)) return false;
    std::memset(&info.header, 0, sizeof info.header);
    info.header.width = FxU32(layout.width[0]);
    info.header.height = FxU32(layout.height[0]);
    info.header.small_lod = smallLod;
    info.header.large_lod = largeLod;
    info.header.aspect_ratio = aspect;
    info.header.format = format;
    info.mem_required = layout.size;
    headerSize = pos;
    return true;
}

bool load3df(const uint8_t* bytes, size_t size, Gu3dfInfo& info) {
    Gu3dfInfo file;
    size_t pos = 0;
    if (!info.data || !read3dfInfo(bytes, size, file, pos)) return false;
    const int32_t format = file.header.format;
    const size_t table = tableBytes(format);
    if (file.mem_required > info.mem_required || size - pos < table + file.mem_required)
        return false;
    const uint8_t* p = bytes + pos;
    if (table == 1024) {
        for (int i = 0; i < 256; ++i) file.table.palette.data[i] = bigEndian(p + 4 * i, 4);
    } else if (table != 0) {
        GuNccTable& ncc = file.table.nccTable;
        for (int i = 0; i < 16; ++i)
            ncc.yRGB[i] = FxU8(std::min<uint32_t>(bigEndian(p + 2 * i, 2), 255));
        for (int i = 0; i < 12; ++i) {
            ncc.iRGB[i / 3][i % 3] = FxI16(int16_t(bigEndian(p + 32 + 2 * i, 2)));
            ncc.qRGB[i / 3][i % 3] = FxI16(int16_t(bigEndian(p + 56 + 2 * i, 2)));
        }
    }
    p += table;
    if (bytesPerTexel(format) == 1) {
        std::memcpy(info.data, p, file.mem_required);
    } else {
        auto* out = static_cast<uint16_t*>(info.data);
        for (size_t i = 0; i < file.mem_required / 2; ++i)
            out[i] = uint16_t(bigEndian(p + 2 * i, 2));
    }
    info.header = file.header;
    info.table = file.table;
    info.mem_required = file.mem_required;
    return true;
}

} // namespace umbrek::glide

using namespace umbrek::glide;

namespace {

// At most `limit` bytes of a file; false when it cannot be read.
bool readFile(const char* name, size_t limit, std::vector<uint8_t>& out) {
    if (!name) return false;
    std::FILE* f = std::fopen(name, "rb");
    if (!f) return false;
    out.resize(limit);
    const size_t got = std::fread(out.data(), 1, limit, f);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    out.resize(got);
    return !failed;
}

// Four header lines, the largest table and the largest texture.
constexpr size_t maxFileBytes = 4 * 130 + 1024 + 2 * 256 * 256 * 4 / 3 + 64;

} // namespace

extern "C" {

FxBool gu3dfGetInfo(const char* fileName, Gu3dfInfo* info) {
    std::vector<uint8_t> bytes;
    size_t header = 0;
    Gu3dfInfo parsed;
    if (!info || !readFile(fileName, 4 * 130, bytes) ||
        !read3dfInfo(bytes.data(), bytes.size(), parsed, header))
        return FXFALSE;
    info->header = parsed.header;
    info->mem_required = parsed.mem_required;
    return FXTRUE;
}

FxBool gu3dfLoad(const char* fileName, Gu3dfInfo* info) {
    std::vector<uint8_t> bytes;
    if (!info || !readFile(fileName, maxFileBytes, bytes)) return FXFALSE;
    return load3df(bytes.data(), bytes.size(), *info) ? FXTRUE : FXFALSE;
}

} // extern "C"
