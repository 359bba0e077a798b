// Seeds for the 3DF fuzzer: a small file of every format and aspect.
#include "umbrek/glide/tests/three_df_writer.h"
#include "umbrek/glide/three_df.h"
#include "tests/test_files.h"

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
        // A file that cannot be written throws "PATH: REASON" and fails the program.
        jk::test::writeFile(std::string(argv[1]) + "/" + formatName(format) + ".3df", write3df(t));
    }
    return 0;
}
