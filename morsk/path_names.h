// The two halves of a library path as the multiplexer and its form cut it.
#pragma once

#include <string>

namespace morsk {

// The folder part: up to and including the last '\' or ':'; empty when the
// path has neither.
std::string ExtractDir(const std::string& path);

// The file-name part: what follows the folder part.
std::string ExtractName(const std::string& path);

} // namespace morsk
