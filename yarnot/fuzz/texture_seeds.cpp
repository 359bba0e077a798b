// Seed textures for yarnot_texture_fuzz: both header sizes, an unknown one,
// and pixels further on.
#include "yarnot/tests/bmp_fixture.h"

#include <cstdio>
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
        std::string path = std::string(argv[1]) + "/" + name;
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) {
            std::perror(path.c_str());
            return 1;
        }
        auto bytes = yarnot::test::MakeBmp(*layout);
        bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        if (std::fclose(f) != 0 || !written) {
            std::perror(path.c_str());
            return 1;
        }
    }
    return 0;
}
