// Line 3: MOVE.W and MOVEA.W.
#include "pelmit/m68k/move_line.h"

namespace pelmit::m68k {

const LineTable line3Table = lineTableOf<MoveLine<3, Word, Family::MoveW, Family::MoveaW>>;

} // namespace pelmit::m68k
