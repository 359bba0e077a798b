// A GL table whose every entry only counts the call: the modules' frames
// without any rasterising, for timing and fuzzing.
#pragma once

#include "fennick/gl_entry_points.h"

#include <cstdint>

namespace fennick::testing {

extern std::uint64_t glCalls;
GlEntryPoints countingGl();

} // namespace fennick::testing
