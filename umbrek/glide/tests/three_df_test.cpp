// 3DF files: written by the test writer, read back by name; broken files refused.
#include "umbrek/glide/tests/three_df_writer.h"
#include "umbrek/glide/three_df.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

using namespace umbrek::glide;
using namespace umbrek::glide::test;

namespace {

// Files live in the test's own folder; one that cannot be written throws
// "PATH: REASON", which fails the test.
using jk::test::tempPath;
using jk::test::writeFile;

const int32_t allFormats[] = {0, 1, 2, 3, 4, 5, 8, 9, 10, 11, 12, 13, 14};

TEST(ThreeDf, EveryFormatRangeAndAspectRoundTrips) {
    const std::string path = tempPath("round_trip.3df");
    const std::pair<int32_t, int32_t> ranges[] = {{GR_LOD_1, GR_LOD_256}, {4, 2}, {8, 8}, {5, 5}};
    int files = 0;
    for (int32_t format : allFormats) {
        for (int32_t aspect = GR_ASPECT_8x1; aspect <= GR_ASPECT_1x8; ++aspect) {
            for (const auto& [small, large] : ranges) {
                ThreeDf t;
                t.format = format, t.smallLod = small, t.largeLod = large, t.aspect = aspect;
                fillPattern(t, uint32_t(format * 100 + aspect * 10 + small));
                for (int i = 0; i < 256; ++i) t.table.palette.data[i] = uint32_t(i * 0x010203);
                if (format == GR_TEXFMT_YIQ_422 || format == GR_TEXFMT_AYIQ_8422) {
                    GuNccTable& n = t.table.nccTable;
                    for (int i = 0; i < 16; ++i) n.yRGB[i] = FxU8(i * 17);
                    for (int i = 0; i < 12; ++i) {
                        n.iRGB[i / 3][i % 3] = FxI16(i * 20 - 256);
                        n.qRGB[i / 3][i % 3] = FxI16(255 - i * 30);
                    }
                }
                SCOPED_TRACE(header3df(t));
                writeFile(path, write3df(t));
                Gu3dfInfo info{};
                ASSERT_TRUE(gu3dfGetInfo(path.c_str(), &info));
                EXPECT_EQ(info.header.format, format);
                EXPECT_EQ(info.header.small_lod, small);
                EXPECT_EQ(info.header.large_lod, large);
                EXPECT_EQ(info.header.aspect_ratio, aspect);
                int w = 256 >> large, h = w;
                (aspect < GR_ASPECT_1x1 ? h : w) = std::max(1, w >> std::abs(aspect - 3));
                EXPECT_EQ(info.header.width, FxU32(w));
                EXPECT_EQ(info.header.height, FxU32(h));
                ASSERT_EQ(info.mem_required, t.texels.size());
                // Exactly the size asked for, so that ASan sees any write beyond it.
                std::unique_ptr<uint8_t[]> data(new uint8_t[info.mem_required]);
                info.data = data.get();
                ASSERT_TRUE(gu3dfLoad(path.c_str(), &info));
                EXPECT_EQ(std::memcmp(data.get(), t.texels.data(), t.texels.size()), 0);
                if (format == GR_TEXFMT_P_8 || format == GR_TEXFMT_AP_88) {
                    EXPECT_EQ(
                        std::memcmp(&info.table.palette, &t.table.palette, sizeof(GuTexPalette)),
                        0);
                }
                if (format == GR_TEXFMT_YIQ_422 || format == GR_TEXFMT_AYIQ_8422) {
                    EXPECT_EQ(
                        std::memcmp(&info.table.nccTable, &t.table.nccTable, sizeof(GuNccTable)),
                        0);
                }
                ++files;
            }
        }
    }
    EXPECT_EQ(files, 13 * 7 * 4);
}

// Header texts that are not a 3DF file, each after a valid one was accepted.
TEST(ThreeDf, BrokenHeadersAreRefused) {
    ThreeDf t;
    t.format = GR_TEXFMT_RGB_565, t.smallLod = 8, t.largeLod = 6;
    fillPattern(t, 1);
    const std::vector<uint8_t> good = write3df(t);
    const std::string body(good.begin() + std::ptrdiff_t(header3df(t).size()), good.end());
    auto file = [&](const std::string& header) { return header + body; };
    const std::string fine = "3df v1.1\nrgb565\nlod range: 1 4\naspect ratio: 1 1\n";
    ASSERT_EQ(file(fine), std::string(good.begin(), good.end()));
    const std::pair<const char*, std::string> cases[] = {
        {"signature", "3dg v1.1\nrgb565\nlod range: 1 4\naspect ratio: 1 1\n"},
        {"version", "3df v2.0\nrgb565\nlod range: 1 4\naspect ratio: 1 1\n"},
        {"format", "3df v1.1\nrgb888\nlod range: 1 4\naspect ratio: 1 1\n"},
        {"format case", "3df v1.1\nRGB565\nlod range: 1 4\naspect ratio: 1 1\n"},
        {"reversed range", "3df v1.1\nrgb565\nlod range: 4 1\naspect ratio: 1 1\n"},
        {"not a power of two", "3df v1.1\nrgb565\nlod range: 1 3\naspect ratio: 1 1\n"},
        {"beyond 256", "3df v1.1\nrgb565\nlod range: 1 512\naspect ratio: 1 1\n"},
        {"zero", "3df v1.1\nrgb565\nlod range: 0 4\naspect ratio: 1 1\n"},
        {"huge", "3df v1.1\nrgb565\nlod range: 1 99999999999\naspect ratio: 1 1\n"},
        {"negative", "3df v1.1\nrgb565\nlod range: -1 4\naspect ratio: 1 1\n"},
        {"one number", "3df v1.1\nrgb565\nlod range: 4\naspect ratio: 1 1\n"},
        {"trailing words", "3df v1.1\nrgb565\nlod range: 1 4 8\naspect ratio: 1 1\n"},
        {"aspect 16:1", "3df v1.1\nrgb565\nlod range: 1 4\naspect ratio: 16 1\n"},
        {"aspect 8:2", "3df v1.1\nrgb565\nlod range: 1 4\naspect ratio: 8 2\n"},
        {"aspect 3:1", "3df v1.1\nrgb565\nlod range: 1 4\naspect ratio: 3 1\n"},
        {"lines swapped", "3df v1.1\nrgb565\naspect ratio: 1 1\nlod range: 1 4\n"},
        {"missing line", "3df v1.1\nrgb565\nlod range: 1 4\n"},
        {"overlong line", "3df v1.1\n" + std::string(100000, 'r') + "\n"},
        {"never ends", "3df v1.1\nrgb565\nlod range: 1 4\naspect ratio: 1 1"},
        {"empty", ""},
    };
    const std::string path = tempPath("broken.3df");
    for (const auto& [name, header] : cases) {
        SCOPED_TRACE(name);
        // "never ends" and "empty" are the whole file; the others carry the data.
        const bool whole = header.empty() || header.back() != '\n';
        const std::string text = whole ? header : file(header);
        writeFile(path, std::vector<uint8_t>(text.begin(), text.end()));
        Gu3dfInfo info{};
        EXPECT_FALSE(gu3dfGetInfo(path.c_str(), &info));
        std::vector<uint8_t> data(1 << 20);
        info.data = data.data();
        info.mem_required = FxU32(data.size());
        EXPECT_FALSE(gu3dfLoad(path.c_str(), &info));
    }
    Gu3dfInfo info{};
    EXPECT_FALSE(gu3dfGetInfo(tempPath("no such file.3df").c_str(), &info));
    EXPECT_FALSE(gu3dfGetInfo(nullptr, &info));
    writeFile(path, good);
    EXPECT_FALSE(gu3dfGetInfo(path.c_str(), nullptr));
    EXPECT_TRUE(gu3dfGetInfo(path.c_str(), &info));
}

// Cut tables and data fail the load and leave the caller's memory as it was;
// the load never writes more than the mem_required the caller allocated.
TEST(ThreeDf, CutFilesAndSmallBuffersAreRefused) {
    const std::string path = tempPath("cut.3df");
    for (int32_t format : {GR_TEXFMT_P_8, GR_TEXFMT_AYIQ_8422, GR_TEXFMT_ARGB_4444}) {
        ThreeDf t;
        t.format = format, t.smallLod = 7, t.largeLod = 5;
        fillPattern(t, 7);
        std::vector<uint8_t> bytes = write3df(t);
        const size_t header = header3df(t).size(), table = tableBytes(format);
        for (size_t cut : {header, header + table / 2, header + table, bytes.size() - 1}) {
            if (cut == header + table / 2 && table == 0) continue;
            SCOPED_TRACE(std::to_string(format) + " cut at " + std::to_string(cut));
            writeFile(path,
                      std::vector<uint8_t>(bytes.begin(), bytes.begin() + std::ptrdiff_t(cut)));
            Gu3dfInfo info{};
            ASSERT_TRUE(gu3dfGetInfo(path.c_str(), &info));
            std::vector<uint8_t> data(info.mem_required, 0xCD);
            info.data = data.data();
            EXPECT_FALSE(gu3dfLoad(path.c_str(), &info));
            EXPECT_EQ(data, std::vector<uint8_t>(info.mem_required, 0xCD));
        }
        writeFile(path, bytes);
        Gu3dfInfo info{};
        ASSERT_TRUE(gu3dfGetInfo(path.c_str(), &info));
        std::unique_ptr<uint8_t[]> small(new uint8_t[info.mem_required - 1]);
        info.mem_required -= 1;
        info.data = small.get();
        EXPECT_FALSE(gu3dfLoad(path.c_str(), &info));
        info.data = nullptr;
        info.mem_required += 1;
        EXPECT_FALSE(gu3dfLoad(path.c_str(), &info));
    }
}

} // namespace
