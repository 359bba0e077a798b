// Seed bitmaps for the texture fuzz target: the kinds the plug-in reads.
#include "fennick/tests/bmp_writer.h"
#include "tests/test_files.h"

#include <string>

int main(int argc, char** argv) {
    using fennick::testing::BmpSpec;
    if (argc != 2) return 2;
    std::string dir = argv[1];
    struct Seed {
        const char* name;
        BmpSpec spec;
    };
    auto spec = [](int w, int h, int bits, bool zeroSize) {
        BmpSpec s;
        s.width = w;
        s.height = h;
        s.bitsPerPixel = bits;
        s.zeroSizeImage = zeroSize;
        return s;
    };
    const Seed seeds[] = {
        {"rgb24.bmp", spec(3, 2, 24, false)},      {"zero-size.bmp", spec(5, 3, 24, true)},
        {"top-down.bmp", spec(4, -4, 24, false)},  {"one-row.bmp", spec(7, 1, 24, false)},
        {"one-column.bmp", spec(1, 6, 24, false)}, {"eight-bit.bmp", spec(6, 2, 8, false)},
    };
    // A file that cannot be written throws "PATH: REASON" and fails the program.
    for (const Seed& s : seeds)
        jk::test::writeFile(dir + "/" + s.name, fennick::testing::makeBmp(s.spec));
    return 0;
}
