// Tables of the 2x2 blocks of 5-6-5 textures: for each texel of each level,
// the texel, its right neighbour, the one below and the one below right (as
// the sampler wraps them) in one 64-bit word, lowest first, so that a
// bilinear sample reads one word. Built at a texture's first use after a
// download and kept for a few textures at a time.
#pragma once

#include "umbrek/glide/board.h"
#include "umbrek/glide/texture.h"

#include <cstdint>

namespace umbrek::glide {

// The table of the 5-6-5 chain `t` (inside texture memory, laid out as
// `layout`): level i's words start at index layout.offset[i] / 2. Valid until
// the next call.
const uint64_t* texelQuads(const Board& b, const TextureSource& t, const Layout& layout);

// Drops every table (the screen's texture memory is gone).
void forgetTexelQuads();

} // namespace umbrek::glide
