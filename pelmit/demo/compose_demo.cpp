// compose_demo FILE: writes the bundled demo module (pelmit/demo/quistor-demo.mod).
#include "pelmit/demo/demo_song.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: compose_demo FILE.mod\n", stderr);
        return 2;
    }
    const std::vector<uint8_t> bytes = pelmit::demo::composeDemoSong();
    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        if (f) std::fclose(f);
        return 1;
    }
    return std::fclose(f) == 0 ? 0 : 1;
}
