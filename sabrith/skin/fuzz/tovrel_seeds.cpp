// The seed of sabrith_tovrel_fuzz: a whole Tovrel skin with its face.
#include "sabrith/skin/fuzz/foreign_skin_fuzz.h"

int main(int argc, char** argv) {
    return argc < 2
               ? 2
               : sabrith::test::writeFuzzSeed(argv[1], "fuzz.design", sabrith::test::tovrelSeed());
}
