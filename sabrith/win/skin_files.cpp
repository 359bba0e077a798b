#include "sabrith/win/skin_files.h"

#include <windows.h>

namespace sabrith {

namespace {

bool endsWithNoCase(const std::string& name, const std::string& ending) {
    if (name.size() < ending.size()) return false;
    return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE,
                          name.data() + name.size() - ending.size(), int(ending.size()),
                          ending.data(), int(ending.size())) == CSTR_EQUAL;
}

} // namespace

std::vector<std::string> WinSkinFiles::findFiles(const std::string& folder,
                                                 const std::string& extension) {
    std::vector<std::string> names;
    std::string pattern = folder;
    if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
    pattern += "*" + extension;
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        found.cFileName[MAX_PATH - 1] = '\0';
        const std::string name = found.cFileName;
        if (endsWithNoCase(name, extension)) names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

} // namespace sabrith
