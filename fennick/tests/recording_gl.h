// A GL table whose every entry appends a line to one log ("glBegin 4",
// "glVertex3f 1 2 3"), so that tests compare call sequences as text.
#pragma once

#include "fennick/gl_entry_points.h"

#include <string>
#include <vector>

namespace fennick::testing {

// The calls since the last clear (one process-wide log: the entries are
// plain function pointers without a context).
std::vector<std::string>& glLog();
GlEntryPoints recordingGl();
// Only the calls whose name starts with prefix.
std::vector<std::string> callsOf(const std::string& prefix);

} // namespace fennick::testing
