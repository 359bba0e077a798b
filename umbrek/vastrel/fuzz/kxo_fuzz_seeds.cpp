// Seeds for the model-file fuzzer: the models of Umbrek's archive, the
// damaged tubes among them.
#include "umbrek/fixtures/scene_archive.h"

using namespace umbrek::fixtures;

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    return saveMembers(argv[1], {{"zephrin.kxo", zephrinModel()},
                                 {"tubes.kxo", tubesModel()},
                                 {"tubes_overrun.kxo", tubesModel(true)},
                                 {"r.kxo", rModel()},
                                 {"checker.kxo", checkerModel()},
                                 {"zephrinspin.kxo", zephrinSpinModel()}})
               ? 0
               : 1;
}
