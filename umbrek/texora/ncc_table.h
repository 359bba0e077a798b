// NCC tables for the YIQ formats, by the statistical method: the ranges of Y,
// I and Q over every texel of every level (1% cut from each end), 16 even Y
// steps and 4 I and Q steps, and each texel's index byte Y << 4 | I << 2 | Q.
#pragma once

#include "umbrek/texora/texel_colour.h"
#include "umbrek/texora/texora.h"

namespace texora {

// The ranges over the texels of every level of SOURCE (argb8888).
NccRanges nccRanges(const TxMip& source);
TxNccTable nccTable(const NccRanges& ranges);
uint8_t nccIndex(const NccRanges& ranges, uint32_t texel);
// A texel back from its index byte (alpha 255).
uint32_t nccColour(const TxNccTable& table, uint8_t index);

} // namespace texora
