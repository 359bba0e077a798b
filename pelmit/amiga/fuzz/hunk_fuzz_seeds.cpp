// Seeds for the hunk fuzzer: small valid programs with relocations, an
// uninitialised hunk and a tag list, written into the folder given.
#include "pelmit/amiga/tests/hunk_writer.h"
#include "tests/test_files.h"

#include <cstdio>
#include <exception>
#include <string>

using namespace pelmit::test;

namespace {

bool save(const std::string& path, const HunkWriter& w) {
    try {
        jk::test::writeFile(path, w.bytes());
        return true;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return false;
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string folder = argv[1];
    HunkWriter two;
    two.header({2, 1})
        .block(hunkCodeBlock, {0x4E714E75, 4})
        .relocations({{1, {4}}, {0, {0}}})
        .put({hunkEndBlock})
        .block(hunkDataBlock, {0x12345678})
        .put({hunkEndBlock});
    // A replay program's header: code, "DELIRIUM", a relocated tag list.
    HunkWriter tagged;
    std::vector<uint32_t> code = {0x70FF4E75};
    for (uint32_t l : HunkWriter::text("DELIRIUM")) code.push_back(l);
    code.push_back(16);
    for (uint32_t l : {0x80004455u, 0u, 0x8000445Eu, 0u, 2u, 40u, 0u, 0u, 3u, 1u})
        code.push_back(l);
    tagged.header({uint32_t(code.size()), 8})
        .block(hunkCodeBlock, code)
        .relocations({{0, {12, 28, 36}}})
        .put({hunkEndBlock, hunkBssBlock, 8, hunkEndBlock, hunkBreakBlock});
    return save(folder + "/two.hunk", two) && save(folder + "/tagged.hunk", tagged) ? 0 : 1;
}
