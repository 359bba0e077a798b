// Writes the bundled demo song as the program expects it, LHA-packed by jlha:
//   tolvern_make_demo OUT.ym
#include "tests/test_files.h"
#include "tolvern/tests/demo_song.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tolvern_make_demo OUT.ym\n");
        return 2;
    }
    namespace fs = std::filesystem;
    const fs::path out = fs::absolute(argv[1]);
    // Packed in a folder beside the output, which no other run shares.
    const fs::path work = fs::path(out.string() + ".work");
    int rc = 0;
    try {
        fs::remove_all(work);
        fs::create_directories(work);
        tolvern::test::writeFile((work / "demo.ym").string(),
                                 tolvern::test::buildYm(tolvern::test::demoSong()));
        jk::test::commandOutput("cd '" + work.string() + "' && jlha c0o5 demo.lzh demo.ym");
        fs::copy_file(work / "demo.lzh", out, fs::copy_options::overwrite_existing);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tolvern_make_demo: %s\n", e.what());
        rc = 1;
    }
    std::error_code ignored;
    fs::remove_all(work, ignored);
    return rc;
}
