// Seed files for the BMP fuzz target: one file of each kind the reader takes.
// A file that cannot be written throws "PATH: REASON" and ends the program
// with a failure status, which fails the build of the corpus.
#include "sabrith/tests/bmp_writer.h"
#include "tests/test_files.h"

#include <string>

using jk::test::writeFile;

int main(int argc, char** argv) {
    using namespace sabrith::test;
    if (argc != 2) return 2;
    const std::string folder = std::string(argv[1]) + "/";
    for (int bits : {1, 4, 8, 24}) {
        BmpPicture p{7, 5, bits, {}, {}};
        if (bits < 24) p.palette.assign(std::size_t(1) << (bits < 8 ? bits : 8), 0x204060);
        for (int i = 0; i < 35; ++i) p.pixels.push_back(uint32_t(i % (bits == 1 ? 2 : 15)));
        writeFile(folder + "bits" + std::to_string(bits) + ".bmp", writeBmp(p));
    }
    std::vector<uint8_t> indices(64);
    for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = uint8_t(i / 5);
    writeFile(folder + "rle8.bmp",
              writeRle8Bmp(8, 8, std::vector<uint32_t>(16, 0x808080), encodeRle8(8, 8, indices)));
    return 0;
}
