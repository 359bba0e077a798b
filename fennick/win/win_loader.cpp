#include "fennick/win/win_loader.h"

#include "fennick/win/plugin_state.h"

namespace fennick {

void* WinGlLoader::load(const char* library) {
    return LoadLibraryA(library);
}

void* WinGlLoader::resolve(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

bool WinGlLoader::release(void* library, unsigned& error) {
    if (FreeLibrary(static_cast<HMODULE>(library))) return true;
    error = unsigned(GetLastError());
    return false;
}

void WinGlLoader::report(const char* text, const char* caption) {
    MessageBoxA(plugin.errorOwner, text, caption, MB_OK);
}

bool WinFileSearch::start(const std::string& pattern, std::string& first) {
    close();
    WIN32_FIND_DATAA found;
    search_ = FindFirstFileA((folder_ + pattern).c_str(), &found);
    if (search_ == INVALID_HANDLE_VALUE) return false;
    first = found.cFileName;
    return true;
}

bool WinFileSearch::next(std::string& name) {
    WIN32_FIND_DATAA found;
    if (search_ == INVALID_HANDLE_VALUE || !FindNextFileA(search_, &found)) return false;
    name = found.cFileName;
    return true;
}

void WinFileSearch::close() {
    if (search_ != INVALID_HANDLE_VALUE) FindClose(search_);
    search_ = INVALID_HANDLE_VALUE;
}

} // namespace fennick
