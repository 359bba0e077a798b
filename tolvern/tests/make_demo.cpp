// Writes the bundled demo song as the program expects it, LHA-packed by jlha:
//   tolvern_make_demo OUT.ym
#include "tolvern/tests/demo_song.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tolvern_make_demo OUT.ym\n");
        return 2;
    }
    namespace fs = std::filesystem;
    const fs::path out = fs::absolute(argv[1]);
    const fs::path work = fs::temp_directory_path() / "tolvern-demo";
    fs::remove_all(work);
    fs::create_directories(work);
    tolvern::test::writeFile((work / "demo.ym").string(),
                             tolvern::test::buildYm(tolvern::test::demoSong()));
    const std::string cmd = "cd '" + work.string() + "' && jlha c0o5 demo.lzh demo.ym >/dev/null";
    const int rc = std::system(cmd.c_str());
    if (rc == 0) fs::copy_file(work / "demo.lzh", out, fs::copy_options::overwrite_existing);
    fs::remove_all(work);
    return rc == 0 ? 0 : 1;
}
