// Runs the fuzz entry without libFuzzer (for compilers without it): on the
// files named on the command line, or on N mutations of built-in seeds
// (crafted frames of every kind and their hostile variants).
#include "kalvo/mpeg/tests/crafted_streams.h"
#include "kalvo/mpeg/tests/test_support.h"

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

using namespace kalvo::test;

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) != "--mutations") {
        for (int i = 1; i < argc; ++i) {
            std::vector<uint8_t> d = readFile(argv[i]);
            LLVMFuzzerTestOneInput(d.data(), d.size());
        }
        return 0;
    }
    long runs = argc > 2 ? std::atol(argv[2]) : 2000;
    std::vector<std::vector<uint8_t>> seeds;
    for (int version = 0; version < 3; ++version)
        for (uint32_t mode : {0u, 1u, 3u}) {
            std::vector<uint8_t> s;
            for (int i = 0; i < 4; ++i) {
                CraftFrame f = patternFrame(version, 2, mode, i, 300);
                f.bitRateIndex = version ? 12 : 14;
                f.modeExtension = uint32_t(i) & 3;
                f.crc = i & 1;
                f.mainDataBegin = uint32_t(i) * 3;
                for (int gr = 0; gr < 2; ++gr)
                    for (int ch = 0; ch < 2; ++ch) {
                        CraftGranule& g = f.gr[gr][ch];
                        g.windowSwitching = (i + gr) & 1;
                        g.blockType = uint32_t(i + ch) & 3;
                        g.mixed = i == 3;
                        g.scalefacCompress = uint32_t(i * 37 + ch) & (version ? 511 : 15);
                    }
                std::vector<uint8_t> b = writeFrame(f);
                s.insert(s.end(), b.begin(), b.end());
            }
            seeds.push_back(s);
        }
    std::mt19937 rng(12345);
    for (long r = 0; r < runs; ++r) {
        std::vector<uint8_t> d = seeds[size_t(r) % seeds.size()];
        int flips = 1 + int(rng() % 16);
        for (int k = 0; k < flips; ++k) {
            size_t at = rng() % d.size();
            switch (rng() % 4) {
            case 0: d[at] ^= uint8_t(1u << (rng() % 8)); break;
            case 1: d[at] = uint8_t(rng()); break;
            case 2:
                d.erase(d.begin() + ptrdiff_t(at),
                        d.begin() + ptrdiff_t(std::min(d.size(), at + rng() % 64)));
                break;
            default: d.insert(d.begin() + ptrdiff_t(at), size_t(rng() % 32), uint8_t(rng())); break;
            }
            if (d.empty()) d.push_back(0);
        }
        d.insert(d.begin(), uint8_t(rng())); // the options byte
        LLVMFuzzerTestOneInput(d.data(), d.size());
    }
    std::printf("%ld mutated streams decoded\n", runs);
    return 0;
}
