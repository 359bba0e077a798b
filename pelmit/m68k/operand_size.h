// The operand size that bits 7-6 of an opcode word name, for the line
// decoders of lines 8 to E.
#pragma once

#include "pelmit/m68k/decode.h"
#include "pelmit/m68k/flags.h"

#include <type_traits>

namespace pelmit::m68k {

// 00 byte, 01 word, 10 long; in lines 8 to D the size bits of opmodes 0-2
// and 4-6.
template <uint32_t Op>
using OperandSize = std::conditional_t<sizeField(Op) == 0, Byte,
                                       std::conditional_t<sizeField(Op) == 1, Word, Long>>;

} // namespace pelmit::m68k
