// The two halves of a library path as the multiplexer and its form cut it:
// the rule every plug-in uses to find "plugin.ini" beside its library.
#pragma once

#include "host/plugin_ini.h"

#include <string>

namespace morsk {

inline std::string ExtractDir(const std::string& path) {
    return jkLibraryFolder(path);
}

inline std::string ExtractName(const std::string& path) {
    return jkLibraryFileName(path);
}

} // namespace morsk
