// Seeds for the library fuzzer: libraries of images, of many small members,
// and with the faults the reader must survive.
#include "umbrek/vastrel/tests/image_writers.h"
#include "umbrek/vastrel/tests/library_writer.h"
#include "tests/test_files.h"

#include <string>

using namespace umbrek::test;
using jk::test::writeFile;

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string folder = argv[1];
    const IndexedImage image = makeImage(8, 4, [](int x, int y) { return uint8_t(x * y); });
    std::vector<LibraryEntry> many;
    for (int i = 0; i < 20; ++i) many.push_back({"M" + std::to_string(i), {uint8_t(i)}});
    // A file that cannot be written throws "PATH: REASON" and fails the program.
    writeFile(folder + "/images.dat",
              writeLibrary({{"FLARE1.PCX", writePcx(image)}, {"LOGO.BMP", writeBmp(image, 8)}},
                           {.seed = 12345}));
    writeFile(folder + "/many.dat", writeLibrary(many, {.seed = -7}));
    writeFile(folder + "/locked.dat", writeLibrary({{"A", {1, 2}}}, {.badPassword = true}));
    writeFile(folder + "/forged.dat",
              writeLibrary({{"ABCDEFGHIJKLMNOP", {1}, 40}, {"B", {2}, {}, -5}}));
    writeFile(folder + "/cut.dat", writeLibrary({{"A", {1, 2, 3}}, {"B", {4}}}, {.cutBytes = 9}));
    return 0;
}
