// Writes the emulated formats' test tunes that the integration tests play
// and the fuzzer starts from: pelmit_emulated_fixtures FOLDER. Each plays a
// square wave at period 428 (214 for walk.cust) whose volume halves after 50
// ticks; cia.cust ticks 100 times a second, the others 50.
#include "emulated_fixtures.h"
#include "tests/test_files.h"

#include <cstdio>
#include <exception>
#include <string>

using namespace pelmit::test;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pelmit_emulated_fixtures FOLDER\n");
        return 2;
    }
    try {
        for (const EmulatedFixture& f : emulatedFixtures)
            jk::test::writeFile(std::string(argv[1]) + "/" + f.fileName, emulatedFile(f.name));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
