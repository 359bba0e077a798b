#include "pelmit/m68k/tests/vectors/departures.h"

namespace pelmit::m68k::testing {

const std::vector<Departure>& departuresOfLines0to7() {
    static const std::vector<Departure> table = {
        {"TRAPV", 0xFFFF, 0x4E76, 0, false, 38, "a TRAPV that traps is charged 38 cycles"},
    };
    return table;
}

} // namespace pelmit::m68k::testing
