// Line 2: MOVE.L and MOVEA.L.
#include "pelmit/m68k/move_line.h"

namespace pelmit::m68k {

const LineTable line2Table = lineTableOf<MoveLine<2, Long, Family::MoveL, Family::MoveaL>>;

} // namespace pelmit::m68k
