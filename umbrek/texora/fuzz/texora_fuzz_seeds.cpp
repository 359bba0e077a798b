// Seeds for the Texora fuzzer: a small image for every target format.
#include "umbrek/texora/texora.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    for (int format = 0; format <= TX_ARGB_8888; ++format) {
        std::vector<uint8_t> bytes = {uint8_t(format), TX_ARGB_8888, 13, 0, 7, 0, 0x10, 0};
        for (int i = 0; i < 13 * 7 * 4; ++i) bytes.push_back(uint8_t(i * 37 + format));
        const std::string path = std::string(argv[1]) + "/" + txFormatName(format) + ".tex";
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) return 1;
        const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        if (std::fclose(f) != 0 || !ok) return 1;
    }
    return 0;
}
