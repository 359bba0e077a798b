// Seeds for the shade-table fuzzer: the archive's table and a few shapes
// around it.
#include "umbrek/fixtures/scene_archive.h"
#include "umbrek/vastrel/tests/kxo_writer.h"

using namespace umbrek::fixtures;
using umbrek::test::writeShadeTable;

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    return saveMembers(argv[1], {{"zephrin.tab", logoShadeTable()},
                                 {"empty.tab", writeShadeTable(0, 0, 0)},
                                 {"short.tab", writeShadeTable(1, 4, 3)},
                                 {"long.tab", writeShadeTable(2, 3, 4)}})
               ? 0
               : 1;
}
