// The depacker against two independent LHA programs: archives packed by jlha
// come back byte for byte, and the third-party archive agrees with lhasa.
#include "tolvern/lh5.h"
#include "tolvern/lha.h"
#include "tolvern/tests/ym_writer.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

using namespace tolvern;
using namespace tolvern::test;

namespace {

// Text-like data with long and short repeats, far and near: every code path of
// the depacker (literals, short and long matches, far distances, many blocks).
std::vector<uint8_t> compressible(size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> out;
    const char* words[] = {"chip ", "music ", "YM ", "frame ", "register ", "envelope ", "\n"};
    while (out.size() < size) {
        unsigned pick = rng() % 10;
        if (pick < 6) {
            const char* w = words[rng() % 7];
            out.insert(out.end(), w, w + std::strlen(w));
        } else if (pick < 8 && out.size() > 300) {
            size_t from = out.size() - 1 - rng() % std::min<size_t>(out.size() - 1, 8000);
            size_t len = 3 + rng() % 250;
            for (size_t i = 0; i < len; ++i) out.push_back(out[from + i]);
        } else {
            out.push_back(uint8_t(rng()));
        }
    }
    out.resize(size);
    return out;
}

std::vector<uint8_t> lhasaPrint(const std::string& archive) {
    const std::string out = jk::test::commandOutput("lhasa pq '" + archive + "'");
    return std::vector<uint8_t>(out.begin(), out.end());
}

} // namespace

TEST(Lh5, JlhaArchivesDepackAsLhasaDoes) {
    TempDir dir;
    for (size_t size : {size_t(1500), size_t(70000), size_t(600000)}) {
        const std::vector<uint8_t> data = compressible(size, unsigned(size));
        const std::vector<uint8_t> archive = packLh5(data, dir.path());
        std::vector<uint8_t> out;
        ASSERT_EQ(depackLha(archive.data(), archive.size(), out), LhaStatus::ok) << size;
        EXPECT_EQ(out, data) << size;
        EXPECT_EQ(lhasaPrint(dir / "pack/song.lzh"), data) << size;
    }
}

TEST(Lh5, ThirdPartyArchiveAgreesWithLhasa) {
    const char* root = std::getenv("JK_TESTDATA_DIR");
    const std::string path =
        std::string(root ? root : "") +
        "/afl++-doc/usr/share/doc/afl++-doc/afl/testcases/archives/exotic/lha/small_archive.lha";
    if (!fileExists(path))
        GTEST_SKIP() << "no test data at " << path << " (run tools/fetch-testdata)";
    // Its header is of level 2, which the program refuses; its "-lh5-" data
    // depacks all the same.
    const std::vector<uint8_t> archive = readFile(path);
    std::vector<uint8_t> out;
    EXPECT_EQ(depackLha(archive.data(), archive.size(), out), LhaStatus::badLevel);
    ASSERT_EQ(archive[20], 2);
    const size_t dataStart = archive[0] | archive[1] << 8;
    const uint32_t original =
        archive[11] | archive[12] << 8 | archive[13] << 16 | archive[14] << 24;
    const uint16_t crc = uint16_t(archive[21] | archive[22] << 8);
    out.resize(original);
    ASSERT_EQ(depak_lh5(archive.data() + dataStart, archive.size() - dataStart, out.data(),
                        out.size(), crc),
              0);
    EXPECT_EQ(out, lhasaPrint(path));
}

TEST(Lh5, DamagedArchivesAreRefused) {
    TempDir dir;
    const std::vector<uint8_t> data = compressible(20000, 7);
    const std::vector<uint8_t> good = packLh5(data, dir.path());
    const size_t dataStart = 24 + good[21];
    struct Case {
        const char* what;
        std::vector<uint8_t> archive;
        LhaStatus status;
    };
    auto patched = [&](size_t at, uint8_t value) {
        std::vector<uint8_t> a = good;
        a[at] = value;
        return a;
    };
    auto cut = [&](size_t size) {
        return std::vector<uint8_t>(good.begin(), good.begin() + long(size));
    };
    std::vector<Case> cases = {
        {"empty", {}, LhaStatus::notLha},
        {"short header", cut(21), LhaStatus::notLha},
        {"other method", patched(5, '0'), LhaStatus::notLha},
        {"level 1", patched(20, 1), LhaStatus::badLevel},
        {"level 2", patched(20, 2), LhaStatus::badLevel},
        {"size 0",
         [&] {
             auto a = good;
             std::fill(a.begin() + 11, a.begin() + 15, 0);
             return a;
         }(),
         LhaStatus::emptyMember},
        {"size 4 GB",
         [&] {
             auto a = good;
             std::fill(a.begin() + 11, a.begin() + 15, 0xFF);
             return a;
         }(),
         LhaStatus::tooLarge},
        {"name past the end", patched(21, 0xFF), LhaStatus::truncated},
        {"CRC", patched(dataStart - 2, uint8_t(good[dataStart - 2] ^ 1)), LhaStatus::crcMismatch},
        {"no packed data", cut(dataStart), LhaStatus::truncated},
        {"half the packed data", cut(dataStart + (good.size() - dataStart) / 2),
         LhaStatus::truncated},
        {"last bytes missing", cut(good.size() - 4), LhaStatus::truncated},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> out{1, 2, 3};
        EXPECT_EQ(depackLha(c.archive.data(), c.archive.size(), out), c.status) << c.what;
        EXPECT_TRUE(out.empty()) << c.what;
    }
}

TEST(Lh5, Crc16IsArc) {
    const uint8_t text[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(crc16(text, sizeof text), 0xBB3D);
}

TEST(Lh5, RandomBytesNeverReadOrWriteOutOfBounds) {
    std::mt19937 rng(1);
    for (int i = 0; i < 3000; ++i) {
        std::vector<uint8_t> packed(rng() % 200);
        for (uint8_t& b : packed) b = uint8_t(rng());
        std::vector<uint8_t> out(1 + rng() % 5000);
        int result = depak_lh5(packed.data(), packed.size(), out.data(), out.size(), 0);
        EXPECT_TRUE(result == 0 || result == -1 || result == -2);
    }
}
