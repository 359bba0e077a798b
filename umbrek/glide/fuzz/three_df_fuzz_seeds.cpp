// Seeds for the 3DF fuzzer: a small file of every format and aspect.
#include "umbrek/glide/tests/three_df_writer.h"
#include "umbrek/glide/three_df.h"

#include <cstdio>
#include <string>

using namespace umbrek::glide;
using namespace umbrek::glide::test;

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    for (int32_t format : {0, 1, 2, 3, 4, 5, 8, 9, 10, 11, 12, 13, 14}) {
        ThreeDf t;
        t.format = format;
        t.smallLod = GR_LOD_1;
        t.largeLod = 5; // 8 texels
        t.aspect = format % 7;
        fillPattern(t, uint32_t(format));
        for (int i = 0; i < 256; ++i) t.table.palette.data[i] = uint32_t(i * 0x010101);
        const std::vector<uint8_t> bytes = write3df(t);
        const std::string path = std::string(argv[1]) + "/" + formatName(format) + ".3df";
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) return 1;
        const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        if (std::fclose(f) != 0 || !ok) return 1;
    }
    return 0;
}
