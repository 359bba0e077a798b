#include "pelmit/m68k/tests/vectors/departures.h"

namespace pelmit::m68k::testing {

const std::vector<Departure>& departuresOfLines8toF() {
    static const std::vector<Departure> table = {};
    return table;
}

} // namespace pelmit::m68k::testing
