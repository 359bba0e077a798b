// Seeds for the Texora fuzzer: a small image for every target format.
#include "umbrek/texora/texora.h"
#include "tests/test_files.h"

#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    for (int format = 0; format <= TX_ARGB_8888; ++format) {
        std::vector<uint8_t> bytes = {uint8_t(format), TX_ARGB_8888, 13, 0, 7, 0, 0x10, 0};
        for (int i = 0; i < 13 * 7 * 4; ++i) bytes.push_back(uint8_t(i * 37 + format));
        // A file that cannot be written throws "PATH: REASON" and fails the program.
        jk::test::writeFile(std::string(argv[1]) + "/" + txFormatName(format) + ".tex", bytes);
    }
    return 0;
}
