// Writes the emulated formats' test tunes that the integration tests play
// and the fuzzer starts from: pelmit_emulated_fixtures FOLDER. Each plays a
// square wave at period 428 (214 for walk.cust) whose volume halves after 50
// ticks; cia.cust ticks 100 times a second, the others 50.
#include "emulated_fixtures.h"

#include <cstdio>
#include <string>

using namespace pelmit::test;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pelmit_emulated_fixtures FOLDER\n");
        return 2;
    }
    for (const EmulatedFixture& f : emulatedFixtures) {
        const std::string path = std::string(argv[1]) + "/" + f.fileName;
        const Bytes bytes = emulatedFile(f.name);
        std::FILE* out = std::fopen(path.c_str(), "wb");
        if (!out || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() ||
            std::fclose(out) != 0) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
