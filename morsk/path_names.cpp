#include "morsk/path_names.h"

namespace morsk {

namespace {

size_t nameStart(const std::string& path) {
    size_t cut = path.find_last_of("\\:");
    return cut == std::string::npos ? 0 : cut + 1;
}

} // namespace

std::string ExtractDir(const std::string& path) {
    return path.substr(0, nameStart(path));
}

std::string ExtractName(const std::string& path) {
    return path.substr(nameStart(path));
}

} // namespace morsk
