// Seeds for the library fuzzer: libraries of images, of many small members,
// and with the faults the reader must survive.
#include "umbrek/vastrel/tests/image_writers.h"
#include "umbrek/vastrel/tests/library_writer.h"

#include <cstdio>
#include <string>

using namespace umbrek::test;

namespace {

bool save(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string folder = argv[1];
    const IndexedImage image = makeImage(8, 4, [](int x, int y) { return uint8_t(x * y); });
    std::vector<LibraryEntry> many;
    for (int i = 0; i < 20; ++i) many.push_back({"M" + std::to_string(i), {uint8_t(i)}});
    const bool ok =
        save(folder + "/images.dat",
             writeLibrary({{"FLARE1.PCX", writePcx(image)}, {"LOGO.BMP", writeBmp(image, 8)}},
                          {.seed = 12345})) &&
        save(folder + "/many.dat", writeLibrary(many, {.seed = -7})) &&
        save(folder + "/locked.dat", writeLibrary({{"A", {1, 2}}}, {.badPassword = true})) &&
        save(folder + "/forged.dat",
             writeLibrary({{"ABCDEFGHIJKLMNOP", {1}, 40}, {"B", {2}, {}, -5}})) &&
        save(folder + "/cut.dat", writeLibrary({{"A", {1, 2, 3}}, {"B", {4}}}, {.cutBytes = 9}));
    return ok ? 0 : 1;
}
