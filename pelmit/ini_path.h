// Where Pelmit keeps its settings: "Plugins\quistor.ini" below the folder of
// the host program (not of the plug-in library).
#pragma once

#include <cstddef>

namespace pelmit {

constexpr size_t iniPathSize = 1024;

// Turns the host program's path into the settings path, in place: keeps the
// text up to and including its last backslash (nothing when there is none)
// and appends "Plugins\quistor.ini", cutting it to fit the buffer.
void makeIniPath(char* path, size_t size);

} // namespace pelmit
