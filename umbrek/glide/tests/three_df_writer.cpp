#include "umbrek/glide/tests/three_df_writer.h"
#include "umbrek/glide/three_df.h"

#include <cstring>

namespace umbrek::glide::test {

namespace {

void putBig(std::vector<uint8_t>& out, uint32_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(uint8_t(v >> (8 * i)));
}

int longSide(int32_t lod) {
    return 256 >> lod;
}

} // namespace

uint32_t texelBytes(const ThreeDf& t) {
    GrTexInfo info{t.smallLod, t.largeLod, t.aspect, t.format, nullptr};
    return grTexTextureMemRequired(GR_MIPMAPLEVELMASK_BOTH, &info);
}

void fillPattern(ThreeDf& t, uint32_t seed) {
    t.texels.resize(texelBytes(t));
    uint32_t x = seed * 2654435761u + 1;
    for (uint8_t& b : t.texels) {
        x ^= x << 13, x ^= x >> 17, x ^= x << 5;
        b = uint8_t(x);
    }
}

std::string header3df(const ThreeDf& t) {
    static const char* ratios[] = {"8 1", "4 1", "2 1", "1 1", "1 2", "1 4", "1 8"};
    const char* name = formatName(t.format);
    return std::string("3df v1.1\n") + (name ? name : "?") +
           "\nlod range: " + std::to_string(longSide(t.smallLod)) + " " +
           std::to_string(longSide(t.largeLod)) + "\naspect ratio: " + ratios[t.aspect] + "\n";
}

std::vector<uint8_t> write3df(const ThreeDf& t) {
    const std::string head = header3df(t);
    std::vector<uint8_t> out(head.begin(), head.end());
    const size_t table = tableBytes(t.format);
    if (table == 1024) {
        for (uint32_t entry : t.table.palette.data) putBig(out, entry, 4);
    } else if (table != 0) {
        const GuNccTable& ncc = t.table.nccTable;
        for (uint8_t y : ncc.yRGB) putBig(out, y, 2);
        for (const auto& row : ncc.iRGB)
            for (int16_t v : row) putBig(out, uint16_t(v), 2);
        for (const auto& row : ncc.qRGB)
            for (int16_t v : row) putBig(out, uint16_t(v), 2);
    }
    if (t.format >= GR_TEXFMT_ARGB_8332) {
        for (size_t i = 0; i + 1 < t.texels.size(); i += 2) {
            uint16_t v;
            std::memcpy(&v, &t.texels[i], 2);
            putBig(out, v, 2);
        }
    } else {
        out.insert(out.end(), t.texels.begin(), t.texels.end());
    }
    return out;
}

} // namespace umbrek::glide::test
