// Seed textures for yarnot_texture_fuzz: both header sizes, an unknown one,
// and pixels further on.
#include "yarnot/tests/bmp_fixture.h"
#include "tests/test_files.h"

#include <string>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    using yarnot::test::BmpLayout;
    BmpLayout info40, info12, info108, later;
    info12.headerSize = 12;
    info108.headerSize = 108;
    later.pixelOffset = 100;
    const std::pair<const char*, BmpLayout*> seeds[] = {{"info40.bmp", &info40},
                                                        {"info12.bmp", &info12},
                                                        {"info108.bmp", &info108},
                                                        {"later.bmp", &later}};
    for (auto [name, layout] : seeds) {
        // A file that cannot be written throws "PATH: REASON" and fails the program.
        jk::test::writeFile(std::string(argv[1]) + "/" + name, yarnot::test::MakeBmp(*layout));
    }
    return 0;
}
