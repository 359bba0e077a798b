// Line F: every word takes the line-F exception.
#include "pelmit/m68k/dispatch.h"

namespace pelmit::m68k {

const LineTable lineFTable = lineTableOf<WholeLine<0xF, Family::LineF>>;

} // namespace pelmit::m68k
