// The seed of sabrith_nerrit_fuzz: a whole Nerrit skin with its face.
#include "sabrith/skin/fuzz/foreign_skin_fuzz.h"

int main(int argc, char** argv) {
    return argc < 2
               ? 2
               : sabrith::test::writeFuzzSeed(argv[1], "skin.ini", sabrith::test::nerritSeed());
}
