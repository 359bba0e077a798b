// Line A: every word takes the line-A exception.
#include "pelmit/m68k/dispatch.h"

namespace pelmit::m68k {

const LineTable lineATable = lineTableOf<WholeLine<0xA, Family::LineA>>;

} // namespace pelmit::m68k
