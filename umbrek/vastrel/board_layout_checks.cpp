// The engine hands its screen vertices to the board as they are, and Texora's
// format, level and aspect numbers go to the board unchanged: both sides must
// agree on every layout and number, which the compiler checks here.
#include "umbrek/glide/glide.h"
#include "umbrek/texora/texora.h"
#include "umbrek/vastrel/records.h"

#include <cstddef>

namespace umbrek::vastrel {

static_assert(sizeof(ScreenVertex) == sizeof(GrVertex));
static_assert(offsetof(ScreenVertex, x) == offsetof(GrVertex, x));
static_assert(offsetof(ScreenVertex, y) == offsetof(GrVertex, y));
static_assert(offsetof(ScreenVertex, z) == offsetof(GrVertex, z));
static_assert(offsetof(ScreenVertex, r) == offsetof(GrVertex, r));
static_assert(offsetof(ScreenVertex, g) == offsetof(GrVertex, g));
static_assert(offsetof(ScreenVertex, b) == offsetof(GrVertex, b));
// The colour-material number and the clip code share the board's ooz word,
// which the board never reads.
static_assert(offsetof(ScreenVertex, colourMaterial) == offsetof(GrVertex, ooz));
static_assert(offsetof(ScreenVertex, clip) == offsetof(GrVertex, ooz) + 2);
static_assert(offsetof(ScreenVertex, a) == offsetof(GrVertex, a));
static_assert(offsetof(ScreenVertex, oow) == offsetof(GrVertex, oow));
static_assert(offsetof(ScreenVertex, s) == offsetof(GrVertex, tmuvtx[0].sow));
static_assert(offsetof(ScreenVertex, t) == offsetof(GrVertex, tmuvtx[0].tow));
static_assert(offsetof(ScreenVertex, oowCopy) == offsetof(GrVertex, tmuvtx[0].oow));
static_assert(offsetof(ScreenVertex, cameraX) == offsetof(GrVertex, tmuvtx[1].sow));
static_assert(offsetof(ScreenVertex, unit1T) == offsetof(GrVertex, tmuvtx[1].tow));
static_assert(offsetof(ScreenVertex, cameraY) == offsetof(GrVertex, tmuvtx[1].oow));

static_assert(TX_RGB_332 == GR_TEXFMT_RGB_332 && TX_YIQ_422 == GR_TEXFMT_YIQ_422);
static_assert(TX_ALPHA_8 == GR_TEXFMT_ALPHA_8 && TX_INTENSITY_8 == GR_TEXFMT_INTENSITY_8);
static_assert(TX_ALPHA_INTENSITY_44 == GR_TEXFMT_ALPHA_INTENSITY_44 && TX_P_8 == GR_TEXFMT_P_8);
static_assert(TX_ARGB_8332 == GR_TEXFMT_ARGB_8332 && TX_AYIQ_8422 == GR_TEXFMT_AYIQ_8422);
static_assert(TX_RGB_565 == GR_TEXFMT_RGB_565 && TX_ARGB_1555 == GR_TEXFMT_ARGB_1555);
static_assert(TX_ARGB_4444 == GR_TEXFMT_ARGB_4444);
static_assert(TX_ALPHA_INTENSITY_88 == GR_TEXFMT_ALPHA_INTENSITY_88 && TX_AP_88 == GR_TEXFMT_AP_88);
static_assert(TX_LOD_256 == GR_LOD_256 && TX_LOD_1 == GR_LOD_1);
static_assert(TX_ASPECT_8x1 == GR_ASPECT_8x1 && TX_ASPECT_1x1 == GR_ASPECT_1x1 &&
              TX_ASPECT_1x8 == GR_ASPECT_1x8);

} // namespace umbrek::vastrel
