#include "pelmit/ini_path.h"

#include <cstring>

namespace pelmit {

void makeIniPath(char* path, size_t size) {
    if (size == 0) return;
    path[size - 1] = '\0';
    size_t keep = std::strlen(path);
    while (keep > 0 && path[keep - 1] != '\\') --keep;
    path[keep] = '\0';
    static const char name[] = "Plugins\\quistor.ini";
    size_t room = size - 1 - keep;
    size_t n = sizeof name - 1 < room ? sizeof name - 1 : room;
    std::memcpy(path + keep, name, n);
    path[keep + n] = '\0';
}

} // namespace pelmit
