// Where a plug-in keeps its settings: "plugin.ini" in the folder of its own
// library, which several plug-ins share (each in its own sections). C++ only.
#pragma once

#include "host/abi.h"

#include <string>
#include <vector>

// The folder part of a library path: up to and including the last '\' or
// ':'; empty when the path has neither (a forward slash is no separator).
inline std::string jkLibraryFolder(const std::string& libraryPath) {
    size_t cut = libraryPath.find_last_of("\\:");
    return libraryPath.substr(0, cut == std::string::npos ? 0 : cut + 1);
}

// The file-name part: what follows the folder part.
inline std::string jkLibraryFileName(const std::string& libraryPath) {
    return libraryPath.substr(jkLibraryFolder(libraryPath).size());
}

inline std::string jkPluginIniBeside(const std::string& libraryPath) {
    return jkLibraryFolder(libraryPath) + "plugin.ini";
}

#ifdef _WIN32

// The full path of a loaded library, however long; empty when it cannot be had.
inline std::string jkLibraryPath(JkInstance library) {
    std::vector<char> buf(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameA(library, buf.data(), DWORD(buf.size()));
        if (n == 0) return "";
        if (n < buf.size()) return std::string(buf.data(), n);
        buf.resize(buf.size() * 2);
    }
}

// "plugin.ini" beside the plug-in's library (pluginInstance of its records).
inline std::string jkPluginIniPath(JkInstance library) {
    return jkPluginIniBeside(jkLibraryPath(library));
}

#endif
