// Seeds for the image fuzzer: every format and variant from the writers,
// each behind the byte that picks its reader.
#include "umbrek/vastrel/tests/image_writers.h"
#include "tests/test_files.h"

#include <string>

using namespace umbrek::test;

namespace {

// A file that cannot be written throws "PATH: REASON" and fails the program.
void save(const std::string& path, uint8_t reader, const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> file{reader};
    file.insert(file.end(), bytes.begin(), bytes.end());
    jk::test::writeFile(path, file);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string d = std::string(argv[1]) + "/";
    const IndexedImage image =
        makeImage(13, 6, [](int x, int y) { return uint8_t(x < 5 ? 0xC7 : x * 19 + y * 7); });
    const IndexedImage small = makeImage(3, 2, [](int x, int y) { return uint8_t(x + y); });
    save(d + "pcx.img", 0, writePcx(image));
    save(d + "pcx-wide.img", 0x20, writePcx(small, {.bytesPerLine = 6}));
    save(d + "ilbm.img", 1, writeIff(image, {.planes = 4, .compress = true}));
    save(d + "ilbm-raw.img", 0x31, writeIff(image, {.planes = 8}));
    save(d + "pbm.img", 0x41, writeIff(image, {.pbm = true, .compress = true, .cmapLength = 9}));
    save(d + "bmp1.img", 2, writeBmp(image, 1));
    save(d + "bmp4.img", 0x22, writeBmp(image, 4));
    save(d + "bmp8.img", 0x52, writeBmp(image, 8));
    save(d + "bmp24.img", 0x72, writeBmp(small, 24));
    save(d + "blk.img", 3, writeBlk(image));
    save(d + "pak.img", 0x14, writePak(image));
    return 0;
}
